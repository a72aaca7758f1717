// Runs the real program on Wine's desktop with a taskbar and sets the scene for the
// README's picture of the whole program: memos in the three modes and the tray menu
// open at the icon. `import -window root` takes the picture meanwhile.
//     tray_shots.exe [seconds]
#include "framework/SysUtils.h"
#include "shell/HotKeys.h"
#include "shell/main.h"
#include "tests/ProgramSupport.h"

#include <cstdlib>

namespace {

const char kIndex[] =
    "[1]\nCaption=Shopping\nLeft=40\nTop=60\nWidth=300\nHeight=190\n"
    "[2]\nCaption=Ideas for the weekend\nLeft=380\nTop=90\nWidth=320\nHeight=220\n"
    "[3]\nCaption=Phone numbers\nLeft=760\nTop=60\nWidth=300\nHeight=180\n";

const char* kMemos[] = {
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;\\red0\\green110\\blue0;}"
    "\\f0\\fs20{\\b Saturday market}\\par\\cf1 milk\\cf0 , eggs, {\\i fresh} bread\\par\\cf2 apples (green)\\cf0\\par}",
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20{\\b\\ul Weekend}\\par walk by the river\\par"
    "{\\strike cinema}\\par\\qc visit Grandma\\par}",
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\fs20 Plumber   555-0142\\par Dentist   555-0199\\par}",
};

void Type(HWND editor, const std::string& text)
{
    for (char c : text)
        SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(c), 1);
}

HWND Editor(HWND memo)
{
    for (HWND wnd : WindowsBelow(memo))
        if (ClassOf(wnd) == "RichEdit20W")
            return wnd;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    // No stand-in desktop here: Wine draws no window inside another program's
    // window, so a note resting on the desktop stays a plain grey window.
    ShellThread& shell = Shell();

    RunningPinova pinova;
    WriteWholeFile(pinova.File("zkPostIt.ini"), kIndex);
    for (int i = 0; i < 3; ++i)
        WriteWholeFile(pinova.File(Format("%03d.txt", i + 1)), kMemos[i]);
    if (!pinova.Start())
        return 1;
    HWND tray = pinova.WaitForTrayWindow();
    const std::vector<HWND> memos = pinova.WaitForWindows("TForm", 3);
    if (!tray || memos.size() != 3)
        return 1;

    // Everything floats, then the first goes back to the desktop.
    PostMessageA(tray, WM_HOTKEY, HOTKEY_SHOWHIDE, 0);
    PumpMessages(500);
    for (HWND memo : memos) {
        RECT r;
        GetWindowRect(memo, &r);
        if (r.left == 40)
            PostMessageA(Editor(memo), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    PumpMessages(500);

    // A new memo at work, with a taskbar button.
    PostMessageA(tray, WM_HOTKEY, HOTKEY_NEWMEMO, 0);
    HWND working = nullptr;
    PumpUntil([&] {
        for (HWND memo : pinova.Windows("TForm"))
            if (GetWindowLongPtrA(memo, GWL_EXSTYLE) & WS_EX_APPWINDOW)
                working = memo;
        return working != nullptr;
    });
    Type(Editor(working), "Call the plumber about the kitchen tap before Friday.");
    PumpMessages(800);

    // The tray menu at the icon, at the right end of the taskbar.
    POINT icon{};
    shell.Run([&] {
        RECT bar{};
        GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &bar);
        icon = {bar.right - 10, (bar.top + bar.bottom) / 2};
        SetCursorPos(icon.x, icon.y);
    });
    PumpMessages(500);  // until the program sees the cursor there too
    PostMessageA(tray, WM_TRAYNOTIFY, MAKEWPARAM(icon.x, icon.y), MAKELPARAM(WM_CONTEXTMENU, kTrayIconId));
    PumpMessages(seconds * 1000);

    for (HWND menu : pinova.Windows("#32768"))
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(300);
    PostMessageA(tray, WM_CLOSE, 0, 0);
    pinova.WaitForExit(5000);
    return 0;
}
