#include "notes/DesktopWatch.h"

#include "framework/Application.h"
#include "framework/MessageWindow.h"

namespace {

constexpr UINT kProcessEnded = WM_APP + 1;
// The process's handle is signalled a moment before its windows are gone: the
// notes are looked at a few times over the next second, then the watch is quiet.
constexpr UINT_PTR kLookAgainTimer = 1;
constexpr UINT kLookAgainMs = 100;
constexpr int kLooks = 12;
const char kWindowClass[] = "PinovaDesktopWatch";

} // namespace

TDesktopWatch::TDesktopWatch()
{
    window_ = CreateMessageWindow(kWindowClass, WndProc, this);
}

TDesktopWatch::~TDesktopWatch()
{
    StopWaiting();
    if (window_)
        DestroyWindow(window_);
}

void TDesktopWatch::StopWaiting()
{
    // Waits for a callback under way, so that none reaches a watch that is gone.
    if (wait_)
        UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    wait_ = nullptr;
    process_.reset();
    processId_ = 0;
}

void TDesktopWatch::Watch(HWND view)
{
    DWORD processId = 0;
    if (!view || !GetWindowThreadProcessId(view, &processId) || processId == GetCurrentProcessId() ||
        processId == processId_)
        return;
    StopWaiting();
    process_.reset(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process_ || !RegisterWaitForSingleObject(&wait_, process_.get(), ProcessEnded, this, INFINITE,
                                                  WT_EXECUTEONLYONCE)) {
        wait_ = nullptr;
        process_.reset();
        return;
    }
    processId_ = processId;
}

void CALLBACK TDesktopWatch::ProcessEnded(PVOID context, BOOLEAN) noexcept
{
    // A thread of the pool: only a message crosses to the user-interface thread.
    PostMessageA(static_cast<TDesktopWatch*>(context)->window_, kProcessEnded, 0, 0);
}

LRESULT CALLBACK TDesktopWatch::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* watch = reinterpret_cast<TDesktopWatch*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!watch || (msg != kProcessEnded && msg != WM_TIMER))
        return DefWindowProcA(wnd, msg, wParam, lParam);
    if (msg == kProcessEnded) {
        watch->processId_ = 0;  // a shell that comes back is watched anew
        watch->looksLeft_ = kLooks;
        SetTimer(wnd, kLookAgainTimer, kLookAgainMs, nullptr);
    }
    if (--watch->looksLeft_ <= 0)
        KillTimer(wnd, kLookAgainTimer);
    try {
        if (watch->OnGone)
            watch->OnGone();
    } catch (...) {
        Application.HandleCurrentException();
    }
    return 0;
}
