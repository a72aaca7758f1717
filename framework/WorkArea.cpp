#include "framework/WorkArea.h"

#include "framework/Controls.h"

#include <algorithm>

RECT MouseWorkArea()
{
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

RECT CentredOn(const RECT& workArea, SIZE size)
{
    const LONG left = std::max(workArea.left, workArea.left + (workArea.right - workArea.left - size.cx) / 2);
    const LONG top = std::max(workArea.top, workArea.top + (workArea.bottom - workArea.top - size.cy) / 2);
    return {left, top, left + size.cx, top + size.cy};
}

void CentreOnMouseMonitor(TWinControl& window)
{
    const RECT r = CentredOn(MouseWorkArea(), {window.Width(), window.Height()});
    window.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
