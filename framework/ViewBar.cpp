#include "framework/ViewBar.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "framework/AccessibleObject.h"
#include "framework/Framework.h"

// The buttons are sub-classed for their accessible names.
ViewBar::ViewBar() : backButton(true), actionsButton(true)
{
    backButton.accessibleName = "Back";
    actionsButton.accessibleName = "Action items";
}

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
    addTooltips();
    return 1;
}

void ViewBar::addTooltips()
{
    // A popup owned by the bar, destroyed with it; it sub-classes the buttons
    // to see the pointer (TTF_SUBCLASS).
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, framework::instance(),
                                nullptr);
    if (!tips)
        return;
    const struct {
        HWND button;
        const char* text;
    } tools[] = {{backButton.hwnd, "Back (Backspace)"}, {actionsButton.hwnd, "Action items"}};
    for (const auto& tool : tools) {
        TTTOOLINFOA info = {};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd;
        info.uId = reinterpret_cast<UINT_PTR>(tool.button);
        info.lpszText = const_cast<char*>(tool.text);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
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
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
            // A person's name can take 500 bytes and more: the length is asked first.
            std::string title(GetWindowTextLengthA(titleField.hwnd) + 1, '\0');
            GetWindowTextA(titleField.hwnd, &title[0], int(title.size()));
            return AccessibleObject::answer(
                new (std::nothrow) NamedAccessible(hwnd, title.c_str(), ROLE_SYSTEM_TOOLBAR), wParam);
        }
        break;
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
