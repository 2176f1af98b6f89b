// Root of the wrappers of the standard controls ("LISTBOX", "BUTTON", "EDIT"
// and common controls). A wrapped control carries its object in GWLP_USERDATA,
// so a parent can route WM_COMMAND, WM_DRAWITEM and WM_NOTIFY to it.
//
// Virtual table: create, commandNotify, drawItem, notify, setCallback,
// subclassProc.
#pragma once
#include <windows.h>

// Base of any object that takes a control's callback; derive from it and pass
// static_cast<ControlCallback>(&Derived::method).
class CallbackTarget {};
using ControlCallback = void (CallbackTarget::*)(int controlId);

class ControlBase {
public:
    ControlBase() = default;
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    // Creates the control, or attaches to the child of parent that has this id.
    // Id 0 takes the next automatic id. 1 on success. Default: "Missing Create".
    virtual int create(HWND parent, int id, const char* text, int x, int y, int width, int height);
    // WM_COMMAND routed by the parent; nonzero means handled.
    virtual int commandNotify(int code, int id);
    // WM_DRAWITEM routed by the parent.
    virtual void drawItem(DRAWITEMSTRUCT* item);
    // WM_NOTIFY routed by the parent; a window parent returns this result.
    virtual LRESULT notify(NMHDR* header);
    virtual void setCallback(CallbackTarget* target, ControlCallback method);
    // Every message of a control sub-classed with ControlSubclassProc.
    virtual LRESULT subclassProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The wrapper object of control, or null when it has none.
    static ControlBase* fromWindow(HWND control);

    HWND hwnd = nullptr;   // the wrapped control; not owned (its parent destroys it)
    DWORD style = 0;       // applied only when the control is created, not attached
    DWORD exStyle = 0;
    int id = 0;
    CallbackTarget* callbackTarget = nullptr;  // borrowed
    ControlCallback callbackMethod = nullptr;  // null: no callback

protected:
    ~ControlBase() = default;
    // Common body of the concrete create operations (id already settled).
    int CreateControl(const char* className, HWND parent, const char* text, int x, int y, int width, int height);
    // Settles id 0 to the next automatic id.
    void settleId(int requested);
    // Calls the callback with the control's id; 1 when there was one.
    int fireCallback();
};

// Window procedure that hands every message of a wrapped control to its
// object's subclassProc.
LRESULT CALLBACK ControlSubclassProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
