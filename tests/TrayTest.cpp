// The tray controller in this process, on Wine's desktop with a shell, so that its
// icon really goes into the notification area.

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/Menus.h"
#include "framework/SysUtils.h"
#include "notes/FindMemos.h"
#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "notes/SaveProblems.h"
#include "shell/SaveAll.h"
#include "shell/main.h"
#include "tests/MemoTestSupport.h"
#include "tests/ProgramSupport.h"
#include "tests/TraySupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace {

// Before the test program makes its first window: everything here lives on the
// desktop that has a notification area.
const bool onShellDesktop = JoinShellDesktop();

} // namespace

TEST(Tray, RunsOnADesktopWithANotificationArea)
{
    ASSERT_TRUE(onShellDesktop);
    ASSERT_TRUE(WaitForTaskbar());
}

TEST(Tray, TheIconIsInTheNotificationAreaWithTheTitleAsItsTip)
{
    Tray tray;
    const NOTIFYICONDATAW& data = tray->TrayIconData;
    EXPECT_EQ(NOTIFYICONDATAW_V2_SIZE, data.cbSize);
    EXPECT_EQ(tray.Handle(), data.hWnd);
    EXPECT_EQ(1u, data.uID);
    EXPECT_EQ(UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP), data.uFlags);
    EXPECT_EQ(0x0464u, data.uCallbackMessage);
    // Drawn for the size the shell shows small icons at, not scaled from another.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(data.hIcon, &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor, sizeof(colour), &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), colour.bmWidth);
    EXPECT_EQ(PrjInfo->Title(), std::wstring(data.szTip));
    EXPECT_TRUE(TrayHasIcon(tray.Handle(), 1));
    EXPECT_TRUE(tray->TrayIconAdded());
    EXPECT_TRUE(tray->TrayIconVersion4()) << "the shell takes the fourth manner";
    EXPECT_TRUE(GetWindowLongPtrA(Application.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongPtrA(Application.Handle(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_FALSE(IsWindowVisible(tray.Handle()));

    Application.DestroyForm(tray.form);
    HWND gone = data.hWnd;
    tray.form = nullptr;
    EXPECT_FALSE(TrayHasIcon(gone, 1)) << "the icon goes with its window";
}

TEST(Tray, TheMenuHasItsItemsInOrder)
{
    Tray tray;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"mnNewMemo", "New Memo"}, {"mnShowAll", "Show All"}, {"mnHideAll", "Hide All"},
        {"mnBasket", "Wastebasket"}, {"mnFindMemos", "Find in Memos..."}, {"", "-"}, {"mnGotoHome", "Goto Pinova Page"},
        {"mnConfiguration", "Configuration"}, {"", "-"}, {"mnClose", "Close"}};
    const std::vector<TMenuItem*>& items = tray->popTray->Items();
    ASSERT_EQ(expected.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(expected[i].first, items[i]->Name) << i;
        EXPECT_EQ(AnsiToWide(expected[i].second), items[i]->Caption) << i;
    }
    UniqueMenu menu = tray->popTray->BuildMenu();
    EXPECT_EQ(10, GetMenuItemCount(menu.get()));


    // "Goto Pinova Page" does nothing: no window, no file.
    const size_t forms = Application.Forms().size();
    tray->mnGotoHome->Click();
    PumpMessages(100);
    EXPECT_EQ(forms, Application.Forms().size());
    EXPECT_EQ(11, tray->imgsPostIt->Count());
}

TEST(Tray, TheRightButtonAndTheKeyboardShowTheMenuAtTheIconWhileOtherClicksDoNothing)
{
    Tray tray;
    ASSERT_TRUE(tray->TrayIconVersion4());
    // The right button's press and release come before the context menu event
    // that follows them: a menu on the press would open twice.
    for (UINT quiet : std::initializer_list<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN,
                                                  WM_RBUTTONUP, WM_MOUSEMOVE, NIN_SELECT}) {
        seenMenu = {};
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, LookAtMenuAndClose);
        EXPECT_EQ(0, tray.Notify(quiet, {400, 300})) << quiet;
        PumpMessages(100);
        KillTimer(nullptr, timer);
        EXPECT_FALSE(seenMenu.shown) << quiet;
    }
    EXPECT_TRUE(tray.Memos().empty()) << "a double click makes no memo";

    // The right button's release, the context-menu key, Enter: at the point the
    // shell names (the cursor, or the icon for the keyboard).
    struct Case {
        UINT event;
        POINT at;
    } cases[] = {{WM_CONTEXTMENU, {400, 300}}, {WM_CONTEXTMENU, {620, 410}}, {UINT(NIN_KEYSELECT), {300, 200}}};
    for (const Case& c : cases) {
        SetCursorPos(10, 10);
        PumpMessages(600);  // Enter's second key select, if any, is long over
        seenMenu = {};
        SetTimer(nullptr, 0, 20, LookAtMenuAndClose);
        EXPECT_EQ(1, tray.Notify(c.event, c.at)) << c.event;
        ASSERT_TRUE(seenMenu.shown) << c.event;
        EXPECT_EQ(c.at.x, seenMenu.rect.left) << c.event;
        EXPECT_EQ(c.at.y, seenMenu.rect.top) << c.event;
        // So that a click elsewhere closes it: our thread is in the foreground while
        // it is open, and the null message is waiting once it has closed.
        EXPECT_EQ(tray.Handle(), seenMenu.foreground);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, tray.Handle(), WM_NULL, WM_NULL, PM_REMOVE));
    }
    // Enter may bring a second key select right after the menu closed: not a second menu.
    seenMenu = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, LookAtMenuAndClose);
    EXPECT_EQ(0, tray.Notify(NIN_KEYSELECT, {300, 200}));
    PumpMessages(100);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(seenMenu.shown);
}

TEST(Tray, NewMemoTakesTheLowestFreeNumberCentredInTheForegroundWithATaskbarButton)
{
    Tray tray("[1]\n[2]\n[4]\n");
    ASSERT_EQ(3u, tray.Memos().size());
    tray->mnNewMemo->Click();
    PumpMessages();
    TfrmPostIt* memo = tray.Memo(3);
    ASSERT_NE(nullptr, memo);
    EXPECT_EQ(pmWorking, memo->GetPaperMode());
    // (The platform adds the edge bit itself, and the translucency comes back.)
    EXPECT_EQ(WS_EX_APPWINDOW, GetWindowLongPtrA(memo->Handle(), GWL_EXSTYLE) & ~(WS_EX_LAYERED | WS_EX_WINDOWEDGE));
    EXPECT_EQ(memo->Handle(), GetForegroundWindow());
    EXPECT_EQ(memo->edtMemo->Handle(), GetFocus()) << "typed text goes into the new memo at once";
    EXPECT_TRUE(IsWindowVisible(memo->Handle()));
    // On the work area, not under the taskbar (the test display has one monitor).
    const RECT r = memo->BoundsRect();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (r.top + r.bottom) / 2, 1);
    EXPECT_TRUE(TIniFile(PrjInfo->PostItIniFileName()).SectionExists("3")) << "the number is taken at once";

    // Hot key 1 is the same command.
    tray.HotKey(HOTKEY_NEWMEMO);
    EXPECT_NE(nullptr, tray.Memo(5));
}

TEST(Tray, NewMemoDoesNothingWhenAll999NumbersAreTaken)
{
    Tray tray;
    std::string all;
    for (int n = 1; n <= 999; ++n)
        all += "[" + std::to_string(n) + "]\n";
    WriteWholeFile(PrjInfo->PostItIniFileName(), all);
    const size_t forms = Application.Forms().size();
    tray->mnNewMemo->Click();
    PumpMessages();
    EXPECT_EQ(forms, Application.Forms().size());
    EXPECT_EQ(all, ReadWholeFile(PrjInfo->PostItIniFileName()));
}

TEST(Tray, StoredMemosOpenOnTheDesktopAndTheModeCommandsMoveThem)
{
    StandInProgman shell;
    TestProgram files;
    WriteWholeFile(MemoFilePath(1), "{\\rtf1 first}");
    // Memo 2 was left blank: a record, no file.
    const std::string index = "[1]\nLeft=50\nTop=60\nWidth=300\nHeight=200\n[2]\nLeft=700\nTop=400\n[3]\n";
    WriteWholeFile(PrjInfo->PostItIniFileName(), index);
    Tray tray(files);
    ASSERT_EQ(3u, tray.Memos().size());
    EXPECT_EQ((std::vector<TPaperMode>{pmDesktop, pmDesktop, pmDesktop}), tray.Modes());
    EXPECT_EQ(shell.icons, GetAncestor(tray.Memo(1)->Handle(), GA_PARENT));
    EXPECT_EQ(50, tray.Memo(1)->Left());
    EXPECT_EQ(60, tray.Memo(1)->Top());
    EXPECT_EQ(700, tray.Memo(2)->Left()) << "a blank memo keeps its place too";
    EXPECT_EQ(400, tray.Memo(2)->Top());
    EXPECT_EQ(700, TIniFile(PrjInfo->PostItIniFileName()).ReadInteger("2", "Left", 0));

    // "Hide All" with two floating and one working: the floating ones first.
    tray.Memo(1)->BringFloating();
    tray.Memo(2)->BringFloating();
    tray.Memo(3)->BringToWork();
    tray->mnHideAll->Click();
    EXPECT_EQ((std::vector<TPaperMode>{pmDesktop, pmDesktop, pmWorking}), tray.Modes());
    tray->mnHideAll->Click();
    EXPECT_EQ((std::vector<TPaperMode>{pmDesktop, pmDesktop, pmDesktop}), tray.Modes());

    // "Show All" floats every desktop note, and does nothing when all float already.
    tray->mnShowAll->Click();
    EXPECT_EQ((std::vector<TPaperMode>{pmFloating, pmFloating, pmFloating}), tray.Modes());
    SetForegroundWindow(tray.Memo(2)->Handle());
    PumpMessages();
    tray->mnShowAll->Click();
    PumpMessages();
    EXPECT_EQ(tray.Memo(2)->Handle(), GetForegroundWindow()) << "nothing was brought up";

    // Hot key 2 with one working and one floating (and one on the desktop).
    tray.Memo(1)->SendToDesktop();
    tray.Memo(3)->BringToWork();
    tray.HotKey(HOTKEY_SHOWHIDE);
    EXPECT_EQ((std::vector<TPaperMode>{pmDesktop, pmFloating, pmDesktop}), tray.Modes());
    tray.HotKey(HOTKEY_SHOWHIDE);
    EXPECT_EQ((std::vector<TPaperMode>{pmDesktop, pmDesktop, pmDesktop}), tray.Modes());
    tray.HotKey(HOTKEY_SHOWHIDE);
    EXPECT_EQ((std::vector<TPaperMode>{pmFloating, pmFloating, pmFloating}), tray.Modes());
    tray.HotKey(99);
    EXPECT_EQ((std::vector<TPaperMode>{pmFloating, pmFloating, pmFloating}), tray.Modes());
}

TEST(Tray, CloseSavesEveryMemoMovesNoneAndLeavesTheProgramUnreachable)
{
    Tray tray("[1]\n[2]\n");
    TfrmPostIt* blank = tray.Memo(1);
    TfrmPostIt* written = tray.Memo(2);
    written->edtMemo->SetText("Milk and eggs");
    written->SetBounds(210, 220, 330, 240);
    ASSERT_TRUE(Reachable(tray));

    tray->mnCloseClick();
    PumpMessages();
    EXPECT_FALSE(FileExists(MemoFilePath(1))) << "a blank memo writes no file";
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(2)).find("Milk and eggs"));
    const TIniFile index(PrjInfo->PostItIniFileName());
    EXPECT_TRUE(index.SectionExists("1")) << "and keeps its record";
    EXPECT_EQ(210, index.ReadInteger("2", "Left", 0));
    EXPECT_EQ(240, index.ReadInteger("2", "Height", 0));
    EXPECT_FALSE(blank->CloseGuardAttached());
    EXPECT_FALSE(written->CloseGuardAttached());
    EXPECT_FALSE(DirectoryExists(PrjInfo->BasketPath)) << "nothing went to the wastebasket";
    EXPECT_FALSE(TrayHasIcon(tray.Handle(), 1));
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N'));
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z'));
}

TEST(Tray, WhatCloseSavedNeedsNoSecondSaveAtTheEndUnlessANoteCameSince)
{
    Tray tray("[1]\n[2]\n");
    tray.Memo(2)->edtMemo->SetText("Saved by Close");
    tray->mnCloseClick();
    PumpMessages();
    EXPECT_TRUE(EveryNoteSavedForClose());

    auto newMemo = [&] {
        tray->mnNewMemo->Click();
        return dynamic_cast<TfrmPostIt*>(PaperWindows().back());
    };
    ASSERT_NE(nullptr, newMemo());
    EXPECT_FALSE(EveryNoteSavedForClose()) << "a memo opened after Close is live and unsaved";
    EXPECT_TRUE(SaveAllMemos());
    EXPECT_TRUE(EveryNoteSavedForClose());

    TfrmPostIt* held = newMemo();
    ASSERT_NE(nullptr, held);
    held->edtMemo->SetText("Cannot be written");
    const std::string obstacle = StagingFilePath(held->MemoFileName);
    CreateDirectoryA(obstacle.c_str(), nullptr);
    {
        DialogAnswerer answer(IDCANCEL);
        EXPECT_FALSE(SaveAllMemos());
    }
    EXPECT_FALSE(EveryNoteSavedForClose()) << "a cancelled save covers nothing";
    RemoveDirectoryA(obstacle.c_str());
}

TEST(Tray, MemosShareOneFontListThatIsReadAgainOnceTheFontsChange)
{
    Tray tray("[1]\n[2]\n");
    const std::vector<std::string>& shared = tray.Memo(1)->cmbFontName->Items();
    EXPECT_EQ(&shared, &tray.Memo(2)->cmbFontName->Items());
    SendMessageA(tray.Handle(), WM_FONTCHANGE, 0, 0);
    tray->mnNewMemo->Click();
    auto* fresh = dynamic_cast<TfrmPostIt*>(PaperWindows().back());
    ASSERT_NE(nullptr, fresh);
    EXPECT_NE(&shared, &fresh->cmbFontName->Items()) << "read anew";
    EXPECT_EQ(shared, fresh->cmbFontName->Items());
}

TEST(Tray, TheAfterLoopSaveWritesEveryMemoEvenWhenOneCannotBeWritten)
{
    Tray tray("[1]\n[2]\n");
    tray.Memo(1)->edtMemo->SetText("Cannot be written");
    tray.Memo(2)->edtMemo->SetText("Written after Close");
    const std::string obstacle = StagingFilePath(MemoFilePath(1));
    CreateDirectoryA(obstacle.c_str(), nullptr);  // where memo 1's new content would go
    DialogAnswerer answer(IDCANCEL);
    EXPECT_FALSE(SaveAllMemos());
    EXPECT_EQ(1, answer.Count());
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(2)).find("Written after Close"));
    RemoveDirectoryA(obstacle.c_str());
}

TEST(Tray, AMemoThatCannotBeSavedIsNamedInOneQuestionAndCancelKeepsEveryMemoSaving)
{
    Tray tray("[1]\n[2]\n[3]\n");
    tray.Memo(1)->edtMemo->SetText("Saved");
    tray.Memo(2)->edtMemo->SetText("Cannot be written");
    tray.Memo(3)->edtMemo->SetText("Saved too");
    const std::string obstacle = StagingFilePath(MemoFilePath(2));
    CreateDirectoryA(obstacle.c_str(), nullptr);
    // Memo 2's own typing save fails meanwhile, and is told as failing saves are.
    std::vector<std::string> told;
    SaveReporter().Show = [&](const std::string& text) { told.push_back(text); };
    {
        DialogAnswerer answer(IDCANCEL);
        tray->mnCloseClick();
        PumpMessages();
        ASSERT_EQ(1, answer.Count());
        const SeenDialog& question = answer.Last();
        EXPECT_EQ(WideToAnsi(PrjInfo->Title()), question.Caption);
        EXPECT_EQ(IDRETRY, question.DefaultButton);
        for (const std::string& named : {std::string("memo 2"), "Cannot create file \"" + MemoFilePath(2) + "\""})
            EXPECT_NE(std::string::npos, question.Text.find(named)) << question.Text;
        EXPECT_EQ(std::string::npos, question.Text.find("memo 1")) << "only what could not be saved";
    }
    // Cancel: the program runs on, reachable, and nothing was given up.
    EXPECT_TRUE(Reachable(tray));
    for (TfrmPostIt* memo : tray.Memos())
        EXPECT_TRUE(memo->CloseGuardAttached()) << memo->MemoNumber();
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(3)).find("Saved too"));
    SendMessageA(tray.Memo(1)->edtMemo->Handle(), WM_CHAR, '!', 1);
    EXPECT_TRUE(PumpUntil([] { return ReadWholeFile(MemoFilePath(1)).find("!") != std::string::npos; }, 3500))
        << "typing is saved as before";

    RemoveDirectoryA(obstacle.c_str());
    DialogAnswerer none(IDCANCEL);
    tray->mnCloseClick();
    PumpMessages();
    EXPECT_EQ(0, none.Count());
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(2)).find("Cannot be written"));
    EXPECT_FALSE(Reachable(tray));
    for (TfrmPostIt* memo : tray.Memos())
        EXPECT_FALSE(memo->CloseGuardAttached()) << memo->MemoNumber();
    SaveReporter().Show = nullptr;
    EXPECT_LE(told.size(), 1u);
}

TEST(Tray, CloseWaitsOutAFileHeldForAMomentWithoutAQuestion)
{
    TestProgram program;
    WriteWholeFile(PrjInfo->PostItIniFileName(), "[1]\n");
    WriteMemoContent(1, "older", "{\\rtf1 older}");
    Tray tray(program);
    tray.Memo(1)->edtMemo->SetText("Held for a moment");
    UniqueKernelHandle hold(
        CreateFileA(MemoFilePath(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    std::thread release([&] {
        Sleep(1200);
        hold.reset();
    });
    DialogAnswerer answer(IDCANCEL);
    const DWORD start = GetTickCount();
    tray->mnCloseClick();
    const DWORD took = GetTickCount() - start;
    release.join();
    EXPECT_EQ(0, answer.Count());
    EXPECT_GE(took, 1000u) << "it waited";
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("Held for a moment"));
    EXPECT_FALSE(tray.Memo(1)->CloseGuardAttached());
    EXPECT_FALSE(Reachable(tray));
}

namespace {

// The program's top-level windows, which the platform tells of the session's end
// (the application's own window too, unless the test process must live on).
std::vector<HWND> TopLevelWindows(const Tray& tray, bool withApplicationWindow)
{
    std::vector<HWND> windows{tray.Handle()};
    if (withApplicationWindow)
        windows.push_back(Application.Handle());
    for (TfrmPostIt* memo : tray.Memos())
        if (GetAncestor(memo->Handle(), GA_PARENT) == GetDesktopWindow())
            windows.push_back(memo->Handle());
    return windows;
}

void TypeIntoEveryMemo(const Tray& tray, const std::string& text)
{
    for (TfrmPostIt* memo : tray.Memos())
        for (char c : text)
            SendMessageA(memo->edtMemo->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
}

bool EveryMemoFileHolds(const Tray& tray, const std::string& text)
{
    for (TfrmPostIt* memo : tray.Memos())
        if (ReadWholeFile(MemoFilePath(memo->MemoNumber())).find(text) == std::string::npos)
            return false;
    return true;
}

} // namespace

TEST(Tray, TheEndOfTheSessionSavesEveryMemoAndOneCalledOffLeavesThemSaving)
{
    struct Case {
        bool desktop;  // a desktop to rest in, whose notes hear nothing of the session
        bool ends;     // the session ends, or another program calls it off
    } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const Case& c : cases) {
        const std::string label = std::string(c.desktop ? "in the desktop, " : "top-level, ") +
                                  (c.ends ? "the session ends" : "called off");
        std::unique_ptr<StandInProgman> shell;
        if (c.desktop)
            shell = std::make_unique<StandInProgman>();
        Tray tray("[1]\n[2]\n");
        tray.Memo(2)->BringToWork();
        if (c.desktop) {
            ASSERT_EQ(shell->icons, GetAncestor(tray.Memo(1)->Handle(), GA_PARENT)) << label;
        }
        TypeIntoEveryMemo(tray, "Before");

        for (HWND wnd : TopLevelWindows(tray, true))
            EXPECT_TRUE(SendMessageA(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << label;
        EXPECT_TRUE(EveryMemoFileHolds(tray, "Before")) << label << ": saved when asked";
        TypeIntoEveryMemo(tray, " after");

        if (c.ends) {
            for (HWND wnd : TopLevelWindows(tray, false))
                SendMessageA(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            EXPECT_TRUE(EveryMemoFileHolds(tray, "Before after")) << label << ": what was typed since";
            for (TfrmPostIt* memo : tray.Memos())
                EXPECT_FALSE(memo->CloseGuardAttached()) << label;
            continue;
        }
        for (HWND wnd : TopLevelWindows(tray, true))
            SendMessageA(wnd, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        EXPECT_TRUE(Reachable(tray)) << label;
        EXPECT_TRUE(PumpUntil([&] { return EveryMemoFileHolds(tray, "Before after"); }, 3500))
            << label << ": by the typing save";
        TypeIntoEveryMemo(tray, " closing");
        tray->mnCloseClick();
        EXPECT_TRUE(EveryMemoFileHolds(tray, "Before after closing")) << label << ": at Close";
    }
}

TEST(Tray, TheIconComesBackWhenTheShellRestarts)
{
    Tray tray;
    NOTIFYICONDATAW lost = tray->TrayIconData;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &lost));  // what a restarted shell has forgotten
    ASSERT_FALSE(TrayHasIcon(tray.Handle(), 1));
    SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayHasIcon(tray.Handle(), 1));
}

TEST(Tray, ACancelledEndOfSessionLeavesTheProgramReachable)
{
    Tray tray("[1]\n");
    EXPECT_TRUE(SendMessageA(tray.Handle(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_FALSE(TrayHasIcon(tray.Handle(), 1));
    EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N'));
    SendMessageA(tray.Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(Reachable(tray));
    EXPECT_EQ(1u, tray.Memos().size());
    // Called off by another program before we were asked at all.
    SendMessageA(tray.Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(Reachable(tray));
    EXPECT_EQ(L"", tray->BalloonText) << "our own hot keys are not reported as taken";
}

TEST(Tray, ABadRecordIsSkippedAndReportedWhileEveryOtherMemoOpens)
{
    TestProgram files;
    const std::string index = "[1]\n[seven]\n[2]\n[3]\nCaption=Third\n";
    CaughtErrors errors;
    {
        // Memo 2's file is there but cannot be read while another program holds it.
        TestProgram& program = files;
        WriteWholeFile(program.Folder() + "002.txt", "{\\rtf1 locked}");
        WriteWholeFile(program.Folder() + "003.txt", "{\\rtf1 third}");
        UniqueKernelHandle locked(CreateFileA((program.Folder() + "002.txt").c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        WriteWholeFile(program.Folder() + "zkPostIt.ini", index);
        TfrmMain* form = Application.CreateForm<TfrmMain>();
        std::vector<int> opened;
        for (TfrmPaper* paper : PaperWindows())
            opened.push_back(paper->Tag);
        EXPECT_EQ((std::vector<int>{1, 3}), opened);
        for (TfrmPaper* paper : PaperWindows())
            EXPECT_TRUE(IsWindowVisible(paper->Handle())) << paper->Tag;
        EXPECT_TRUE(TrayHasIcon(form->Handle(), 1));
        for (TfrmPaper* paper : PaperWindows())
            Application.DestroyForm(paper);
        Application.DestroyForm(form);
    }
    ASSERT_EQ(1u, errors.Messages().size()) << "reported once";
    const std::string& report = errors.Messages()[0];
    EXPECT_NE(std::string::npos, report.find("'seven' is not a valid integer value")) << report;
    EXPECT_NE(std::string::npos, report.find("[2]")) << report;
    EXPECT_EQ(std::string::npos, report.find("[3]")) << report;
    EXPECT_EQ("{\\rtf1 locked}", ReadWholeFile(files.Folder() + "002.txt")) << "never overwritten";
    const TIniFile stored(files.Folder() + "zkPostIt.ini");
    EXPECT_EQ((std::vector<std::string>{"1", "seven", "2", "3"}), stored.ReadSections());
    EXPECT_FALSE(stored.ValueExists("2", "Left")) << "the skipped record is untouched";
}

TEST(Tray, RefusedHotKeysAreNamedOneLineEach)
{
    // Another window holds Ctrl+Alt+N; the settings ask for Ctrl+Shift+F5 twice.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 5, MOD_CONTROL | MOD_ALT, 'N'));
    {
        Tray tray;
        EXPECT_EQ(L"The hot key Ctrl+Alt+N is used by another program.", tray->BalloonText);
        EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z')) << "the other one is taken all the same";
        tray->UnregisterHotKeys();
        const std::vector<TRefusedHotKey> refused = tray->RegisterHotKeys();
        ASSERT_EQ(1u, refused.size());
        EXPECT_EQ(HOTKEY_NEWMEMO, refused[0].Id);
    }
    UnregisterHotKey(other, 5);
    DestroyWindow(other);

    TestProgram program;
    WriteWholeFile(PrjInfo->IniFileName(), "[hkNewMemo]\nhotKey=116\nhotMod=6\n[hkShowAll]\nhotKey=116\nhotMod=6\n");
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const std::vector<TRefusedHotKey> refused = RegisterHotKeys(wnd, ReadHotKeys(PrjInfo->IniFileName()));
    ASSERT_EQ(1u, refused.size()) << "the same combination twice";
    EXPECT_EQ(HOTKEY_SHOWHIDE, refused[0].Id);
    EXPECT_EQ("The hot key Ctrl+Shift+F5 is used by another program.", HotKeyFailureText(refused));
    UnregisterHotKeys(wnd);
    DestroyWindow(wnd);
}

TEST(Tray, HotKeysComeFromTheSettingsFile)
{
    struct Case {
        const char* settings;
        UINT newKey, newMod, showKey, showMod;
    } cases[] = {
        {"", 'N', 3, 'Z', 3},
        {"[hkNewMemo]\nhotKey=65\nhotMod=5\n[hkShowAll]\nhotKey=0x70\nhotMod=$2\n", 'A', 5, VK_F1, 2},
        {"[hkNewMemo]\nhotKey=abc\n[hkShowAll]\nhotMod=\n", 'N', 3, 'Z', 3},
        {"[hkNewMemo]\nhotKey=0\nhotMod=0\n", 0, 0, 'Z', 3},
    };
    for (const Case& c : cases) {
        TestProgram program;
        if (*c.settings)
            WriteWholeFile(PrjInfo->IniFileName(), c.settings);
        const std::vector<THotKeySetting> keys = ReadHotKeys(PrjInfo->IniFileName());
        ASSERT_EQ(2u, keys.size());
        EXPECT_EQ(HOTKEY_NEWMEMO, keys[0].Id);
        EXPECT_EQ(c.newKey, keys[0].Key) << c.settings;
        EXPECT_EQ(c.newMod, keys[0].Modifiers) << c.settings;
        EXPECT_EQ(HOTKEY_SHOWHIDE, keys[1].Id);
        EXPECT_EQ(c.showKey, keys[1].Key) << c.settings;
        EXPECT_EQ(c.showMod, keys[1].Modifiers) << c.settings;
    }
    // An emptied field (or a code no key has) is no hot key, and not a refused one either.
    for (const char* settings : {"[hkNewMemo]\nhotKey=0\nhotMod=0\n", "[hkNewMemo]\nhotKey=334\nhotMod=3\n"}) {
        Tray tray("", settings);
        EXPECT_EQ(L"", tray->BalloonText) << settings;
        EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z')) << settings;
        EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N')) << settings;
        EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL | MOD_ALT, 334 & 0xFF)) << settings;
    }
}

TEST(Tray, HotKeyNames)
{
    struct Case {
        UINT key, modifiers;
        const char* name;
    } cases[] = {
        {'N', MOD_CONTROL | MOD_ALT, "Ctrl+Alt+N"},
        {'Z', MOD_CONTROL | MOD_ALT, "Ctrl+Alt+Z"},
        {'N', MOD_CONTROL | MOD_SHIFT, "Ctrl+Shift+N"},
        {'7', MOD_CONTROL | MOD_SHIFT | MOD_ALT, "Ctrl+Shift+Alt+7"},
        {VK_F12, MOD_ALT, "Alt+F12"},
        {'N', 0, "N"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.name, HotKeyName(c.key, c.modifiers));
    // Keys without a face of their own get the keyboard's name, never an empty one.
    for (UINT key : {VK_HOME, VK_SPACE, VK_NUMPAD5, VK_OEM_1, 0xE8}) {
        const std::string name = HotKeyName(key, MOD_CONTROL);
        EXPECT_EQ("Ctrl+", name.substr(0, 5)) << key;
        EXPECT_GT(name.size(), 5u) << key;
    }
    EXPECT_NE(HotKeyName(VK_HOME, 0), HotKeyName(VK_NUMPAD7, 0)) << "the navigation block is named apart";
}

TEST(Tray, AProgramFolderThatCannotBeWrittenIsToldAtStart)
{
    std::vector<std::string> told;
    TSaveReporter& reporter = SaveReporter();
    const auto show = reporter.Show;
    reporter.Show = [&](const std::string& text) { told.push_back(text); };
    {
        Tray writable;
        EXPECT_TRUE(told.empty());
    }
    {
        TzkPrjInfo gone("C:\\pinova-no-such-folder\\");
        TzkPrjInfo* previous = PrjInfo;
        PrjInfo = &gone;
        TfrmMain* form = Application.CreateForm<TfrmMain>();
        Application.DestroyForm(form);
        PrjInfo = previous;
    }
    reporter.Run("nothing", [] { return true; });  // a save that wrote ends the failing state
    reporter.Show = show;
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("C:\\pinova-no-such-folder\\")) << told[0];
}

TEST(Tray, TheShellsReturnPutsTheNotesBackIntoItsNewDesktop)
{
    auto desktop = std::make_unique<StandInProgman>();
    Tray tray("[1]\n[2]\n");
    ASSERT_EQ(2u, tray.Memos().size());
    for (TfrmPostIt* memo : tray.Memos())
        ASSERT_EQ(desktop->icons, GetAncestor(memo->Handle(), GA_PARENT));

    desktop.reset();
    PumpMessages(100);
    for (TfrmPostIt* memo : tray.Memos()) {
        ASSERT_TRUE(memo->HandleAllocated());
        EXPECT_EQ(GetDesktopWindow(), GetAncestor(memo->Handle(), GA_PARENT)) << "top-level meanwhile";
        EXPECT_TRUE(IsWindowVisible(memo->Handle()));
    }
    desktop = std::make_unique<StandInProgman>();
    SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    for (TfrmPostIt* memo : tray.Memos()) {
        EXPECT_EQ(desktop->icons, GetAncestor(memo->Handle(), GA_PARENT));
        EXPECT_EQ(pmDesktop, memo->GetPaperMode());
    }
}

TEST(Tray, FindInMemosOpensOneWindowAtATime)
{
    Tray tray("[1]\n");
    auto finds = [] {
        return std::count_if(Application.Forms().begin(), Application.Forms().end(),
                             [](TForm* form) { return dynamic_cast<TfrmFindMemos*>(form) != nullptr; });
    };
    tray->mnFindMemos->Click();
    tray->mnFindMemos->Click();
    EXPECT_EQ(1, finds());
    ASSERT_NE(nullptr, tray->frmFindMemos);
    tray->frmFindMemos->Close();
    PumpUntil([&] { return finds() == 0; }, 2000);
    EXPECT_EQ(nullptr, tray->frmFindMemos);
    tray->mnFindMemos->Click();
    EXPECT_EQ(1, finds());
}

TEST(Tray, ADisplayChangeBringsNotesOffEveryScreenBackAndAMemoFileWithoutRecordOpens)
{
    TestProgram files;
    WriteWholeFile(files.Folder() + "005.txt", "{\\rtf1\\ansi found again\\par}");
    Tray tray(files);
    TfrmPostIt* found = tray.Memo(5);
    ASSERT_NE(nullptr, found);
    EXPECT_NE(std::string::npos, found->edtMemo->Text().find("found again"));

    found->SetBounds(9000, 9000, 300, 200);
    SendMessageA(tray.Handle(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT placed = found->BoundsRect(), meet{};
    EXPECT_TRUE(IntersectRect(&meet, &placed, &screen)) << placed.left << "," << placed.top;
}
