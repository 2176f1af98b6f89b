#include "framework/CentreWindow.h"

void CentreWindow(HWND window)
{
    // The work area of the monitor the owner is on (the nearest one to the
    // window without an owner); left of or above the primary monitor its
    // coordinates are negative.
    HWND owner = GetWindow(window, GW_OWNER);
    RECT work;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST), &info))
        work = info.rcWork;
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);

    RECT area;
    if (!owner || !GetWindowRect(owner, &area))
        area = work;

    RECT own;
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    int top = area.top + (area.bottom - area.top) / 2 - height / 2;
    if (top > area.bottom - height)
        top = area.bottom - height;
    if (top < work.top)
        top = work.top;
    int left = area.left + (area.right - area.left) / 2 - width / 2;
    if (left > area.right - width)
        left = area.right - width;
    if (left < work.left)
        left = work.left;

    MoveWindow(window, left, top, width, height, FALSE);
}
