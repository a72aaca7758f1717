#pragma once
// Where a window opens: on the work area (the monitor less its taskbar and docked
// bars) of the monitor the mouse is on, which is where the user has just clicked
// the tray icon or pressed the hot key. Monitors left of or above the primary one
// have negative coordinates.

#include <windows.h>

class TWinControl;

// The work area of the monitor that holds the mouse, or of the nearest one when the
// mouse is on none.
RECT MouseWorkArea();
// A window of `size` in the middle of `workArea`. One larger than the area keeps its
// top-left corner inside it, so that its caption can still be reached.
RECT CentredOn(const RECT& workArea, SIZE size);
// Moves the window, keeping its size, to the middle of the mouse's work area.
void CentreOnMouseMonitor(TWinControl& window);
