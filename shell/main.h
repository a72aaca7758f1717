#pragma once
// The hidden tray controller: the application's main form. It owns the tray icon
// and its menu, the two global hot keys and the memo image list, opens every
// stored note at start-up and moves all notes between their modes at once.

#include "framework/Forms.h"
#include "notes/Paper.h"
#include "shell/HotKeys.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

class TFolderSync;
class TfrmBasket;
class TfrmFindMemos;
class TfrmPostIt;
class TImageList;
class TMenuItem;
class TPopupMenu;

constexpr UINT WM_TRAYNOTIFY = WM_USER + 100;
constexpr UINT kTrayIconId = 1;

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* owner);
    // The icon and the hot keys go with the window, however it ends.
    ~TfrmMain() override;

    TPopupMenu* popTray;
    TMenuItem *mnNewMemo, *mnShowAll, *mnHideAll, *mnBasket, *mnFindMemos, *mnGotoHome, *mnConfiguration, *mnClose;
    TImageList* imgsPostIt;

    // The record every tray icon call takes. Its size is the form that carries
    // balloons, which the start-up report of refused hot keys needs.
    NOTIFYICONDATAA TrayIconData{};
    // The open wastebasket window, if any: there is only ever one.
    TfrmBasket* frmBasket = nullptr;
    // The open find window, if any: one at a time, too.
    TfrmFindMemos* frmFindMemos = nullptr;
    // What the icon's last balloon said: the hot keys that could not be taken.
    std::string BalloonText;

    void AddTrayIcon();
    void DeleteTrayIcon();
    // Registers both hot keys from the settings file; the ones the platform refused.
    std::vector<THotKeySetting> RegisterHotKeys();
    void UnregisterHotKeys();
    // Opens one memo window per record; records that cannot be opened are skipped
    // and named in one error report.
    void LoadMemos();

    bool SendModeToDesktop(TPaperMode mode);
    void ToggleShowHide();

    // A memo the wastebasket made live again, brought up floating in front.
    void OpenRestoredMemo(int number);
    // The shell is back: notes whose windows went with the old one come back, and
    // the notes on the desktop go into its new icon view.
    void ShellCameBack();

    void mnNewMemoClick();
    void mnShowAllClick();
    void mnHideAllClick();
    void mnBasketClick();
    void mnFindMemosClick();
    void mnConfigurationClick();
    void mnCloseClick();

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;

private:
    void CreateMenu();
    // The memo of the number as stored (its place first); no window is left
    // behind when it cannot be loaded.
    TfrmPostIt* OpenStoredMemo(int number);
    static void PutToWork(TfrmPostIt& memo);
    void FillTrayIconData();
    void ShowBalloon(const std::string& text);
    // The refused hot keys, if any, in a balloon of the icon.
    void TellRefusedHotKeys(const std::vector<THotKeySetting>& refused);
    LRESULT WMTrayNotify(LPARAM lParam);
    void WMHotKey(WPARAM id);
    // The session is not ending after all: become reachable again.
    void SessionGoesOn();

    // Folder sync: follows what others change in the program folder.
    void StartFolderSync();

    UINT taskbarCreated_;
    std::unique_ptr<TFolderSync> folderSync_;
};

// Every note window of the application, first to last in its window list.
std::vector<TfrmPaper*> PaperWindows();

// The last save of a memo before the program ends: content, position, and the close
// guard taken away, so that no later close moves the memo to the wastebasket.
void SaveAndDetach(TfrmPostIt& memo);
