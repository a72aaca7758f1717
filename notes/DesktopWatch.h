#pragma once
// Notes resting on the desktop are children of the shell's icon view, which another
// process owns. When that process ends, its windows go, and on some platforms ours
// inside them go without a word to us. This watch notices the end of the process
// and tells the notes on the user-interface thread, so that they can come back.

#include "framework/Handles.h"

#include <windows.h>

#include <functional>

class TDesktopWatch {
public:
    TDesktopWatch();
    ~TDesktopWatch();
    TDesktopWatch(const TDesktopWatch&) = delete;
    TDesktopWatch& operator=(const TDesktopWatch&) = delete;

    // Watches the process that owns the window (none when it is our own); a new
    // process replaces the one watched before.
    void Watch(HWND view);
    // Runs on the user-interface thread once the watched process has ended.
    std::function<void()> OnGone;

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    static void CALLBACK ProcessEnded(PVOID context, BOOLEAN timedOut) noexcept;
    void StopWaiting();

    HWND window_ = nullptr;
    DWORD processId_ = 0;
    UniqueKernelHandle process_;
    HANDLE wait_ = nullptr;
    int looksLeft_ = 0;
};

// The one watch of the program: on its notice every note whose window has vanished
// is made again.
TDesktopWatch& DesktopWatch();
