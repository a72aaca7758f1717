// The whole program at the end of the Windows session and beside programs that hold
// its files for a moment, driven only through its windows' messages.

#include "framework/SysUtils.h"
#include "tests/FileHolder.h"
#include "tests/ProgramSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kMemo[] = "{\\rtf1\\ansi Stored\\par}";

// The program's top-level windows, in the order the test tells them: the
// application's own window first, the hardest case for the notes it does not own.
// (Top-level on the program's desktop, which the tray window is on.)
std::vector<HWND> TopLevelWindows(const RunningPinova& pinova)
{
    const HWND desktop = GetAncestor(pinova.WaitForTrayWindow(), GA_PARENT);
    std::vector<HWND> windows;
    for (const char* name : {"TApplication", "TfrmMain", "TForm"})
        for (HWND wnd : pinova.Windows(name))
            if (GetAncestor(wnd, GA_PARENT) == desktop)
                windows.push_back(wnd);
    return windows;
}

std::string EditorText(HWND editor)
{
    char text[4096] = {};
    SendMessageTimeoutA(editor, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, nullptr);
    return text;
}

void Type(const std::vector<HWND>& editors, const std::string& text)
{
    for (HWND editor : editors)
        for (char c : text)
            SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
}

bool EveryFileHolds(const RunningPinova& pinova, const std::string& text)
{
    for (const char* name : {"001.txt", "002.txt"})
        if (ReadWholeFile(pinova.File(name)).find(text) == std::string::npos)
            return false;
    return true;
}

std::string TextOfBox(HWND box)
{
    std::string shown;
    for (HWND wnd : WindowsBelow(box)) {
        char text[4096] = {};
        GetWindowTextA(wnd, text, sizeof(text));
        shown += text;
    }
    return shown;
}

// Two stored memos, started; their editors.
std::vector<HWND> StartWithTwoMemos(RunningPinova& pinova)
{
    WriteWholeFile(pinova.File("zkPostIt.ini"), "[1]\n[2]\n");
    WriteWholeFile(pinova.File("001.txt"), kMemo);
    WriteWholeFile(pinova.File("002.txt"), kMemo);
    std::vector<HWND> editors;
    if (!pinova.Start() || !pinova.WaitForTrayWindow()) {
        ADD_FAILURE() << "Pinova " << pinova.State();
        return editors;
    }
    // The memo windows: the program's windows of that class that hold an editor.
    PumpUntil([&] {
        editors.clear();
        for (HWND memo : pinova.Windows("TForm"))
            for (HWND wnd : WindowsBelow(memo))
                if (ClassOf(wnd) == "RichEdit20W")
                    editors.push_back(wnd);
        return editors.size() >= 2;
    }, 10000);
    // Typed only once the stored text is in, or loading would replace it.
    for (HWND editor : editors)
        PumpUntil([&] { return EditorText(editor).find("Stored") != std::string::npos; });
    PumpMessages(500);
    return editors;
}

} // namespace

TEST(ProgramSession, ACalledOffEndLeavesEveryMemoSavingAndTheEndSavesTheLastText)
{
    ShellThread& shell = Shell();
    for (bool desktop : {false, true}) {
        std::unique_ptr<StandInProgman> progman;
        if (desktop)
            shell.Run([&] { progman = std::make_unique<StandInProgman>(); });
        RunningPinova pinova;
        const std::vector<HWND> editors = StartWithTwoMemos(pinova);
        ASSERT_EQ(2u, editors.size()) << desktop;
        if (desktop) {
            for (HWND memo : pinova.Windows("TForm"))
                EXPECT_TRUE(PumpUntil([&] { return GetAncestor(memo, GA_PARENT) == progman->icons; }));
        }

        // Another program calls the end off.
        for (HWND wnd : TopLevelWindows(pinova)) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutA(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
            EXPECT_EQ(TRUE, static_cast<BOOL>(answer)) << ClassOf(wnd);
        }
        Type(editors, "Called off ");
        for (HWND wnd : TopLevelWindows(pinova))
            SendMessageTimeoutA(wnd, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return EveryFileHolds(pinova, "Called off"); }, 4000))
            << desktop << ": typing is saved as before";

        // The next end is not called off.
        const std::vector<HWND> windows = TopLevelWindows(pinova);
        for (HWND wnd : windows)
            SendMessageTimeoutA(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, nullptr);
        Type(editors, "Last words ");
        for (HWND wnd : windows)
            SendMessageTimeoutA(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, nullptr);
        EXPECT_EQ(0u, pinova.WaitForExit(10000)) << desktop;
        EXPECT_TRUE(EveryFileHolds(pinova, "Last words")) << desktop;
        EXPECT_FALSE(DirectoryExists(pinova.File("zkBasket")));
        if (desktop)
            shell.Run([&] { progman.reset(); });
    }
}

TEST(ProgramSession, ATypingSaveWaitsOutAFileAnotherProgramHoldsForAMoment)
{
    RunningPinova pinova;
    const std::vector<HWND> editors = StartWithTwoMemos(pinova);
    ASSERT_EQ(2u, editors.size());
    FileHolder holder(pinova.File("001.txt"), 1200);
    ASSERT_TRUE(holder.Started());
    // The typing save comes two seconds later, inside the hold of memo 1's file.
    Type(editors, "Typed while held ");
    PumpMessages(1400);
    ASSERT_TRUE(holder.Hold());
    ASSERT_EQ(std::string::npos, ReadWholeFile(pinova.File("001.txt")).find("Typed while held"))
        << "the hold began before the save";
    bool boxSeen = false;
    const bool saved = PumpUntil(
        [&] {
            boxSeen = boxSeen || !pinova.Windows("#32770").empty();
            return ReadWholeFile(pinova.File("001.txt")).find("Typed while held") != std::string::npos;
        },
        5000);
    EXPECT_TRUE(saved) << ReadWholeFile(pinova.File("001.txt"));
    EXPECT_TRUE(holder.WaitForRelease(5000));
    PumpMessages(500);
    EXPECT_FALSE(boxSeen || !pinova.Windows("#32770").empty()) << "nobody is told of a hold that passed";
    EXPECT_FALSE(FileExists(pinova.File("~001.txt.tmp")));
    PostMessageA(pinova.WaitForTrayWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
}

TEST(ProgramSession, CloseWhileAFileIsHeldAsksOnceAndRetryEndsWithTheTextSaved)
{
    RunningPinova pinova;
    const std::vector<HWND> editors = StartWithTwoMemos(pinova);
    ASSERT_EQ(2u, editors.size());
    Type(editors, "Typed before Close ");
    // Held well past the 2 s a save waits, so that a slow start of Close on a busy
    // machine still meets the hold.
    FileHolder holder(pinova.File("001.txt"), 6000);
    ASSERT_TRUE(holder.Hold());
    PostMessageA(pinova.WaitForTrayWindow(), WM_CLOSE, 0, 0);

    // Held past the time a save waits: one question, naming the memo and its file.
    std::vector<HWND> boxes = pinova.WaitForWindows("#32770", 1, 12000);
    ASSERT_EQ(1u, boxes.size());
    std::string question;
    EXPECT_TRUE(PumpUntil([&] { return (question = TextOfBox(boxes[0])).find("001.txt") != std::string::npos; }))
        << question;
    EXPECT_NE(std::string::npos, question.find("memo 1")) << question;
    EXPECT_EQ(std::string::npos, question.find("002.txt")) << "the other memo was saved";
    EXPECT_TRUE(PumpUntil([&] { return (GetWindowLongA(GetDlgItem(boxes[0], IDRETRY), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON; }, 2000))
        << "Retry the default";
    EXPECT_TRUE(pinova.Running());

    ASSERT_TRUE(holder.WaitForRelease(12000));
    PostMessageA(boxes[0], WM_COMMAND, IDRETRY, 0);
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
    EXPECT_TRUE(EveryFileHolds(pinova, "Typed before Close"));
    EXPECT_FALSE(FileExists(pinova.File("~001.txt.tmp")));
}
