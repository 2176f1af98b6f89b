#include "ViewBar.h"

ViewBar::ViewBar() : backButton(false), actionsButton(false) {}

int ViewBar::createBar(HWND parent, int x, int y, int width, int barHeight)
{
    if (!CreateWindowObject(className, parent, nullptr, "", x, y, width, barHeight))
        return 0;
    backButton.create(hwnd, backButtonId, "<<", 4, 6, 21, 20);
    actionsButton.create(hwnd, actionsButtonId, "A", 29, 6, 20, 20);
    titleField.style = WS_CHILD | WS_VISIBLE;
    titleField.create(hwnd, 0, "", CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    MoveWindow(titleField.hwnd, 52, 4, width - 58, 21, TRUE);
    SendMessageA(titleField.hwnd, EM_SETREADONLY, TRUE, 0);
    return 1;
}

LRESULT ViewBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        MoveWindow(titleField.hwnd, 52, 4, LOWORD(lParam) - 58, 21, TRUE);
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
