#include "shell/main.h"

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "notes/FindMemos.h"
#include "notes/FolderSync.h"
#include "notes/MemoImages.h"
#include "notes/MemoStore.h"
#include "notes/PinBrowserList.h"
#include "notes/PostIt.h"
#include "notes/SaveProblems.h"
#include "shell/EProjectInc.h"

#include "config/Configure.h"
#include "wastebasket/basket.h"

#include <algorithm>
#include <cstring>

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

void CopyText(char* field, size_t size, const std::string& text)
{
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

} // namespace

std::vector<TfrmPaper*> PaperWindows()
{
    std::vector<TfrmPaper*> papers;
    ForEachWindow<TfrmPaper>([&](TfrmPaper& paper) { papers.push_back(&paper); });
    return papers;
}

void SaveAndDetach(TfrmPostIt& memo)
{
    memo.SaveContent();
    memo.SavePosition();
    memo.DetachCloseGuard();
}

TfrmMain::TfrmMain(TComponent* owner)
    : TForm(owner), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated"))
{
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetCaption("frmMain");
    SetClientSize(273, 49);
    imgsPostIt = CreateMemoImages(this);
    imgsPostIt->Name = "imgsPostIt";
    CreateMenu();
}

TfrmMain::~TfrmMain()
{
    if (HandleAllocated()) {
        DeleteTrayIcon();
        UnregisterHotKeys();
    }
}

void TfrmMain::CreateMenu()
{
    popTray = Create<TPopupMenu>();
    popTray->Name = "popTray";
    mnNewMemo = popTray->Add("mnNewMemo", "New Memo", [this] { mnNewMemoClick(); });
    mnShowAll = popTray->Add("mnShowAll", "Show All", [this] { mnShowAllClick(); });
    mnHideAll = popTray->Add("mnHideAll", "Hide All", [this] { mnHideAllClick(); });
    mnBasket = popTray->Add("mnBasket", "Wastebasket", [this] { mnBasketClick(); });
    mnFindMemos = popTray->Add("mnFindMemos", "Find in Memos...", [this] { mnFindMemosClick(); });
    popTray->AddSeparator();
    // Left inert on purpose: the maker's page is reachable from the configuration window.
    mnGotoHome = popTray->Add("mnGotoHome", "Goto Pinova Page");
    mnConfiguration = popTray->Add("mnConfiguration", "Configuration", [this] { mnConfigurationClick(); });
    popTray->AddSeparator();
    mnClose = popTray->Add("mnClose", "Close", [this] { mnCloseClick(); });
}

void TfrmMain::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = "TfrmMain";
}

void TfrmMain::FillTrayIconData()
{
    TrayIconData = {};
    TrayIconData.cbSize = NOTIFYICONDATAA_V2_SIZE;
    TrayIconData.hWnd = Handle();
    TrayIconData.uID = kTrayIconId;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_TRAYNOTIFY;
    CopyText(TrayIconData.szTip, sizeof(TrayIconData.szTip), PrjInfo->Title());
}

void TfrmMain::FormCreate()
{
    FillTrayIconData();
    const std::vector<THotKeySetting> refused = RegisterHotKeys();
    AddTrayIcon();
    TellRefusedHotKeys(refused);
    HWND app = Application.Handle();
    SetWindowLongPtrA(app, GWL_EXSTYLE, GetWindowLongPtrA(app, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    StartFolderSync();
    LoadMemos();
    folderSync_->TakeInLeftCopies();
    LoadPinBrowsers();
    // Every save writes beside the program: better to hear now than at the first save.
    ReportUnwritableProgramFolder();
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

void TfrmMain::AddTrayIcon()
{
    TrayIconData.hWnd = Handle();
    TrayIconData.hIcon = PrjInfo->Icon.get();
    Shell_NotifyIconA(NIM_ADD, &TrayIconData);
}

void TfrmMain::DeleteTrayIcon() { Shell_NotifyIconA(NIM_DELETE, &TrayIconData); }

void TfrmMain::ShowBalloon(const std::string& text)
{
    BalloonText = text;
    NOTIFYICONDATAA balloon = TrayIconData;
    balloon.uFlags = NIF_INFO;
    CopyText(balloon.szInfo, sizeof(balloon.szInfo), text);
    CopyText(balloon.szInfoTitle, sizeof(balloon.szInfoTitle), PrjInfo->Title());
    balloon.dwInfoFlags = NIIF_WARNING;
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

void TfrmMain::TellRefusedHotKeys(const std::vector<THotKeySetting>& refused)
{
    if (!refused.empty())
        ShowBalloon(HotKeyFailureText(refused));
}

std::vector<THotKeySetting> TfrmMain::RegisterHotKeys()
{
    return ::RegisterHotKeys(Handle(), ReadHotKeys(PrjInfo->IniFileName()));
}

void TfrmMain::UnregisterHotKeys() { ::UnregisterHotKeys(Handle()); }

void TfrmMain::FormCloseQuery(bool& canClose)
{
    DeleteTrayIcon();
    UnregisterHotKeys();
    canClose = true;
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

LRESULT TfrmMain::WMTrayNotify(LPARAM lParam)
{
    if (LOWORD(lParam) != WM_RBUTTONDOWN)
        return 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    // A notification-area menu closes on a click elsewhere only when its thread
    // is in the foreground, and the null message lets the next click through.
    SetForegroundWindow(Handle());
    popTray->Popup(cursor.x, cursor.y);
    PostMessageA(Handle(), WM_NULL, 0, 0);
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
        // The shell came back without our icon.
        DeleteTrayIcon();
        AddTrayIcon();
        ShellCameBack();
        return 0;
    }
    switch (msg) {
    case WM_DISPLAYCHANGE:
        KeepNotesOnWorkAreas(MonitorWorkAreas());
        return TForm::WndProc(msg, wParam, lParam);
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            KeepNotesOnWorkAreas(MonitorWorkAreas());
        return TForm::WndProc(msg, wParam, lParam);
    case WM_TRAYNOTIFY:
        return WMTrayNotify(lParam);
    case WM_HOTKEY:
        WMHotKey(wParam);
        return 0;
    case WM_ENDSESSION:
        if (!wParam)
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

TfrmPostIt* TfrmMain::OpenStoredMemo(int number)
{
    auto* memo = Application.CreateForm<TfrmPostIt>(imgsPostIt);
    try {
        memo->SetMemoNumber(number);
        // The place first: a record without a memo file (a memo left blank) is
        // set up as new, which writes the window's place, and that must be the
        // stored one, not the design place.
        memo->LoadPosition();
        memo->LoadMemo();
    } catch (...) {
        // Gone before it could save anything over the file it failed to read.
        memo->DetachCloseGuard();
        Application.DestroyForm(memo);
        throw;
    }
    return memo;
}

void TfrmMain::PutToWork(TfrmPostIt& memo)
{
    // Exactly the application-window bit: a taskbar button, nothing else.
    SetWindowLongPtrA(memo.Handle(), GWL_EXSTYLE, WS_EX_APPWINDOW);
    memo.Show();
}

void TfrmMain::mnNewMemoClick()
{
    const std::optional<int> number = NextFreeMemoNumber();
    if (!number)
        return;
    auto* memo = Application.CreateForm<TfrmPostIt>(imgsPostIt);
    memo->SetBounds((GetSystemMetrics(SM_CXSCREEN) - memo->Width()) / 2,
                    (GetSystemMetrics(SM_CYSCREEN) - memo->Height()) / 2, memo->Width(), memo->Height());
    memo->SetMemoNumber(*number);
    memo->InitNewMemo();
    PutToWork(*memo);
    SetForegroundWindow(memo->Handle());
}

void TfrmMain::OpenRestoredMemo(int number) { ::OpenRestoredMemo(imgsPostIt, number); }

void TfrmMain::ShellCameBack()
{
    for (TfrmPaper* paper : PaperWindows()) {
        paper->RecoverVanishedWindow();
        paper->RejoinDesktop();
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
    // A memo file whose record a crash took away is a memo all the same.
    AdoptOrphanMemoFiles();
    std::vector<std::pair<std::string, TfrmPostIt*>> opened;
    for (const std::string& section : TIniFile(PrjInfo->PostItIniFileName()).ReadSections()) {
        try {
            opened.emplace_back(section, OpenStoredMemo(StrToInt(section)));
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
    SavePinBrowserPositions();
    ForEachWindow<TfrmPostIt>(SaveAndDetach);
    Close();
}
