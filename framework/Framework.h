// Process-wide state of the window framework: the instance handle every
// window is created with, the automatic control ids, procedure swapping and
// the report shown when a class lacks its creation routine.
#pragma once
#include <windows.h>

namespace framework {

// The module whose resources and window classes the framework uses; the
// executable itself unless setInstance was called.
HINSTANCE instance();
void setInstance(HINSTANCE module);

// Next automatic control id: 900 for the first call of the process, then 901, ...
int nextControlId();

// Shows "Missing Create" / "App Error" (no owner, warning icon). Returns 0.
int reportMissingCreate();

} // namespace framework

// Installs procedure as the window procedure of window; returns the previous
// one, or null when window is no window or procedure is null.
WNDPROC SetWindowProc(HWND window, WNDPROC procedure);
