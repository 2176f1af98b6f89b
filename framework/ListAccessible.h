// The accessible object of a list box whose rows mean more than their text:
// one child per row with the row's text as its name, and what the list's
// owner says of it (role, ticked or not, a description, a default action).
// Windows' own list-box object names the rows of a list with strings but
// knows nothing of ticks, and Wine's reports no rows at all.
#pragma once
#include <string>

#include "framework/AccessibleObject.h"

// What a row of one list stands for; the list's owner answers.
struct AccessibleRow {
    long role = ROLE_SYSTEM_LISTITEM;
    int checked = -1;         // -1: no check box; 0 not ticked; 1 ticked
    std::string description;  // "" for none
    std::string action;       // the default action's name; "" for none
};

class AccessibleRows {
public:
    // The list's own name (the title of the view it shows).
    virtual std::wstring listName(HWND list) = 0;
    virtual AccessibleRow describeRow(HWND list, int row) = 0;
    // Runs row's default action later, from the message loop: the call comes
    // from a screen reader, perhaps in another process, that must not wait.
    virtual void doDefaultAction(HWND list, int row) = 0;

protected:
    ~AccessibleRows() = default;
};

class ListAccessible : public AccessibleObject {
public:
    // rows is borrowed and must outlive every call while list exists.
    ListAccessible(HWND list, AccessibleRows* rows);

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;

private:
    // The row of child id, -1 for the list itself, -2 for no such child.
    int rowOf(const VARIANT& child) const;
    int rowCount() const;
    std::string rowText(int row) const;
    // A row's description or default action (field) for child: S_FALSE for
    // the list itself and for a row without one.
    HRESULT rowString(const VARIANT& child, BSTR* out, std::string AccessibleRow::*field);

    AccessibleRows* rows_;  // borrowed
};
