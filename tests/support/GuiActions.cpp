#include "tests/support/GuiActions.h"

#include <cstring>

namespace tvtest {

namespace {
LPARAM keyData(UINT vk, bool up, bool alt)
{
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16);
    if (alt)
        data |= static_cast<LPARAM>(KF_ALTDOWN) << 16;
    if (up)
        data |= static_cast<LPARAM>(KF_REPEAT | KF_UP) << 16;
    return data;
}

struct ChildSearch {
    const char* text;
    const char* className;
    HWND found;
};

BOOL CALLBACK matchChild(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    char buffer[256] = "";
    if (search->text) {
        GetWindowTextA(window, buffer, sizeof buffer);
        if (std::strcmp(buffer, search->text) == 0)
            search->found = window;
    } else {
        GetClassNameA(window, buffer, sizeof buffer);
        if (lstrcmpiA(buffer, search->className) == 0)
            search->found = window;
    }
    return search->found ? FALSE : TRUE;
}
} // namespace

void pressKey(HWND target, UINT vk)
{
    PostMessageA(target, WM_KEYDOWN, vk, keyData(vk, false, false));
    PostMessageA(target, WM_KEYUP, vk, keyData(vk, true, false));
}

void pressAltKey(HWND target, UINT vk)
{
    PostMessageA(target, WM_SYSKEYDOWN, vk, keyData(vk, false, true));
    PostMessageA(target, WM_SYSKEYUP, vk, keyData(vk, true, true));
}

void typeText(HWND target, const char* text)
{
    for (const char* p = text; *p; ++p)
        PostMessageA(target, WM_CHAR, static_cast<unsigned char>(*p), 1);
}

void clickButton(HWND button)
{
    RECT client;
    GetClientRect(button, &client);
    clickAt(button, client.right / 2, client.bottom / 2);
}

void clickAt(HWND window, int x, int y)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void doubleClickAt(HWND window, int x, int y)
{
    clickAt(window, x, y);
    PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

HWND findChild(HWND parent, const char* text)
{
    ChildSearch search = {text, nullptr, nullptr};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findChildByClass(HWND parent, const char* className)
{
    ChildSearch search = {nullptr, className, nullptr};
    EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void pumpMessages(DWORD ms)
{
    pumpUntil([] { return false; }, ms);
}

bool pumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start >= ms)
            return done();
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the caller
                return done();
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

std::string clipboardText()
{
    if (!OpenClipboard(nullptr))
        return "<clipboard not open>";
    std::string text = "<no text>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data)))
            text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

} // namespace tvtest
