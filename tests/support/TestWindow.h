// A plain top-level window (private class, DefWindowProcA) to own or parent
// the windows under test, shown as a real owner is. Destroyed with the object.
//
// The virtual displays of the tests run a window manager: without one, Wine
// waits about two seconds each time a visible top-level window is hidden or
// destroyed.
#pragma once
#include <windows.h>

class TestWindow {
public:
    TestWindow(const char* title = "Test", int x = 100, int y = 100, int width = 640, int height = 480,
               bool visible = true, DWORD style = WS_POPUP | WS_BORDER);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    operator HWND() const { return hwnd; }
    HWND hwnd = nullptr;
};
