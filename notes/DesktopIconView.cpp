#include "notes/DesktopIconView.h"

namespace {

// The icon list of the shell view inside this window, if it holds one.
HWND IconViewIn(HWND host)
{
    HWND view = FindWindowExA(host, nullptr, "SHELLDLL_DefView", nullptr);
    return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

} // namespace

HWND FindDesktopIconView()
{
    if (HWND progman = FindWindowA("Progman", nullptr))
        if (HWND icons = IconViewIn(progman))
            return icons;
    for (HWND worker = FindWindowExA(nullptr, nullptr, "WorkerW", nullptr); worker;
         worker = FindWindowExA(nullptr, worker, "WorkerW", nullptr))
        if (HWND icons = IconViewIn(worker))
            return icons;
    return nullptr;
}

RECT ScreenRectOf(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

RECT ScreenToParentRect(HWND wnd, const RECT& screen)
{
    RECT r = screen;
    // A window moved into another one keeps its popup style, so the style cannot
    // tell whose coordinates it takes: its place in the window tree does.
    HWND parent = GetAncestor(wnd, GA_PARENT);
    if (parent && parent != GetDesktopWindow())
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
