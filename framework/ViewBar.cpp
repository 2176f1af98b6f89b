#include "framework/ViewBar.h"

ViewBar::ViewBar() : backButton(false), actionsButton(false) {}

int ViewBar::createBar(HWND parent, int x, int y, int width, int barHeight)
{
    if (!CreateWindowObject(className, parent, nullptr, "", x, y, width, barHeight))
        return 0;
    dpi = Dpi::of(hwnd);
    backButton.create(hwnd, backButtonId, "<<", dpi(4), dpi(6), dpi(21), dpi(20));
    actionsButton.create(hwnd, actionsButtonId, "A", dpi(29), dpi(6), dpi(20), dpi(20));
    titleField.style = WS_CHILD | WS_VISIBLE;
    titleField.create(hwnd, 0, "", CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    placeTitle(width);
    SendMessageA(titleField.hwnd, EM_SETREADONLY, TRUE, 0);
    return 1;
}

void ViewBar::changeDpi(const WindowFont& font)
{
    ButtonBar::changeDpi(font);
    font.applyTo(backButton.hwnd);
    font.applyTo(actionsButton.hwnd);
    font.applyTo(titleField.hwnd);
    MoveWindow(backButton.hwnd, dpi(4), dpi(6), dpi(21), dpi(20), TRUE);
    MoveWindow(actionsButton.hwnd, dpi(29), dpi(6), dpi(20), dpi(20), TRUE);
    RECT client = {};
    GetClientRect(hwnd, &client);
    placeTitle(client.right);
}

void ViewBar::placeTitle(int barWidth)
{
    MoveWindow(titleField.hwnd, dpi(52), dpi(4), barWidth - dpi(58), dpi(21), TRUE);
}

LRESULT ViewBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        placeTitle(LOWORD(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == backButtonId) {
            if (host)
                host->goBack();
            return 0;
        }
        if (LOWORD(wParam) == actionsButtonId) {
            if (host)
                host->showActionItems();
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
