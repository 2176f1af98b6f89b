#include "framework/DialogBase.h"

#include "framework/ControlBase.h"
#include "framework/Framework.h"

INT_PTR CALLBACK StaticDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* object = reinterpret_cast<DialogBase*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (!object)
            return 0;
        object->hwnd = dialog;
        return object->DialogProc(message, wParam, lParam);
    }
    auto* object = reinterpret_cast<DialogBase*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!object)
        return 0;
    return object->DialogProc(message, wParam, lParam);
}

INT_PTR DialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(wParam, lParam); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_QUERYENDSESSION: return OnQueryEndSession();
    case WM_SYSCOLORCHANGE: OnSysColorChange(); return 0;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (ControlBase* control = ControlBase::fromWindow(item->hwndItem))
            control->drawItem(item);
        else
            OnDrawItem(wParam, lParam);
        return 1;
    }
    case WM_VKEYTOITEM: return OnVKeyToItem(wParam);
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (ControlBase* control = ControlBase::fromWindow(header->hwndFrom))
            control->notify(header);
        else
            OnNotify(wParam, lParam);
        return 1;
    }
    case WM_CONTEXTMENU: OnContextMenu(wParam, lParam); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam, lParam); return 0;
    case WM_KEYUP: OnKeyUp(wParam, lParam); return 0;
    case WM_CHAR: OnChar(wParam, lParam); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(wParam, lParam); return 0;
    case WM_SYSKEYUP: OnSysKeyUp(wParam, lParam); return 0;
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: {
        ControlBase* control = lParam ? ControlBase::fromWindow(reinterpret_cast<HWND>(lParam)) : nullptr;
        if (!control || !control->commandNotify(HIWORD(wParam), LOWORD(wParam)))
            OnCommand(wParam, lParam);
        return 0;
    }
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_HSCROLL: OnHScroll(wParam, lParam); return 0;
    case WM_INITMENU: OnInitMenu(); return 0;
    case WM_MENUSELECT: OnMenuSelect(wParam, lParam); return 0;
    case WM_CTLCOLORLISTBOX: return OnCtlColorListBox(wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, lParam); return 0;
    case WM_RBUTTONUP: OnRButtonUp(wParam, lParam); return 0;
    case WM_DROPFILES: OnDropFiles(wParam); return 0;
    default: return OnMessage(message, wParam, lParam);
    }
}

int DialogBase::Create(HWND, int, const char*, int, int, int, int) { return framework::reportMissingCreate(); }
void DialogBase::Hook() {}
INT_PTR DialogBase::OnMessage(UINT, WPARAM, LPARAM) { return 0; }
void DialogBase::OnChar(WPARAM, LPARAM) {}
void DialogBase::OnCommand(WPARAM, LPARAM) {}
void DialogBase::OnContextMenu(WPARAM, LPARAM) {}
int DialogBase::OnCreate() { return 0; }
LRESULT DialogBase::OnCtlColorListBox(WPARAM, LPARAM) { return 0; }
void DialogBase::OnDestroy() {}
void DialogBase::OnDrawItem(WPARAM, LPARAM) {}
void DialogBase::OnDropFiles(WPARAM) {}
void DialogBase::OnHScroll(WPARAM, LPARAM) {}
int DialogBase::OnInitDialog() { return 1; }
void DialogBase::OnInitMenu() {}
void DialogBase::OnKeyDown(WPARAM, LPARAM) {}
void DialogBase::OnKeyUp(WPARAM, LPARAM) {}
void DialogBase::OnKillFocus() {}
void DialogBase::OnLButtonDown(WPARAM, LPARAM) {}
void DialogBase::OnLButtonUp(WPARAM, LPARAM) {}
int DialogBase::OnMenuSelect(WPARAM, LPARAM) { return 0; }
void DialogBase::OnMouseMove(WPARAM, LPARAM) {}
void DialogBase::OnNotify(WPARAM, LPARAM) {}
void DialogBase::OnPaint() {}
int DialogBase::OnQueryEndSession() { return 1; }
void DialogBase::OnRButtonDown(WPARAM, LPARAM) {}
void DialogBase::OnRButtonUp(WPARAM, LPARAM) {}
void DialogBase::OnSetFocus() {}
void DialogBase::OnSize(WPARAM, LPARAM) {}
void DialogBase::OnSysColorChange() {}
void DialogBase::OnSysKeyDown(WPARAM, LPARAM) {}
void DialogBase::OnSysKeyUp(WPARAM, LPARAM) {}
void DialogBase::OnTimer(WPARAM) {}
int DialogBase::OnVKeyToItem(WPARAM) { return -1; }
