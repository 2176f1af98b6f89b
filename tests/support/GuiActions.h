// Real input for GUI tests, delivered as posted messages through the message
// loop that is running (so TranslateMessage and the control procedures see it).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace tvtest {

// WM_KEYDOWN and WM_KEYUP of virtual key vk to target (usually GetFocus()).
void pressKey(HWND target, UINT vk);
// WM_SYSKEYDOWN/WM_SYSKEYUP of vk with Alt held (Alt+F4 and the like).
void pressAltKey(HWND target, UINT vk);
// WM_CHAR for each character of text.
void typeText(HWND target, const char* text);
// A left click (down and up) at the centre of button's client area.
void clickButton(HWND button);
// A left click at client point (x, y) of window.
void clickAt(HWND window, int x, int y);
// A double click there: down, up, double-click, up.
void doubleClickAt(HWND window, int x, int y);

// The first child of parent (at any depth) with this window text, or null.
HWND findChild(HWND parent, const char* text);
// The first child of parent (at any depth) of window class className, or null.
HWND findChildByClass(HWND parent, const char* className);

// The CF_TEXT on the clipboard, "<no text>" when there is none.
std::string clipboardText();

// Dispatches the thread's messages for about ms milliseconds.
void pumpMessages(DWORD ms);
// Dispatches messages until done() is true or ms pass; returns done().
bool pumpUntil(const std::function<bool()>& done, DWORD ms = 5000);

} // namespace tvtest
