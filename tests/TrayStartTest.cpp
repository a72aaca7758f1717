// How the tray controller starts: on a shell that is not ready yet, and in a
// folder it has never run in.

#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "shell/Welcome.h"
#include "shell/main.h"
#include "tests/ProgramSupport.h"
#include "tests/TraySupport.h"

#include <gtest/gtest.h>

namespace {

// The shell at logon, before its taskbar is up: every icon call fails until it is
// ready, as the platform's does while there is no taskbar to take it.
class StartingShell {
public:
    StartingShell()
    {
        ready = false;
        adds = balloons = 0;
        TrayShellNotifyIcon = NotifyIcon;
    }
    ~StartingShell() { TrayShellNotifyIcon = Shell_NotifyIconW; }
    StartingShell(const StartingShell&) = delete;
    StartingShell& operator=(const StartingShell&) = delete;

    static inline bool ready = false;
    static inline int adds = 0;
    static inline int balloons = 0;

private:
    static BOOL WINAPI NotifyIcon(DWORD message, PNOTIFYICONDATAW data)
    {
        if (!ready)
            return message == NIM_ADD ? (++adds, FALSE) : FALSE;
        adds += message == NIM_ADD;
        const BOOL done = Shell_NotifyIconW(message, data);
        balloons += done && message == NIM_MODIFY && (data->uFlags & NIF_INFO);
        return done;
    }
};

} // namespace

TEST(TrayStart, AnIconTheStartingShellRefusesIsAddedOnceItIsReadyWithTheBalloonThatWaited)
{
    for (const bool taskbarCreated : {false, true}) {
        StartingShell shell;
        TestProgram firstStart;
        Tray tray(firstStart);
        EXPECT_FALSE(tray->TrayIconAdded());
        EXPECT_FALSE(TrayHasIcon(tray.Handle(), kTrayIconId));
        EXPECT_TRUE(PumpUntil([] { return StartingShell::adds >= 3; }, 2 * TfrmMain::kAddIconRetryMs + 300))
            << "asked again while the shell is starting: " << StartingShell::adds;
        EXPECT_EQ(0, StartingShell::balloons);

        StartingShell::ready = true;
        if (taskbarCreated)
            SendMessageA(tray.Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return tray->TrayIconAdded(); }, 3 * TfrmMain::kAddIconRetryMs))
            << taskbarCreated;
        EXPECT_TRUE(TrayHasIcon(tray.Handle(), kTrayIconId)) << taskbarCreated;
        EXPECT_TRUE(tray->TrayIconVersion4()) << "asked for again with the icon";
        EXPECT_EQ(1, StartingShell::balloons) << "the welcome waited for the icon";
        EXPECT_EQ(kWelcomeBalloon, tray->BalloonText);
        const int adds = StartingShell::adds;
        PumpMessages(2 * TfrmMain::kAddIconRetryMs + 300);
        EXPECT_EQ(adds, StartingShell::adds) << "no more tries once the shell has it";
    }
}

TEST(TrayStart, TheVeryFirstStartOpensAWelcomeMemoInFrontAndEveryLaterStartIsAsBefore)
{
    TestProgram program;
    {
        Tray tray(program);
        ASSERT_EQ(1u, tray.Memos().size());
        TfrmPostIt* memo = tray.Memos()[0];
        EXPECT_EQ(1, memo->MemoNumber());
        EXPECT_EQ(pmWorking, memo->GetPaperMode());
        EXPECT_TRUE(IsWindowVisible(memo->Handle()));
        EXPECT_EQ(memo->Handle(), GetForegroundWindow());
        EXPECT_EQ(kWelcomeBalloon, tray->BalloonText);
        EXPECT_EQ("Welcome to Pinova", ReadMemoRecord(1).Caption);
        // Saved at once: a memo like any other, whatever happens next.
        const std::string stored = ReadWholeFile(MemoFilePath(1));
        for (const std::string& told : {std::string("Ctrl+Alt+N"), std::string("Ctrl+Alt+Z"),
                                        std::string("notification area"), std::string("close button")})
            EXPECT_NE(std::string::npos, stored.find(told)) << told;
        EXPECT_NE(std::string::npos, memo->edtMemo->Text().find(program.Folder()));
    }
    {
        Tray tray(program);
        ASSERT_EQ(1u, tray.Memos().size());
        EXPECT_EQ(pmDesktop, tray.Memos()[0]->GetPaperMode()) << "opened with the rest";
        EXPECT_EQ(L"", tray->BalloonText);
    }
    // Either file says the folder has been used: nothing new opens.
    for (const char* file : {"zkPostIt.ini", "Pinova.ini"}) {
        TestProgram used;
        WriteWholeFile(used.Folder() + file, "");
        Tray tray(used);
        EXPECT_TRUE(tray.Memos().empty()) << file;
        EXPECT_EQ(L"", tray->BalloonText) << file;
    }
}

TEST(TrayStart, TheWelcomeNamesTheHotKeysAsTheyAreAndThoseThatCouldNotBeTaken)
{
    const std::vector<THotKeySetting> hotKeys = {{HOTKEY_NEWMEMO, VK_F5, MOD_CONTROL | MOD_SHIFT},
                                                 {HOTKEY_SHOWHIDE, 0, 0}};
    const TRefusedHotKey taken{hotKeys[0], THotKeyRefusal::TakenByAnotherProgram};
    struct Case {
        std::vector<TRefusedHotKey> refused;
        std::vector<std::string> said;
    } cases[] = {
        {{}, {"Ctrl+Shift+F5 makes a new memo", "(none) shows or hides", "C:\\Notes\\"}},
        {{taken}, {"Ctrl+Shift+F5 is used by another program.\r\n", "Configuration"}},
    };
    for (const Case& c : cases) {
        const std::string text = WelcomeMemoText(hotKeys, c.refused, "C:\\Notes\\");
        for (const std::string& said : c.said)
            EXPECT_NE(std::string::npos, text.find(said)) << said << "\n" << text;
        EXPECT_EQ(std::string::npos, text.find("\r\r")) << "every line break is one";
    }
}
