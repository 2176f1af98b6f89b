// A plain top-level window (private class, DefWindowProcA) to own or parent
// the windows under test. Destroyed with the object.
#pragma once
#include <windows.h>

class TestWindow {
public:
    TestWindow(const char* title = "Test", int x = 100, int y = 100, int width = 640, int height = 480,
               bool visible = true);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    operator HWND() const { return hwnd; }
    HWND hwnd = nullptr;
};
