#include "framework/ButtonBar.h"

#include "framework/ControlBase.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"

namespace {
bool g_registered = false;
}

ButtonBar::ButtonBar()
{
    style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    ButtonBar::RegisterWindowClass();
}

int ButtonBar::RegisterWindowClass()
{
    if (g_registered)
        return 0;
    WNDCLASSA wc = {};
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = StaticWndProc;
    wc.cbWndExtra = 4;
    wc.hInstance = framework::instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc))
        return 0;
    g_registered = true;
    return 1;
}

int ButtonBar::createBar(HWND parent, int x, int y, int width, int barHeight)
{
    if (!CreateWindowObject(className, parent, nullptr, "", x, y, width, barHeight))
        return 0;
    height = barHeight;
    dpi = Dpi::of(hwnd);
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
    return 1;
}

void ButtonBar::changeDpi(const WindowFont& font)
{
    dpi = font.dpi;
    InvalidateRect(hwnd, nullptr, TRUE);
}

// Validates the window in every case (a WM_PAINT left unvalidated would come
// back forever); draws the border only when the bar is visible.
void ButtonBar::paintBorder()
{
    PaintDc dc(hwnd);
    if (!visible)
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    // A dark line along the bottom and a light one along the top, a pixel
    // thick at 96 DPI.
    const int thickness = dpi(1);
    RECT bottom = {client.left, client.bottom - thickness, client.right, client.bottom};
    RECT top = {client.left, client.top, client.right, client.top + thickness};
    FillRect(dc, &bottom, GetSysColorBrush(COLOR_WINDOWFRAME));
    FillRect(dc, &top, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

LRESULT ButtonBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintBorder();
        return 0;
    case WM_COMMAND: {
        ControlBase* control = lParam ? ControlBase::fromWindow(reinterpret_cast<HWND>(lParam)) : nullptr;
        if (control && control->commandNotify(HIWORD(wParam), LOWORD(wParam)))
            return 0;
        if (HIWORD(wParam) == 0)
            SendMessageA(GetParent(hwnd), WM_COMMAND, LOWORD(wParam), reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    case forwardedMessage:
        SendMessageA(GetParent(hwnd), message, wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
