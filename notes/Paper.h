#pragma once
// The note window: the frame plus a sizeable border, translucency, three
// placement modes, a remembered position and a save that runs half a second
// after the window loses the activation.

#include "framework/Timer.h"
#include "notes/zkGrayDialog.h"

#include <string>
#include <vector>

enum TPaperMode { pmDesktop, pmFloating, pmWorking };

// The tints that show the modes.
constexpr int kDesktopTint = 500;
constexpr int kFloatingTint = 90;

class TfrmPaper : public TfrmZkGrayDialog {
public:
    explicit TfrmPaper(TComponent* owner);

    TTimer* tmrSave;

    TPaperMode GetPaperMode() const;
    // Into the desktop's icon view: grey, translucent when inactive, no taskbar button.
    void SendToDesktop();
    // Above other windows, red; a working window is only brought to the front.
    void BringFloating();
    // An ordinary window with a taskbar button, blue.
    void BringToWork();

    void LoadPosition();
    void SavePosition();
    // The section of the window's record; none for a bare paper.
    virtual std::string GetSectionName() const;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // The ini file that holds the window's record; none for a bare paper.
    virtual std::string PositionIniPath() const;

    void CreateParams(TCreateParams& params) override;
    void FormCreate() override;
    void FormKeyDown(WORD& key, TShiftState shift) override;
    void FormCloseQuery(bool& canClose) override;
    void ActiveChanged(bool active) override;
    virtual void tmrSaveTimer();
    // The session is ending: true lets it end.
    virtual bool QueryEndSession();

private:
    void SetOpaque() { SetAlphaBlendValue(255); }
    void SetDesktopAlpha();
};

// Where a window with these bounds can be seen: the bounds themselves when they
// meet one of the work areas, otherwise moved onto the nearest one (and made
// smaller only when they do not fit).
RECT BringOntoWorkArea(const RECT& bounds, const std::vector<RECT>& workAreas);
// The work areas of every monitor.
std::vector<RECT> MonitorWorkAreas();
