// The whole program against what others leave in its folder: libraries named like
// the system's, and the lock of a Pinova that another user or computer runs there.

#include "framework/SysUtils.h"
#include "shell/FolderLock.h"
#include "shell/main.h"
#include "tests/ProgramSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Libraries the program or the system's controls load by name, none of them one that
// Windows always takes from itself. Two more cannot be planted under Wine: its own
// user32 loads version.dll and uxtheme.dll from the program's folder while it starts,
// before any code of the program runs, and takes every program down with a stand-in
// that lacks their functions. On Windows user32 is a known library that takes what
// it needs from the system folder; the program's own import of version.dll is gone
// (the import check of the build sees to that) and its run-time load names the
// system folder.
const char* const kPlantedNames[] = {"riched20", "riched32", "msftedit", "msimg32", "usp10",
                                     "comctl32", "dwmapi",   "oleacc",   "winmm"};

std::string PlantedLibraryPath() { return ExtractFilePath(ModuleFileName()) + "planted.dll"; }

// Every file below the folder, by relative name, with its bytes.
std::map<std::string, std::string> FilesBelow(const std::string& folder, const std::string& prefix = "")
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            files.merge(FilesBelow(folder + name + "\\", prefix + name + "\\"));
        else
            files[prefix + name] = ReadWholeFile(folder + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

// The texts of a window and its children, read with the message itself (another
// process's controls).
std::string TextsOf(HWND wnd)
{
    std::string all;
    std::vector<HWND> windows = WindowsBelow(wnd);
    windows.insert(windows.begin(), wnd);
    for (HWND w : windows) {
        char text[512] = {};
        SendMessageA(w, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
        all += std::string(text) + "\n";
    }
    return all;
}

UniqueKernelHandle HoldFolderLock(const std::string& folder)
{
    HANDLE file = CreateFileA((folder + kFolderLockName).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

void PutMemo(const RunningPinova& pinova)
{
    WriteWholeFile(pinova.File("zkPostIt.ini"), "[1]\r\nLeft=100\r\nTop=120\r\nWidth=300\r\nHeight=200\r\n");
    WriteWholeFile(pinova.File("001.txt"), "{\\rtf1\\ansi Planted beside me\\par}");
}

} // namespace

TEST(ProgramSafety, LibrariesNamedLikeTheSystemsBesideTheProgramAreNeverLoaded)
{
    Shell();
    RunningPinova pinova;
    PutMemo(pinova);
    std::string overrides = "mscoree,mshtml=";
    for (const char* name : kPlantedNames) {
        ASSERT_TRUE(CopyFileA(PlantedLibraryPath().c_str(), pinova.File(std::string(name) + ".dll").c_str(), FALSE));
        overrides += std::string(";") + name + "=n,b";
    }
    // Wine takes its own copy of a library first unless told to search as Windows
    // does: the program's folder, then the system's.
    pinova.SetEnvironment("WINEDLLOVERRIDES", overrides);
    ASSERT_TRUE(pinova.Start());
    HWND tray = pinova.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    const std::vector<HWND> memos = pinova.WaitForWindows("TForm", 1);
    ASSERT_EQ(1u, memos.size());
    HWND editor = nullptr;
    PumpUntil([&] {
        for (HWND wnd : WindowsBelow(memos[0]))
            if (ClassOf(wnd) == "RichEdit20W")
                editor = wnd;
        return editor != nullptr;
    });
    ASSERT_NE(nullptr, editor) << "the memo shows its editor";
    char text[64] = {};
    SendMessageA(editor, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ("Planted beside me", Trim(text));
    PumpMessages(500);

    for (const char* name : kPlantedNames)
        EXPECT_FALSE(FileExists(pinova.File(std::string(name) + ".dll.loaded"))) << name << ".dll was loaded";
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
}

TEST(ProgramSafety, AFolderHeldByAnotherPinovaGetsOneMessageAndNoWrite)
{
    Shell();
    RunningPinova pinova;
    PutMemo(pinova);
    WriteWholeFile(pinova.File("Pinova.ini"), "[hkNewMemo]\r\nhotKey=78\r\n");
    CreateDirectoryA(pinova.File("zkBasket").c_str(), nullptr);
    WriteWholeFile(pinova.File("zkBasket\\2026-03-05 09_07_42 Old.txt"), "{\\rtf1 old}");
    {
        // Another user's or computer's Pinova, as the file system shows it here.
        const UniqueKernelHandle held = HoldFolderLock(pinova.Folder());
        ASSERT_TRUE(held);
        const std::map<std::string, std::string> before = FilesBelow(pinova.Folder());
        ASSERT_TRUE(pinova.Start());
        const std::vector<HWND> boxes = pinova.WaitForWindows("#32770", 1, 20000);
        ASSERT_EQ(1u, boxes.size());
        // The box may still be filling in its texts when it is first seen.
        EXPECT_TRUE(PumpUntil([&] { return TextsOf(boxes[0]).find(WideToAnsi(kFolderInUseMessage)) != std::string::npos; }))
            << TextsOf(boxes[0]);
        EXPECT_TRUE(pinova.Windows("TfrmMain").empty());
        EXPECT_TRUE(pinova.Windows("TForm").empty()) << "no memo opened";
        PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0u, pinova.WaitForExit(10000));
        EXPECT_EQ(before, FilesBelow(pinova.Folder()));
    }

    // Once the other one has gone, the folder is this one's, held until it ends.
    RunningPinova next(pinova, 0);
    ASSERT_TRUE(next.Start());
    HWND tray = next.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    EXPECT_FALSE(HoldFolderLock(pinova.Folder()));
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, next.WaitForExit(10000));
    EXPECT_FALSE(FileExists(pinova.File(kFolderLockName)));
    EXPECT_TRUE(HoldFolderLock(pinova.Folder()));
}
