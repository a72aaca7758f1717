#include "framework/Timer.h"

#include "framework/Application.h"
#include "framework/SysUtils.h"

#include <map>

namespace {

// All timers tick on one hidden message-only window, so that a form may make its
// own window again without losing its timers.
std::map<UINT_PTR, TTimer*>& Timers()
{
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

UINT_PTR NextTimerId()
{
    static UINT_PTR next = 1;
    return next++;
}

} // namespace

LRESULT CALLBACK TTimer::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    if (msg != WM_TIMER)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    const auto it = Timers().find(wParam);
    if (it != Timers().end() && it->second->OnTimer) {
        try {
            it->second->OnTimer();
        } catch (...) {
            Application.HandleCurrentException();
        }
    }
    return 0;
}

HWND TTimer::Window()
{
    static HWND wnd = nullptr;
    if (!wnd) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TTimerWindow";
        RegisterClassExA(&wc);
        wnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                              nullptr);
    }
    return wnd;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) { Update(); }

TTimer::~TTimer()
{
    enabled_ = false;
    Update();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled != enabled_) {
        enabled_ = enabled;
        Update();
    }
}

void TTimer::SetInterval(unsigned milliseconds)
{
    if (milliseconds != interval_) {
        interval_ = milliseconds;
        Update();
    }
}

void TTimer::Update()
{
    HWND wnd = Window();
    if (id_) {
        KillTimer(wnd, id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (enabled_ && interval_ > 0) {
        id_ = NextTimerId();
        if (!SetTimer(wnd, id_, interval_, nullptr))
            throw EOutOfResources("Not enough timers available");
        Timers()[id_] = this;
    }
}
