#include "framework/CentreWindow.h"

void CentreWindow(HWND window)
{
    RECT area;
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || !GetWindowRect(owner, &area))
        area = {0, 0, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};

    RECT own;
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    int top = area.top + (area.bottom - area.top) / 2 - height / 2;
    if (top > area.bottom - height)
        top = area.bottom - height;
    if (top < 0)
        top = 0;
    int left = area.left + (area.right - area.left) / 2 - width / 2;
    if (left > area.right - width)
        left = area.right - width;
    if (left < 0)
        left = 0;

    MoveWindow(window, left, top, width, height, FALSE);
}
