#include "framework/ListBoxControl.h"

#include "framework/Framework.h"

namespace {
WNDPROC g_savedListBoxProc = nullptr;
}

ListBoxControl::ListBoxControl()
{
    style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT |
            LBS_DISABLENOSCROLL;
}

int ListBoxControl::create(HWND parent, int newId, const char* text, int x, int y, int width, int height)
{
    settleId(newId);
    return CreateControl("LISTBOX", parent, text, x, y, width, height);
}

int ListBoxControl::commandNotify(int code, int)
{
    if (code != LBN_SELCHANGE)
        return 0;
    selection = static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
    return fireCallback();
}

LRESULT ListBoxControl::subclassProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return callSavedProcedure(message, wParam, lParam);
}

WNDPROC ListBoxControl::subclass(WNDPROC procedure)
{
    WNDPROC previous = SetWindowProc(hwnd, procedure ? procedure : ControlSubclassProc);
    if (!g_savedListBoxProc)
        g_savedListBoxProc = previous;
    return previous;
}

WNDPROC ListBoxControl::savedProcedure()
{
    return g_savedListBoxProc;
}

LRESULT ListBoxControl::callSavedProcedure(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_savedListBoxProc)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(g_savedListBoxProc, hwnd, message, wParam, lParam);
}
