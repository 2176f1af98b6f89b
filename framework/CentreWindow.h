#pragma once
#include <windows.h>

// Centres window over its owner's window rectangle (over the full-screen work
// area when it has no owner), keeping it inside the area's right and bottom
// edges and never at a negative position. The window keeps its size.
void CentreWindow(HWND window);
