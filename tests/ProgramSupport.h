#pragma once
// Test helpers for the program as the user sees it: Wine's virtual desktop with its
// taskbar and notification area, and pinova.exe started on it from a folder of its own.

#include "framework/Handles.h"
#include "tests/TestSupport.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The desktop with Wine's shell (taskbar, notification area). Wine makes it the
// first time a window is created on it.
extern const char kShellDesktop[];

// Moves the calling thread onto the shell desktop; only before it has any window.
bool JoinShellDesktop();
// Waits until the shell's taskbar is there; false after the time-out.
bool WaitForTaskbar(DWORD timeoutMs = 20000);
// True when the shell holds the icon of that window and number. Asking the shell to
// change nothing about an icon succeeds only for an icon it has.
bool TrayHasIcon(HWND wnd, UINT id);

// A thread that lives on the shell desktop, for what the test process has to do there
// (a stand-in "Progman", asking the shell about icons).
class ShellThread {
public:
    ShellThread();
    ~ShellThread();
    ShellThread(const ShellThread&) = delete;
    ShellThread& operator=(const ShellThread&) = delete;
    // Runs the work on the thread and waits for it.
    void Run(std::function<void()> work);

private:
    static DWORD WINAPI Main(void* self);
    UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
    UniqueKernelHandle ready_;
};

// The one shell thread of the test program, made on first use. It keeps a window on
// the shell desktop for the whole run: Wine closes a desktop (and its shell) once
// nothing uses it any more, and would not bring the shell back for the next test.
ShellThread& Shell();

// pinova.exe copied into a fresh folder, started on the shell desktop.
class RunningPinova {
public:
    // A folder of its own, with an empty memo index (so not the very first start);
    // the files a test puts there before Start are the program's.
    RunningPinova();
    // A second program in the folder of the first.
    explicit RunningPinova(const RunningPinova& sameFolder, int);
    // The program already in that folder (with its trailing backslash).
    explicit RunningPinova(std::string folder);
    ~RunningPinova();
    RunningPinova(const RunningPinova&) = delete;
    RunningPinova& operator=(const RunningPinova&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string File(const std::string& name) const { return folder_ + name; }

    // A variable the program gets in its environment, in place of the test's own.
    void SetEnvironment(const std::string& name, const std::string& value);
    bool Start();
    bool Running() const;
    // For a failure's message: not started (and why), running, or ended (with its
    // code, how long it ran, and whether another Pinova holds the one-instance mutex).
    std::string State() const;
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // Waits (handling this thread's messages) for the end; the exit code, or STILL_ACTIVE.
    DWORD WaitForExit(DWORD timeoutMs) const;
    // The tray controller window, once the program has published it.
    HWND WaitForTrayWindow(DWORD timeoutMs = 20000) const;
    // The program's top-level and desktop-child windows of a class, in no order.
    std::vector<HWND> Windows(const std::string& className) const;
    // Waits until `count` windows of the class are there.
    std::vector<HWND> WaitForWindows(const std::string& className, size_t count, DWORD timeoutMs = 10000) const;

private:
    std::unique_ptr<TempFolder> ownFolder_;
    std::string folder_;
    std::vector<std::pair<std::string, std::string>> environment_;
    PROCESS_INFORMATION pi_{};
    UniqueKernelHandle process_;
    std::string startProblem_;
};

// "Close" from the program's tray menu, chosen with the keyboard as a user can;
// false when the menu did not come up.
bool ChooseCloseFromTrayMenu(const RunningPinova& pinova, HWND tray);

// A web server on this machine that takes every connection and never answers,
// like a slow site: a page opened from it is still loading.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    // An address on it; a closed port of this machine when no server could be made.
    std::string Address(const std::string& path) const;

private:
    bool started_ = false;
    UINT_PTR socket_;
    int port_ = 0;
};

// A memo window's editor, the text it shows (lines joined by "\r"), and keys
// typed into it as the user types them.
HWND MemoEditor(HWND memo);
std::string MemoText(HWND memo);
void TypeInto(HWND memo, const std::string& text);
// The texts of the program's memo windows, each on one line (breaks become
// blanks), sorted.
std::vector<std::string> ShownMemoTexts(const RunningPinova& pinova);

// Every window below the given one (or of the shell desktop when none), depth first.
std::vector<HWND> WindowsBelow(HWND parent);
std::string ClassOf(HWND wnd);
// A child window of the class, waited for while the window is still being built.
HWND WaitForChild(HWND parent, const std::string& className);
