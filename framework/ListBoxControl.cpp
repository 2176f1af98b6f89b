#include "framework/ListBoxControl.h"

#include "framework/Framework.h"
#include "framework/GdiGuards.h"
#include "framework/ListAccessible.h"

#include <new>

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
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT && accessibleRows)
        return AccessibleObject::answer(new (std::nothrow) ListAccessible(hwnd, accessibleRows), wParam);
    const bool wasEmpty = emptyText && (message == LB_ADDSTRING || message == LB_INSERTSTRING) &&
                          SendMessageA(hwnd, LB_GETCOUNT, 0, 0) == 0;
    LRESULT result = callSavedProcedure(message, wParam, lParam);
    if (message == WM_PAINT && emptyText && SendMessageA(hwnd, LB_GETCOUNT, 0, 0) == 0)
        drawEmptyText();
    // The list repaints only the new row; the text below it goes too.
    if (wasEmpty)
        InvalidateRect(hwnd, nullptr, TRUE);
    return result;
}

// After the list box painted itself empty, in the colours its parent gives it.
void ListBoxControl::drawEmptyText()
{
    WindowDc dc(hwnd);
    if (!dc)
        return;
    DcState saved(dc);
    SendMessageA(GetParent(hwnd), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), reinterpret_cast<LPARAM>(hwnd));
    if (HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)))
        SelectObject(dc, font);
    RECT client;
    GetClientRect(hwnd, &client);
    DrawTextA(dc, emptyText, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void ListBoxControl::makeAccessible(AccessibleRows* rows)
{
    accessibleRows = rows;
    if (hwnd && GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(ControlSubclassProc))
        subclass();
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
