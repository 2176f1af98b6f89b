#include "framework/ControlBase.h"

#include "framework/Framework.h"

LRESULT CALLBACK ControlSubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    ControlBase* object = ControlBase::fromWindow(control);
    if (!object)
        return DefWindowProcA(control, message, wParam, lParam);
    return object->subclassProc(message, wParam, lParam);
}

ControlBase* ControlBase::fromWindow(HWND control)
{
    if (!control)
        return nullptr;
    return reinterpret_cast<ControlBase*>(GetWindowLongPtrA(control, GWLP_USERDATA));
}

void ControlBase::settleId(int requested)
{
    id = requested ? requested : framework::nextControlId();
}

int ControlBase::CreateControl(const char* className, HWND parent, const char* text, int x, int y, int width,
                               int height)
{
    hwnd = GetDlgItem(parent, id);
    if (!hwnd)
        hwnd = CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), framework::instance(), nullptr);
    if (!hwnd)
        return 0;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return 1;
}

int ControlBase::fireCallback()
{
    if (!callbackMethod || !callbackTarget)
        return 0;
    (callbackTarget->*callbackMethod)(id);
    return 1;
}

int ControlBase::create(HWND, int, const char*, int, int, int, int) { return framework::reportMissingCreate(); }
int ControlBase::commandNotify(int, int) { return 0; }
void ControlBase::drawItem(DRAWITEMSTRUCT*) {}
LRESULT ControlBase::notify(NMHDR*) { return 0; }

void ControlBase::setCallback(CallbackTarget* target, ControlCallback method)
{
    callbackTarget = target;
    callbackMethod = method;
}

LRESULT ControlBase::subclassProc(UINT, WPARAM, LPARAM) { return 0; }
