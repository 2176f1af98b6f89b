#include "ButtonBar.h"

#include "ControlBase.h"
#include "Framework.h"
#include "GdiGuards.h"

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
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
    return 1;
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
    Pen frame(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWFRAME)));
    Pen light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    SelectGuard usePen(dc, frame);
    MoveToEx(dc, client.left, client.bottom - 1, nullptr);
    LineTo(dc, client.right, client.bottom - 1);
    SelectObject(dc, light);
    MoveToEx(dc, client.left, client.top, nullptr);
    LineTo(dc, client.right, client.top);
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
