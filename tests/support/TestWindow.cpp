#include "tests/support/TestWindow.h"

namespace {
const char kClassName[] = "TvTestWindow";

void registerOnce()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    registered = RegisterClassA(&wc) != 0;
}
} // namespace

TestWindow::TestWindow(const char* title, int x, int y, int width, int height, bool visible, DWORD style)
{
    registerOnce();
    hwnd = CreateWindowExA(0, kClassName, title, style | (visible ? WS_VISIBLE : 0), x, y, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TestWindow::~TestWindow()
{
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
}
