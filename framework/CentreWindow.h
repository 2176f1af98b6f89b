#pragma once
#include <windows.h>

// Centres window over its owner's window rectangle (over the work area of
// its monitor when it has no owner), keeping it inside the area's right and
// bottom edges and never above or left of the monitor's work area. The
// window keeps its size.
void CentreWindow(HWND window);
