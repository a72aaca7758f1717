// The whole program, started as a user starts it, on Wine's desktop with a taskbar,
// and driven only through its windows' messages.

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "shell/Welcome.h"
#include "shell/main.h"
#include "tests/ProgramSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kCloseLimitMs = 2000;

// The memo windows of the program: its note windows (a memo is the only kind here).
std::vector<HWND> Memos(const RunningPinova& pinova, size_t count)
{
    return pinova.WaitForWindows("TForm", count);
}

bool IconShown(ShellThread& shell, HWND tray)
{
    bool shown = false;
    PumpUntil([&] {
        shell.Run([&] { shown = TrayHasIcon(tray, kTrayIconId); });
        return shown;
    });
    return shown;
}

BYTE Alpha(HWND wnd)
{
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags);
    return (flags & LWA_ALPHA) ? alpha : 255;
}

// The text of a tool tip or balloon the shell shows now, or empty. (Asked from the
// shell desktop: seen from another desktop, no window counts as visible. And asked
// with the message itself: GetWindowText reads no other program's tool tip.)
std::string ShownTip(ShellThread& shell)
{
    std::string shown;
    shell.Run([&] {
        for (HWND wnd : WindowsBelow(nullptr)) {
            char text[512] = {};
            if (ClassOf(wnd) == "tooltips_class32" && IsWindowVisible(wnd) &&
                SendMessageA(wnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text)) > 0)
                shown = text;
        }
    });
    return shown;
}

// "Pinova 1.0 release 9" for a program file of version 1.0.9.x.
std::string TitleOf(const std::string& exe)
{
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (data.empty() || !GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length))
        return "Pinova ";
    return Format("Pinova %u.%u release %u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                  HIWORD(info->dwFileVersionLS));
}

// The icon at the right end of the taskbar, in the taskbar's client coordinates.
POINT IconInTaskbar(HWND bar)
{
    RECT r{};
    GetClientRect(bar, &r);
    return {r.right - 10, r.bottom / 2};
}

// Rests the mouse on the icon (one move: every move starts the tip's delay again)
// and waits for the shell's tip.
std::string TipOfIcon(ShellThread& shell)
{
    // The shell's tooltip can miss one hover (its first one in a new prefix is slow
    // to come up): the pointer leaves the icon and comes back before giving up.
    std::string tip;
    for (int hover = 0; hover < 3 && tip.empty(); ++hover) {
        shell.Run([hover] {
            HWND bar = FindWindowA("Shell_TrayWnd", nullptr);
            const POINT p = IconInTaskbar(bar);
            POINT screen = p;
            ClientToScreen(bar, &screen);
            if (hover > 0) {
                SetCursorPos(screen.x - 200, screen.y - 200);
                PostMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
            }
            SetCursorPos(screen.x, screen.y);
            PostMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        });
        PumpUntil([&] { return !(tip = ShownTip(shell)).empty(); }, 5000);
    }
    return tip;
}

// Everything the program keeps in its folder, for seeing that nothing changed.
std::string Snapshot(const RunningPinova& pinova)
{
    std::string all;
    for (const char* name : {"zkPostIt.ini", "001.txt", "002.txt", "Pinova.ini"})
        all += std::string(name) + ":" + ReadWholeFile(pinova.File(name)) + "\n";
    return all + (DirectoryExists(pinova.File("zkBasket")) ? "basket" : "");
}

const char kFirstMemo[] = "{\\rtf1\\ansi First memo\\par}";
const char kSecondMemo[] = "{\\rtf1\\ansi Second memo\\par}";

} // namespace

TEST(Program, HotKeyOneMakesAMemoWhoseTextIsSavedAndCloseEndsTheProgramInTime)
{
    ShellThread& shell = Shell();
    RunningPinova pinova;
    ASSERT_TRUE(pinova.Start());
    HWND tray = pinova.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    EXPECT_TRUE(IconShown(shell, tray));
    EXPECT_EQ(TitleOf(pinova.File("pinova.exe")), TipOfIcon(shell));

    PostMessageA(tray, WM_HOTKEY, HOTKEY_NEWMEMO, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'N'));
    const std::vector<HWND> memos = Memos(pinova, 1);
    ASSERT_EQ(1u, memos.size());
    EXPECT_TRUE(PumpUntil([&] { return TIniFile(pinova.File("zkPostIt.ini")).SectionExists("1"); }));
    EXPECT_TRUE(PumpUntil([&] { return (GetWindowLongPtrA(memos[0], GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0; }))
        << "it has a taskbar button";

    HWND editor = WaitForChild(memos[0], "RichEdit20W");
    ASSERT_NE(nullptr, editor);
    for (char c : std::string("Milk and eggs"))
        SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
    SendMessageA(memos[0], WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(pinova.File("001.txt")).find("Milk and eggs") != std::string::npos; }));

    // "Close" from the tray menu, opened with the right button on the shell's icon
    // and chosen with the keyboard, as a user can.
    shell.Run([] {
        HWND bar = FindWindowA("Shell_TrayWnd", nullptr);
        const POINT p = IconInTaskbar(bar);
        PostMessageA(bar, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(bar, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    });
    std::vector<HWND> menu = pinova.WaitForWindows("#32768", 1);
    ASSERT_FALSE(menu.empty());
    PumpMessages(200);
    PostMessageA(menu[0], WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu[0], WM_KEYDOWN, VK_RETURN, 0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
    EXPECT_LT(GetTickCount() - start, kCloseLimitMs);

    const TIniFile index(pinova.File("zkPostIt.ini"));
    EXPECT_TRUE(index.ValueExists("1", "Left"));
    EXPECT_NE(std::string::npos, ReadWholeFile(pinova.File("001.txt")).find("Milk and eggs"));
    EXPECT_FALSE(DirectoryExists(pinova.File("zkBasket")));
}

TEST(Program, TheNextStartShowsEveryMemoOnTheDesktopAndASecondStartChangesNothing)
{
    ShellThread& shell = Shell();
    std::unique_ptr<StandInProgman> progman;
    shell.Run([&] { progman = std::make_unique<StandInProgman>(); });
    RunningPinova pinova;
    WriteWholeFile(pinova.File("zkPostIt.ini"), "[1]\nLeft=100\nTop=120\nWidth=300\nHeight=200\n"
                                                "[2]\nLeft=520\nTop=300\nWidth=320\nHeight=210\n");
    WriteWholeFile(pinova.File("001.txt"), kFirstMemo);
    WriteWholeFile(pinova.File("002.txt"), kSecondMemo);
    ASSERT_TRUE(pinova.Start());
    HWND tray = pinova.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    std::vector<HWND> memos = Memos(pinova, 2);
    ASSERT_EQ(2u, memos.size());
    PumpMessages(500);
    // Nothing else is active, so both rest translucent.
    shell.Run([&] { SetForegroundWindow(progman->progman); });
    PumpMessages(300);
    const RECT expected[] = {{100, 120, 400, 320}, {520, 300, 840, 510}};
    for (HWND memo : memos) {
        EXPECT_EQ(progman->icons, GetAncestor(memo, GA_PARENT));
        EXPECT_EQ(100, Alpha(memo));
        RECT r;
        GetWindowRect(memo, &r);
        const bool placed = EqualRect(&r, &expected[0]) || EqualRect(&r, &expected[1]);
        EXPECT_TRUE(placed) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }

    // Memos save half a second after losing the activation: let that pass first.
    PumpMessages(1500);
    const std::string before = Snapshot(pinova);
    RunningPinova second(pinova, 0);
    ASSERT_TRUE(second.Start());
    EXPECT_EQ(0u, second.WaitForExit(5000));
    PumpMessages(300);
    EXPECT_TRUE(pinova.Running());
    EXPECT_EQ(2u, pinova.Windows("TForm").size()) << "no new memo";
    EXPECT_EQ(before, Snapshot(pinova));

    // Closing the tray window ends the program too, with every memo saved.
    PostMessageA(tray, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
    EXPECT_LT(GetTickCount() - start, kCloseLimitMs);
    EXPECT_NE(std::string::npos, ReadWholeFile(pinova.File("001.txt")).find("First memo"));
    EXPECT_NE(std::string::npos, ReadWholeFile(pinova.File("002.txt")).find("Second memo"));
    EXPECT_FALSE(DirectoryExists(pinova.File("zkBasket")));
    shell.Run([&] { progman.reset(); });
}

TEST(Program, ARecordWithABadNameStillLetsTheGoodOnesOpen)
{
    ShellThread& shell = Shell();
    RunningPinova pinova;
    const std::string index = "[1]\nCaption=one\n[not a number]\nCaption=bad\n[2]\nCaption=two\n";
    WriteWholeFile(pinova.File("zkPostIt.ini"), index);
    WriteWholeFile(pinova.File("001.txt"), kFirstMemo);
    WriteWholeFile(pinova.File("002.txt"), kSecondMemo);
    ASSERT_TRUE(pinova.Start());

    // The report comes once, in the standard error box; the user answers it.
    std::vector<HWND> boxes = pinova.WaitForWindows("#32770", 1, 20000);
    ASSERT_EQ(1u, boxes.size());
    auto shownText = [&] {
        std::string shown;
        for (HWND wnd : WindowsBelow(boxes[0])) {
            char text[512] = {};
            GetWindowTextA(wnd, text, sizeof(text));
            shown += text;
        }
        return shown;
    };
    // (The box is found while it is still being filled in.)
    EXPECT_TRUE(PumpUntil([&] { return shownText().find("[not a number]") != std::string::npos; })) << shownText();
    PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);

    HWND tray = pinova.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    PumpMessages(500);
    EXPECT_EQ(2u, pinova.Windows("TForm").size());
    EXPECT_TRUE(pinova.Windows("#32770").empty());
    EXPECT_TRUE(IconShown(shell, tray));
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
    const TIniFile stored(pinova.File("zkPostIt.ini"));
    EXPECT_EQ((std::vector<std::string>{"1", "not a number", "2"}), stored.ReadSections());
    EXPECT_EQ((std::vector<std::string>{"Caption"}), stored.ReadSection("not a number"))
        << "the bad record is left as it was";
}

TEST(Program, AtTheEndOfTheSessionEveryMemoSavesItselfAndTheProgramEnds)
{
    RunningPinova pinova;
    WriteWholeFile(pinova.File("zkPostIt.ini"), "[1]\nCaption=one\n");
    WriteWholeFile(pinova.File("001.txt"), kFirstMemo);
    ASSERT_TRUE(pinova.Start());
    ASSERT_NE(nullptr, pinova.WaitForTrayWindow());
    const std::vector<HWND> memos = Memos(pinova, 1);
    ASSERT_EQ(1u, memos.size());
    HWND editor = WaitForChild(memos[0], "RichEdit20W");
    ASSERT_NE(nullptr, editor);
    for (char c : std::string("Typed last "))
        SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);

    // The platform asks every top-level window, then tells them the session ends.
    std::vector<HWND> windows = pinova.Windows("TApplication");
    ASSERT_EQ(1u, windows.size());
    for (const char* name : {"TfrmMain", "TForm"})
        for (HWND wnd : pinova.Windows(name))
            windows.push_back(wnd);
    for (HWND wnd : windows) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
        EXPECT_EQ(TRUE, static_cast<BOOL>(answer)) << ClassOf(wnd);
    }
    EXPECT_NE(std::string::npos, ReadWholeFile(pinova.File("001.txt")).find("Typed last"));
    for (HWND wnd : windows)
        PostMessageA(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(0u, pinova.WaitForExit(kCloseLimitMs));
    EXPECT_FALSE(DirectoryExists(pinova.File("zkBasket")));
    EXPECT_TRUE(TIniFile(pinova.File("zkPostIt.ini")).SectionExists("1"));
}

TEST(Program, AHotKeyAnotherProgramHoldsIsNamedInABalloonAtStart)
{
    ShellThread& shell = Shell();
    HWND holder = nullptr;
    shell.Run([&] {
        holder = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        RegisterHotKey(holder, 1, MOD_CONTROL | MOD_ALT, 'N');
    });
    RunningPinova pinova;
    ASSERT_TRUE(pinova.Start());
    HWND tray = pinova.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    std::string balloon;
    EXPECT_TRUE(PumpUntil([&] { return !(balloon = ShownTip(shell)).empty(); }, 10000));
    EXPECT_EQ("The hot key Ctrl+Alt+N is used by another program.", balloon);

    // The other hot key is the program's all the same.
    PostMessageA(tray, WM_HOTKEY, HOTKEY_SHOWHIDE, 0);
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, pinova.WaitForExit(10000));
    shell.Run([&] {
        UnregisterHotKey(holder, 1);
        DestroyWindow(holder);
    });
}

TEST(Program, OnTheSlideshowAndOffsetDesktopsAMemoRestsInTheIconViewWhereItWasStored)
{
    const struct {
        const char* name;
        ShellLayout layout;
        RECT area;
    } cases[] = {
        {"slideshow", ShellLayout::Slideshow, {}},
        {"classic, from -1280", ShellLayout::Classic, kLeftMonitorToo},
        {"24H2, from -1280", ShellLayout::Win11_24H2, kLeftMonitorToo},
    };
    ShellThread& shell = Shell();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<StandInProgman> desktop;
        shell.Run([&] { desktop = std::make_unique<StandInProgman>(c.layout, c.area); });
        RunningPinova pinova;
        WriteWholeFile(pinova.File("zkPostIt.ini"), "[1]\nLeft=100\nTop=100\nWidth=300\nHeight=200\n");
        WriteWholeFile(pinova.File("001.txt"), kFirstMemo);
        ASSERT_TRUE(pinova.Start());
        HWND tray = pinova.WaitForTrayWindow();
        ASSERT_NE(nullptr, tray);
        const std::vector<HWND> memos = Memos(pinova, 1);
        ASSERT_EQ(1u, memos.size());
        const std::string place = RectText({100, 100, 400, 300});
        EXPECT_TRUE(PumpUntil([&] { return GetAncestor(memos[0], GA_PARENT) == desktop->icons; }));
        // Wine keeps no one view of a window that was inside another process's window
        // which starts elsewhere than 0,0: the program and the test then see it in
        // different places. There the program's own saves tell where it put it.
        const bool sameView = IsRectEmpty(&c.area) != FALSE;
        if (sameView) {
            EXPECT_EQ(place, RectText(WindowScreenRect(memos[0])));
        }

        // Up floating and back with the show/hide hot key.
        PostMessageA(tray, WM_HOTKEY, HOTKEY_SHOWHIDE, 0);
        EXPECT_TRUE(PumpUntil([&] { return GetAncestor(memos[0], GA_PARENT) == GetAncestor(tray, GA_PARENT); }));
        if (sameView) {
            EXPECT_EQ(place, RectText(WindowScreenRect(memos[0]))) << "floating";
        }
        PostMessageA(tray, WM_HOTKEY, HOTKEY_SHOWHIDE, 0);
        EXPECT_TRUE(PumpUntil([&] { return GetAncestor(memos[0], GA_PARENT) == desktop->icons; }));

        // Closed in the icon view: saved where it was, on the screen.
        PostMessageA(tray, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, pinova.WaitForExit(10000));
        const TIniFile index(pinova.File("zkPostIt.ini"));
        EXPECT_EQ(100, index.ReadInteger("1", "Left", 0));
        EXPECT_EQ(100, index.ReadInteger("1", "Top", 0));
        shell.Run([&] { desktop.reset(); });
    }
}

TEST(Program, TheVeryFirstStartShowsAWelcomeMemoAtWorkAndABalloonAtTheIcon)
{
    ShellThread& shell = Shell();
    RunningPinova pinova;
    DeleteFileA(pinova.File("zkPostIt.ini").c_str());  // a folder the program never ran in
    ASSERT_TRUE(pinova.Start());
    HWND tray = pinova.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    std::vector<HWND> memos = Memos(pinova, 1);
    ASSERT_EQ(1u, memos.size());
    // Asked from the shell desktop: seen from another one, no window is visible.
    bool visible = false;
    EXPECT_TRUE(PumpUntil([&] {
        shell.Run([&] { visible = IsWindowVisible(memos[0]) && GetForegroundWindow() == memos[0]; });
        return visible;
    })) << "shown, in front";
    EXPECT_TRUE(PumpUntil([&] { return (GetWindowLongPtrA(memos[0], GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0; }))
        << "at work, with a taskbar button";
    std::string balloon;
    EXPECT_TRUE(PumpUntil([&] { return !(balloon = ShownTip(shell)).empty(); }, 10000));
    EXPECT_EQ(WideToAnsi(kWelcomeBalloon), balloon);
    EXPECT_NE(std::string::npos, ReadWholeFile(pinova.File("001.txt")).find("Ctrl+Alt+N"));
    PostMessageA(tray, WM_CLOSE, 0, 0);
    ASSERT_EQ(0u, pinova.WaitForExit(10000));
    PumpUntil([&] { return ShownTip(shell).empty(); }, 10000);

    // The next start is like every other: the memo rests on the desktop, nothing is said.
    RunningPinova again(pinova, 0);
    ASSERT_TRUE(again.Start());
    tray = again.WaitForTrayWindow();
    ASSERT_NE(nullptr, tray);
    memos = Memos(again, 1);
    ASSERT_EQ(1u, memos.size());
    PumpMessages(1500);
    EXPECT_EQ(0, GetWindowLongPtrA(memos[0], GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ("", ShownTip(shell));
    PostMessageA(tray, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, again.WaitForExit(10000));
}
