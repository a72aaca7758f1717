#pragma once
// The note window: the frame plus a sizeable border, translucency, three
// placement modes, a remembered position and a save that runs half a second
// after the window loses the activation.

#include "framework/Timer.h"
#include "notes/SaveProblems.h"
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

    // The stored place is the place on the screen, whatever the mode: inside the
    // icon view the window is moved in its parent's coordinates, which start
    // wherever the shell's window starts (left of the primary monitor, say).
    void LoadPosition();
    // True when it wrote (the place had changed).
    bool SavePosition();
    RECT ScreenBounds() const;
    void SetScreenBounds(const RECT& screen);
    // Moves the note onto the nearest work area when it meets none of them (the
    // rule of loading); true when it moved. The record is not written here.
    bool KeepOnWorkArea(const std::vector<RECT>& workAreas);
    // A note on the desktop whose icon view went away lives on as a top-level
    // window, and the shell may move its icon view elsewhere: this puts the note
    // into the icon view there is now (the given one, found when none is given).
    void RejoinDesktop();
    void RejoinDesktop(HWND iconView);
    // Whether the window went without our doing, and without the chance to keep
    // its state, as the platform may do with the children of a killed process.
    bool WindowVanished() const;
    // Makes such a window again, in its mode, from what the store holds.
    void RecoverVanishedWindow();
    // The section of the window's record; none for a bare paper.
    virtual std::string GetSectionName() const;
    // How the user is told what could not be saved: "note 3".
    virtual std::string SaveSubject() const;

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
    // What the save timer saves; true when it wrote anything. A save that fails is
    // told once (see SaveProblems.h), and the note tries again at its next save.
    virtual bool SaveAtSaveMoment();
    // A save at the save moment now, tried again from a timer while another program
    // holds the file (see TSaveRetry).
    void SaveWithRetry() { saveRetry_.Run(); }
    // The session may end: saves, keeps saving (the end may still be called off);
    // true lets it end.
    virtual bool QueryEndSession();
    // The session ends (or, `ending` false, was called off).
    virtual void EndSession(bool ending);
    // The window is being destroyed by someone else (the desktop shell it rested in
    // went away): what can be saved, while the window still exists.
    virtual void SaveBeforeWindowLoss();
    // What a vanished window gets back from the store: its place (and a memo its text).
    virtual void ReloadAfterVanish();
    void WindowLost() override;
    void WindowRestored() override;

private:
    TSaveRetry saveRetry_;
    bool changingParent_ = false;
    void SetOpaque() { SetAlphaBlendValue(255); }
    void SetDesktopAlpha();
    // Into the icon view, or top-level without one (at the bottom, below every
    // other window, as the desktop would be), at the same place on the screen.
    void PutOnDesktop(HWND iconView);
    // A new parent (none: top-level), at the same place on the screen.
    void MoveInto(HWND parent);
};

// Where a window with these bounds can be seen: the bounds themselves when they
// meet one of the work areas, otherwise moved onto the nearest one (and made
// smaller only when they do not fit).
RECT BringOntoWorkArea(const RECT& bounds, const std::vector<RECT>& workAreas);
// The work areas of every monitor.
std::vector<RECT> MonitorWorkAreas();
// After the displays changed: every note that meets no work area any more is
// moved onto the nearest one; the new places are saved at the notes' next saves.
// How many moved.
int KeepNotesOnWorkAreas(const std::vector<RECT>& workAreas);
