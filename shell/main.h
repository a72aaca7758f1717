#pragma once
// The hidden tray controller: the application's main form. It owns the tray icon
// and its menu, the two global hot keys and the memo image list, opens every
// stored note at start-up and moves all notes between their modes at once.

#include "framework/Forms.h"
#include "framework/Handles.h"
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

// Every call the tray controller makes to the notification area goes through here,
// so that a test can be a shell that is not ready yet.
inline BOOL(WINAPI* TrayShellNotifyIcon)(DWORD, PNOTIFYICONDATAW) = Shell_NotifyIconW;

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
    NOTIFYICONDATAW TrayIconData{};
    // The open wastebasket window, if any: there is only ever one.
    TfrmBasket* frmBasket = nullptr;
    // The open find window, if any: one at a time, too.
    TfrmFindMemos* frmFindMemos = nullptr;
    // What the icon's last balloon said: where the icon is on a first start, and
    // the hot keys that could not be taken.
    std::wstring BalloonText;

    // Until the shell has taken the icon (at logon it may not be ready yet), it is
    // asked again every so often, and at once when the taskbar says it is back.
    static constexpr UINT_PTR kAddIconTimer = 1;
    static constexpr UINT kAddIconRetryMs = 1000;
    // True once the shell holds the icon.
    bool TrayIconAdded() const { return iconAdded_; }
    // True when the shell talks to the icon in its fourth manner: the event in the
    // low word, the anchor point in the first parameter, the keyboard heard too.
    bool TrayIconVersion4() const { return iconVersion4_; }

    bool AddTrayIcon();
    void DeleteTrayIcon();
    // Registers both hot keys from the settings file; the ones left unregistered.
    std::vector<TRefusedHotKey> RegisterHotKeys();
    void UnregisterHotKeys();
    // Opens one memo window per record; records that cannot be opened are skipped
    // and named in one error report.
    void LoadMemos();

    bool SendModeToDesktop(TPaperMode mode);
    void ToggleShowHide();

    // A memo the wastebasket made live again, brought up floating in front.
    void OpenRestoredMemo(int number);
    // The shell is back, or has moved its icon view: notes whose windows went with
    // the old one come back, and the notes on the desktop go into the icon view there is now.
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
    static void PutToWork(TfrmPostIt& memo);
    // A memo of the lowest free number, centred, at work and in front; none when
    // every number is taken.
    TfrmPostIt* NewMemo();
    void FillTrayIconData();
    // Shown now, or as soon as the shell has taken the icon.
    void ShowBalloon(const std::wstring& text, DWORD icon);
    // The refused hot keys, if any, in a balloon of the icon.
    void TellRefusedHotKeys(const std::vector<TRefusedHotKey>& refused);
    // The very first start in this folder: a memo on how to use the program, and
    // a balloon that shows where the icon is.
    void WelcomeNewUser(const std::vector<TRefusedHotKey>& refused);
    void ShowTrayMenu(POINT at);
    LRESULT WMTrayNotify(WPARAM wParam, LPARAM lParam);
    void WMHotKey(WPARAM id);
    // The session is not ending after all: become reachable again.
    void SessionGoesOn();

    // Folder sync: follows what others change in the program folder.
    void StartFolderSync();

    UINT taskbarCreated_;
    std::unique_ptr<TFolderSync> folderSync_;
    UniqueIcon trayIcon_;
    bool iconAdded_ = false;
    bool iconVersion4_ = false;
    bool menuOpen_ = false;
    DWORD menuClosedAt_ = 0;
    DWORD pendingBalloonIcon_ = 0;  // a balloon waiting for the icon, when not 0
};

// Every note window of the application, first to last in its window list.
std::vector<TfrmPaper*> PaperWindows();
