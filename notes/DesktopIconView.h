#pragma once
// Where the desktop's icons are: the list view inside the shell's "SHELLDLL_DefView".
// Windows keeps that view in more than one place: in "Progman" (the classic desktop,
// and on newer versions beside a "WorkerW" that draws the wallpaper), or in a
// top-level "WorkerW" once a wallpaper slideshow has started. Windows are found by
// their class, never by their place among their siblings, which changes between versions.

#include <windows.h>

// The icon view, or none (no desktop shell, or one still starting).
HWND FindDesktopIconView();

// A window's place on the screen, whatever its parent.
RECT ScreenRectOf(HWND wnd);
// That place in the coordinates its parent takes for moving it: its parent's
// client area, the screen for a top-level window.
RECT ScreenToParentRect(HWND wnd, const RECT& screen);
