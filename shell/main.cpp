#include "shell/main.h"

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "framework/WorkArea.h"
#include "notes/DesktopIconView.h"
#include "notes/FindMemos.h"
#include "notes/FolderSync.h"
#include "notes/MemoImages.h"
#include "notes/MemoStore.h"
#include "notes/PinBrowserList.h"
#include "notes/PostIt.h"
#include "notes/SaveProblems.h"
#include "framework/ScopedValue.h"
#include "shell/EProjectInc.h"
#include "shell/SaveAll.h"
#include "shell/Welcome.h"

#include <windowsx.h>

#include "config/Configure.h"
#include "wastebasket/basket.h"

#include <algorithm>
#include <cwchar>

namespace {

template <typename Window, typename Action>
void ForEachWindow(Action action)
{
    // A copy: what an action does may add or remove forms.
    const std::vector<TForm*> forms = Application.Forms();
    for (TForm* form : forms)
        if (auto* window = dynamic_cast<Window*>(form))
            action(*window);
}

// How soon after the menu closed a key select is still the press that opened it.
constexpr DWORD kKeySelectEchoMs = 500;

template <size_t N>
void CopyText(wchar_t (&field)[N], const std::wstring& text)
{
    const size_t length = std::min(text.size(), N - 1);
    std::wmemcpy(field, text.data(), length);
    field[length] = L'\0';
}

} // namespace

std::vector<TfrmPaper*> PaperWindows()
{
    std::vector<TfrmPaper*> papers;
    ForEachWindow<TfrmPaper>([&](TfrmPaper& paper) { papers.push_back(&paper); });
    return papers;
}

TfrmMain::TfrmMain(TComponent* owner)
    : TForm(owner), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated"))
{
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetCaption(L"frmMain");
    SetClientSize(273, 49);
    imgsPostIt = CreateMemoImages(this);
    imgsPostIt->Name = "imgsPostIt";
    CreateMenu();
}

TfrmMain::~TfrmMain()
{
    if (HandleAllocated()) {
        KillTimer(Handle(), kAddIconTimer);
        DeleteTrayIcon();
        UnregisterHotKeys();
    }
}

void TfrmMain::CreateMenu()
{
    popTray = Create<TPopupMenu>();
    popTray->Name = "popTray";
    mnNewMemo = popTray->Add("mnNewMemo", L"New Memo", [this] { mnNewMemoClick(); });
    mnShowAll = popTray->Add("mnShowAll", L"Show All", [this] { mnShowAllClick(); });
    mnHideAll = popTray->Add("mnHideAll", L"Hide All", [this] { mnHideAllClick(); });
    mnBasket = popTray->Add("mnBasket", L"Wastebasket", [this] { mnBasketClick(); });
    mnFindMemos = popTray->Add("mnFindMemos", L"Find in Memos...", [this] { mnFindMemosClick(); });
    popTray->AddSeparator();
    // Left inert on purpose: the maker's page is reachable from the configuration window.
    mnGotoHome = popTray->Add("mnGotoHome", L"Goto Pinova Page");
    mnConfiguration = popTray->Add("mnConfiguration", L"Configuration", [this] { mnConfigurationClick(); });
    popTray->AddSeparator();
    mnClose = popTray->Add("mnClose", L"Close", [this] { mnCloseClick(); });
}

void TfrmMain::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = "TfrmMain";
}

void TfrmMain::FillTrayIconData()
{
    TrayIconData = {};
    TrayIconData.cbSize = NOTIFYICONDATAW_V2_SIZE;
    TrayIconData.hWnd = Handle();
    TrayIconData.uID = kTrayIconId;
    // In the fourth manner the shell shows the tip only when asked to.
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    TrayIconData.uCallbackMessage = WM_TRAYNOTIFY;
    CopyText(TrayIconData.szTip, PrjInfo->Title());
    // The size the shell draws small icons at: 16 pixels at 100 %, 20 at 125 %,
    // 24 at 150 %, 32 at 200 %; the icon holds each of them.
    const int size = GetSystemMetrics(SM_CXSMICON);
    trayIcon_.reset(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void TfrmMain::FormCreate()
{
    // Decided before anything is written: the very first start has neither file.
    const bool firstStart = !FileExists(PrjInfo->PostItIniFileName()) && !FileExists(PrjInfo->IniFileName());
    FillTrayIconData();
    const std::vector<TRefusedHotKey> refused = RegisterHotKeys();
    AddTrayIcon();
    HWND app = Application.Handle();
    SetWindowLongPtrA(app, GWL_EXSTYLE, GetWindowLongPtrA(app, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    // Every save writes beside the program: better to hear now than at the first
    // save. Tried before the folder is watched (its probe file would wake the
    // watch as the last notes come up), told once they are up.
    std::string unwritable;
    const bool writable = ProgramFolderWritable(unwritable);
    StartFolderSync();
    LoadMemos();
    folderSync_->TakeInLeftCopies();
    LoadPinBrowsers();
    if (!writable)
        ReportUnwritableProgramFolder(unwritable);
    if (firstStart)
        WelcomeNewUser(refused);
    else
        TellRefusedHotKeys(refused);
}

void TfrmMain::StartFolderSync()
{
    folderSync_ = std::make_unique<TFolderSync>(imgsPostIt);
    folderSync_->OnWastebasketChanged = [this] {
        if (frmBasket)
            frmBasket->FillMemoList(PrjInfo->BasketPath);
    };
    folderSync_->OnSettingsChanged = [this] {
        // Hot keys changed on another computer; not while the configuration
        // window has them let go.
        if (std::none_of(Application.Forms().begin(), Application.Forms().end(),
                         [](TForm* form) { return dynamic_cast<TfrmConfigure*>(form) != nullptr; })) {
            UnregisterHotKeys();
            RegisterHotKeys();
        }
    };
    folderSync_->Watch();
}

bool TfrmMain::AddTrayIcon()
{
    TrayIconData.hWnd = Handle();
    TrayIconData.hIcon = trayIcon_ ? trayIcon_.get() : PrjInfo->Icon.get();
    iconAdded_ = TrayShellNotifyIcon(NIM_ADD, &TrayIconData) != FALSE;
    if (!iconAdded_) {
        SetTimer(Handle(), kAddIconTimer, kAddIconRetryMs, nullptr);
        return false;
    }
    KillTimer(Handle(), kAddIconTimer);
    NOTIFYICONDATAW version = TrayIconData;
    version.uVersion = NOTIFYICON_VERSION_4;
    iconVersion4_ = TrayShellNotifyIcon(NIM_SETVERSION, &version) != FALSE;
    if (pendingBalloonIcon_)
        ShowBalloon(BalloonText, pendingBalloonIcon_);
    return true;
}

void TfrmMain::DeleteTrayIcon()
{
    TrayShellNotifyIcon(NIM_DELETE, &TrayIconData);
    iconAdded_ = false;
}

void TfrmMain::ShowBalloon(const std::wstring& text, DWORD icon)
{
    BalloonText = text;
    pendingBalloonIcon_ = icon;
    if (!iconAdded_)
        return;
    NOTIFYICONDATAW balloon = TrayIconData;
    balloon.uFlags = NIF_INFO;
    CopyText(balloon.szInfo, text);
    CopyText(balloon.szInfoTitle, PrjInfo->Title());
    balloon.dwInfoFlags = icon;
    if (TrayShellNotifyIcon(NIM_MODIFY, &balloon))
        pendingBalloonIcon_ = 0;
}

void TfrmMain::TellRefusedHotKeys(const std::vector<TRefusedHotKey>& refused)
{
    if (!refused.empty())
        ShowBalloon(AnsiToWide(HotKeyFailureText(refused)), NIIF_WARNING);
}

void TfrmMain::WelcomeNewUser(const std::vector<TRefusedHotKey>& refused)
{
    // A folder that cannot be written has been reported already; a memo there
    // could not even keep its number.
    std::string unwritable;
    if (ProgramFolderWritable(unwritable))
        if (TfrmPostIt* memo = NewMemo())
            FillWelcomeMemo(*memo, refused);
    std::wstring text = kWelcomeBalloon;
    if (!refused.empty())
        text += L"\n" + AnsiToWide(HotKeyFailureText(refused));
    ShowBalloon(text, refused.empty() ? NIIF_INFO : NIIF_WARNING);
}

std::vector<TRefusedHotKey> TfrmMain::RegisterHotKeys()
{
    return ::RegisterHotKeys(Handle(), ReadHotKeys(PrjInfo->IniFileName()));
}

void TfrmMain::UnregisterHotKeys() { ::UnregisterHotKeys(Handle()); }

void TfrmMain::FormCloseQuery(bool& canClose)
{
    // However the program is closed, every note is saved first; a memo that cannot
    // be saved keeps the program running, reachable, when the user says so.
    canClose = SaveAllMemos();
    if (!canClose)
        return;
    DeleteTrayIcon();
    UnregisterHotKeys();
}

void TfrmMain::SessionGoesOn()
{
    // Whether or not we were asked before another program called the end off,
    // start from nothing, so that our own hot keys are not reported as taken.
    DeleteTrayIcon();
    UnregisterHotKeys();
    AddTrayIcon();
    TellRefusedHotKeys(RegisterHotKeys());
}

void TfrmMain::ShowTrayMenu(POINT at)
{
    // A notification-area menu closes on a click elsewhere only when its thread
    // is in the foreground, and the null message lets the next click through.
    const ScopedValue<bool> open(menuOpen_, true);
    SetForegroundWindow(Handle());
    popTray->Popup(at.x, at.y);
    PostMessageA(Handle(), WM_NULL, 0, 0);
    menuClosedAt_ = GetTickCount();
}

LRESULT TfrmMain::WMTrayNotify(WPARAM wParam, LPARAM lParam)
{
    const UINT event = LOWORD(lParam);
    if (!iconVersion4_) {
        // The older manner: the mouse message alone, and the cursor is the place.
        if (event != WM_RBUTTONDOWN)
            return 0;
        POINT cursor{};
        GetCursorPos(&cursor);
        ShowTrayMenu(cursor);
        return 1;
    }
    // The mouse's right button and the context-menu key (Shift+F10) both end in
    // WM_CONTEXTMENU; Enter on the icon is a key select, which the shell may send
    // twice for one press: the second, right after the menu closed, is the same one.
    const bool keySelect = event == NIN_KEYSELECT && !menuOpen_ && GetTickCount() - menuClosedAt_ > kKeySelectEchoMs;
    if (event != WM_CONTEXTMENU && !keySelect)
        return 0;
    if (menuOpen_)
        return 1;
    ShowTrayMenu({GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
    return 1;
}

void TfrmMain::WMHotKey(WPARAM id)
{
    if (id == HOTKEY_NEWMEMO)
        mnNewMemo->Click();
    else if (id == HOTKEY_SHOWHIDE)
        ToggleShowHide();
}

LRESULT TfrmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == taskbarCreated_ && msg != 0) {
        // The shell came back without our icon, or is there for the first time.
        DeleteTrayIcon();
        AddTrayIcon();
        ShellCameBack();
        return 0;
    }
    switch (msg) {
    case WM_DISPLAYCHANGE:
        ShellCameBack();
        KeepNotesOnWorkAreas(MonitorWorkAreas());
        return TForm::WndProc(msg, wParam, lParam);
    case WM_SETTINGCHANGE:
        // The shell moves its icon view when the wallpaper changes (a slideshow starts).
        ShellCameBack();
        if (wParam == SPI_SETWORKAREA)
            KeepNotesOnWorkAreas(MonitorWorkAreas());
        return TForm::WndProc(msg, wParam, lParam);
    case WM_FONTCHANGE:
        ForgetMemoFontNames();
        return TForm::WndProc(msg, wParam, lParam);
    case WM_TRAYNOTIFY:
        return WMTrayNotify(wParam, lParam);
    case WM_TIMER:
        if (wParam != kAddIconTimer)
            return TForm::WndProc(msg, wParam, lParam);
        AddTrayIcon();
        return 0;
    case WM_HOTKEY:
        WMHotKey(wParam);
        return 0;
    case WM_QUERYENDSESSION:
        // The notes in the desktop hear nothing of the session's end: saved here.
        SaveForSessionEnd(false);
        DeleteTrayIcon();
        UnregisterHotKeys();
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            SaveForSessionEnd(true);
        else
            SessionGoesOn();
        return 0;
    default:
        return TForm::WndProc(msg, wParam, lParam);
    }
}

bool TfrmMain::SendModeToDesktop(TPaperMode mode)
{
    bool any = false;
    for (TfrmPaper* paper : PaperWindows())
        if (paper->GetPaperMode() == mode) {
            paper->SendToDesktop();
            any = true;
        }
    return any;
}

void TfrmMain::ToggleShowHide()
{
    if (SendModeToDesktop(pmWorking) || SendModeToDesktop(pmFloating))
        return;
    for (TfrmPaper* paper : PaperWindows())
        paper->BringFloating();
}

void TfrmMain::PutToWork(TfrmPostIt& memo)
{
    // Exactly the application-window bit: a taskbar button, nothing else.
    SetWindowLongPtrA(memo.Handle(), GWL_EXSTYLE, WS_EX_APPWINDOW);
    memo.Show();
}

void TfrmMain::mnNewMemoClick() { NewMemo(); }

TfrmPostIt* TfrmMain::NewMemo()
{
    const std::optional<int> number = NextFreeMemoNumber();
    if (!number)
        return nullptr;
    auto* memo = Application.CreateForm<TfrmPostIt>(imgsPostIt);
    CentreOnMouseMonitor(*memo);
    memo->SetMemoNumber(*number);
    memo->InitNewMemo();
    PutToWork(*memo);
    SetForegroundWindow(memo->Handle());
    return memo;
}

void TfrmMain::OpenRestoredMemo(int number) { ::OpenRestoredMemo(imgsPostIt, number); }

void TfrmMain::ShellCameBack()
{
    HWND iconView = FindDesktopIconView();
    for (TfrmPaper* paper : PaperWindows()) {
        paper->RecoverVanishedWindow();
        paper->RejoinDesktop(iconView);
    }
}

void TfrmMain::mnFindMemosClick()
{
    if (frmFindMemos) {
        SetForegroundWindow(frmFindMemos->Handle());
        return;
    }
    frmFindMemos = Application.CreateForm<TfrmFindMemos>();
    frmFindMemos->OnGone = [this] { frmFindMemos = nullptr; };
    frmFindMemos->Show();
    SetForegroundWindow(frmFindMemos->Handle());
    frmFindMemos->edtFind->SetFocus();
}

void TfrmMain::mnShowAllClick()
{
    for (TfrmPaper* paper : PaperWindows())
        if (paper->GetPaperMode() == pmDesktop)
            paper->BringFloating();
}

void TfrmMain::mnHideAllClick()
{
    if (!SendModeToDesktop(pmFloating))
        SendModeToDesktop(pmWorking);
}

void TfrmMain::LoadMemos()
{
    // One bad record must not keep every later note closed: it is skipped, its
    // record and file stay as they are, and the user hears of it once.
    std::vector<std::string> skipped;
    // What an interrupted save left beside the memos is of no use to anyone.
    RemoveStagingLeftovers();
    // A memo file whose record a crash took away is a memo all the same.
    AdoptOrphanMemoFiles();
    std::vector<std::pair<std::string, TfrmPostIt*>> opened;
    for (const std::string& section : TIniFile(PrjInfo->PostItIniFileName()).ReadSections()) {
        try {
            opened.emplace_back(section, OpenStoredMemo(imgsPostIt, StrToInt(section)));
        } catch (const std::exception& e) {
            skipped.push_back("[" + section + "]: " + e.what());
        }
    }
    // Onto the desktop only once every memo is made: under Wine each window moved
    // in the program asks the server about every note already inside another
    // process's desktop window, so making memos beside them gets slower and slower.
    for (auto& [section, memo] : opened) {
        try {
            memo->SendToDesktop();
            memo->ShowInactive();
        } catch (const std::exception& e) {
            skipped.push_back("[" + section + "]: " + e.what());
        }
    }
    if (skipped.empty())
        return;
    std::string text = "These memos could not be opened and were left as they are:";
    for (const std::string& line : skipped)
        text += "\n" + line;
    Application.HandleException(Exception(text));
}

void TfrmMain::mnCloseClick()
{
    // Every note is saved by the close query, which any way of closing passes.
    Close();
}
