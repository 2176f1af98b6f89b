#include "framework/WindowBase.h"

#include "framework/ControlBase.h"
#include "framework/Framework.h"

LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* object = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        if (object)
            object->hwnd = window;
    }
    auto* object = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = object->WndProc(message, wParam, lParam);
    // A window destroyed along with its parent must not leave a dead handle
    // behind, or the object could never create a window again.
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (object->hwnd == window)
            object->hwnd = nullptr;
    }
    return result;
}

int WindowBase::CreateWindowObject(const char* className, HWND parent, HMENU menuOrId, const char* text,
                                   int x, int y, int width, int height)
{
    if (hwnd)
        return 1;
    HWND created = CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, menuOrId,
                                   framework::instance(), this);
    if (!created)
        hwnd = nullptr;  // a failed WM_CREATE destroyed the window it had attached
    return hwnd ? 1 : 0;
}

int WindowBase::DestroyWindowObject()
{
    if (!DestroyWindow(hwnd))
        return 0;
    hwnd = nullptr;
    return 1;
}

LRESULT WindowBase::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        OnShutdown();
        OnFinalDestroy();
        return 0;
    case WM_SIZE: OnSize(wParam, lParam); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_SYSCOLORCHANGE: OnSysColorChange(); return 0;
    case WM_ACTIVATEAPP: OnActivateApp(wParam); return 0;
    case WM_ENDSESSION:
        OnEndSession(wParam, lParam);
        if (wParam)
            OnShutdown();
        return 0;
    case WM_DRAWITEM: OnDrawItem(wParam, lParam); return 1;
    case WM_VKEYTOITEM: return OnVKeyToItem(wParam);
    case WM_NOTIFY:
        if (ControlBase* control = ControlBase::fromWindow(reinterpret_cast<NMHDR*>(lParam)->hwndFrom))
            return control->notify(reinterpret_cast<NMHDR*>(lParam));
        OnNotify(wParam, lParam);
        return 0;
    case WM_CONTEXTMENU: OnContextMenu(wParam, lParam); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam, lParam); return 0;
    case WM_KEYUP: OnKeyUp(wParam, lParam); return 0;
    case WM_CHAR: OnChar(wParam, lParam); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(wParam, lParam); return 0;
    case WM_SYSKEYUP: OnSysKeyUp(wParam, lParam); return 0;
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_INITMENU: OnInitMenu(); return 0;
    case WM_MENUSELECT: OnMenuSelect(wParam, lParam); return 0;
    case WM_CTLCOLORLISTBOX: return OnCtlColorListBox(wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, lParam); return 0;
    case WM_RBUTTONUP: OnRButtonUp(wParam, lParam); return 0;
    case WM_DROPFILES: OnDropFiles(wParam); return 0;
    default:
        if (OnMessage(message, wParam, lParam))
            return 0;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int WindowBase::Create(HWND, int, const char*, int, int, int, int) { return framework::reportMissingCreate(); }
void WindowBase::OnFinalDestroy() {}
int WindowBase::OnMessage(UINT, WPARAM, LPARAM) { return 0; }
int WindowBase::OnShutdown() { return 0; }
void WindowBase::OnChar(WPARAM, LPARAM) {}
void WindowBase::OnClose() { DestroyWindowObject(); }
void WindowBase::OnCommand(WPARAM, LPARAM) {}
void WindowBase::OnContextMenu(WPARAM, LPARAM) {}
int WindowBase::OnCreate() { return 0; }
LRESULT WindowBase::OnCtlColorListBox(WPARAM, LPARAM) { return 0; }
void WindowBase::OnDestroy() {}
void WindowBase::OnDrawItem(WPARAM, LPARAM) {}
void WindowBase::OnDropFiles(WPARAM) {}
void WindowBase::OnEndSession(WPARAM, LPARAM) {}
void WindowBase::OnActivateApp(WPARAM) {}
void WindowBase::OnInitMenu() {}
void WindowBase::OnKeyDown(WPARAM, LPARAM) {}
void WindowBase::OnKeyUp(WPARAM, LPARAM) {}
void WindowBase::OnKillFocus() {}
void WindowBase::OnLButtonDown(WPARAM, LPARAM) {}
void WindowBase::OnLButtonUp(WPARAM, LPARAM) {}
int WindowBase::OnMenuSelect(WPARAM, LPARAM) { return 0; }
void WindowBase::OnMouseMove(WPARAM, LPARAM) {}
void WindowBase::OnNotify(WPARAM, LPARAM) {}

void WindowBase::OnPaint()
{
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
}

int WindowBase::OnQueryEndSession() { return 1; }
void WindowBase::OnRButtonDown(WPARAM, LPARAM) {}
void WindowBase::OnRButtonUp(WPARAM, LPARAM) {}
void WindowBase::OnSetFocus() {}
void WindowBase::OnSize(WPARAM, LPARAM) {}
void WindowBase::OnSysColorChange() {}
void WindowBase::OnSysKeyDown(WPARAM, LPARAM) {}
void WindowBase::OnSysKeyUp(WPARAM, LPARAM) {}
void WindowBase::OnTimer(WPARAM) {}
int WindowBase::OnVKeyToItem(WPARAM) { return -1; }
