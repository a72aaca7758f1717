// "Close" from the tray menu as a user of pinned pages meets it: the pages' site
// is slow, so they are still loading when the program is asked to end.

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/ProgramSupport.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

namespace {

constexpr DWORD kEndLimitMs = 1000;

// Processes the program started that are still there.
int ChildProcesses(DWORD parent)
{
    UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int children = 0;
    for (bool more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        children += entry.th32ParentProcessID == parent ? 1 : 0;
    return children;
}

} // namespace

TEST(ProgramClose, EndsWithinASecondWithEverythingSavedWhilePinnedPagesLoad)
{
    ShellThread& shell = Shell();
    std::unique_ptr<StandInProgman> progman;
    shell.Run([&] { progman = std::make_unique<StandInProgman>(); });
    const SilentServer server;
    for (int pages : {0, 1, 3}) {
        SCOPED_TRACE(Format("%d pinned pages", pages));
        RunningPinova pinova;
        WriteWholeFile(pinova.File("zkPostIt.ini"), "[1]\nLeft=100\nTop=120\nWidth=300\nHeight=200\n");
        WriteWholeFile(pinova.File("001.txt"), "{\\rtf1\\ansi Stored\\par}");
        std::string settings = "[url]\n";
        for (int n = 1; n <= pages; ++n)
            settings += Format("%d=%s\n", n, server.Address(Format("page%d", n)).c_str());
        WriteWholeFile(pinova.File("Pinova.ini"), settings);
        ASSERT_TRUE(pinova.Start());
        HWND tray = pinova.WaitForTrayWindow();
        ASSERT_NE(nullptr, tray);
        // The browser's first pages in a new Wine prefix take many seconds to come up;
        // what is timed here is the end, not the start.
        const std::vector<HWND> notes = pinova.WaitForWindows("TForm", static_cast<size_t>(1 + pages), 60000);
        ASSERT_EQ(static_cast<size_t>(1 + pages), notes.size());

        // Typed and not yet saved: only "Close" can keep it.
        HWND editor = nullptr;
        PumpUntil([&] {
            for (HWND note : notes)
                for (HWND child : WindowsBelow(note))
                    if (ClassOf(child) == "RichEdit20W")
                        editor = child;
            return editor != nullptr;
        });
        ASSERT_NE(nullptr, editor);
        for (char c : std::string("Typed last "))
            SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
        PumpMessages(300);

        ASSERT_TRUE(ChooseCloseFromTrayMenu(pinova, tray));
        const DWORD start = GetTickCount();
        EXPECT_EQ(0u, pinova.WaitForExit(10000));
        EXPECT_LT(GetTickCount() - start, kEndLimitMs);
        EXPECT_EQ(0, ChildProcesses(pinova.ProcessId()));

        EXPECT_NE(std::string::npos, ReadWholeFile(pinova.File("001.txt")).find("Typed last"));
        const TIniFile places(pinova.File("zkPinBrowser.ini"));
        for (int n = 1; n <= pages; ++n)
            EXPECT_EQ(650, places.ReadInteger(IntToStr(n), "Left", 0)) << "page " << n << " keeps its place";
    }
    shell.Run([&] { progman.reset(); });
}
