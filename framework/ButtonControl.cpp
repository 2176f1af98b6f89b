#include "framework/ButtonControl.h"

#include <cstring>
#include <new>

#include "framework/AccessibleObject.h"

#include "framework/Framework.h"

namespace {
WNDPROC g_savedButtonProc = nullptr;
}

ButtonControl::ButtonControl(bool subclassWhenCreated) : subclassOnCreate(subclassWhenCreated)
{
    style = WS_CHILD | WS_VISIBLE;
}

int ButtonControl::create(HWND parent, int newId, const char* text, int x, int y, int width, int height)
{
    settleId(newId);
    const char* amp = text ? std::strchr(text, '&') : nullptr;
    mnemonic = amp ? amp[1] : 0;
    int created = CreateControl("BUTTON", parent, text, x, y, width, height);
    if (created && subclassOnCreate)
        subclass();
    return created;
}

int ButtonControl::commandNotify(int code, int)
{
    if (code != BN_CLICKED)
        return 0;
    return fireCallback();
}

LRESULT ButtonControl::subclassProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT && accessibleName)
        return AccessibleObject::answer(new (std::nothrow) NamedAccessible(hwnd, accessibleName), wParam);
    if (!g_savedButtonProc)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowProcA(g_savedButtonProc, hwnd, message, wParam, lParam);
}

WNDPROC ButtonControl::subclass(WNDPROC procedure)
{
    WNDPROC previous = SetWindowProc(hwnd, procedure ? procedure : ControlSubclassProc);
    if (!g_savedButtonProc)
        g_savedButtonProc = previous;
    return previous;
}

WNDPROC ButtonControl::savedProcedure()
{
    return g_savedButtonProc;
}
