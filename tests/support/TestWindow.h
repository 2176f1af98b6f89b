// A plain top-level window (private class, DefWindowProcA) to own or parent
// the windows under test. Destroyed with the object.
//
// Hidden by default: under Wine on the bare virtual display, hiding or
// destroying a visible top-level window waits about two seconds for a window
// manager that isn't there. A hidden owner serves modal boxes just as well.
#pragma once
#include <windows.h>

class TestWindow {
public:
    TestWindow(const char* title = "Test", int x = 100, int y = 100, int width = 640, int height = 480,
               bool visible = false, DWORD style = WS_POPUP | WS_BORDER);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    operator HWND() const { return hwnd; }
    HWND hwnd = nullptr;
};
