#include "framework/ListAccessible.h"

ListAccessible::ListAccessible(HWND list, AccessibleRows* rows) : AccessibleObject(list), rows_(rows) {}

int ListAccessible::rowCount() const
{
    LRESULT count = IsWindow(window_) ? SendMessageA(window_, LB_GETCOUNT, 0, 0) : 0;
    return count > 0 ? static_cast<int>(count) : 0;
}

int ListAccessible::rowOf(const VARIANT& child) const
{
    long id = childId(child);
    if (id == CHILDID_SELF)
        return -1;
    return id >= 1 && id <= rowCount() ? static_cast<int>(id - 1) : -2;
}

std::string ListAccessible::rowText(int row) const
{
    LRESULT length = SendMessageA(window_, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(window_, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

HRESULT ListAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    if (!IsWindow(window_))
        return E_FAIL;
    *count = rowCount();
    return S_OK;
}

// The rows are simple elements of the list, not objects of their own.
HRESULT ListAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    return rowOf(child) >= 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT ListAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    int row = rowOf(child);
    if (row == -2)
        return E_INVALIDARG;
    *name = row == -1 ? SysAllocString(rows_->listName(window_).c_str()) : bstr(rowText(row).c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT ListAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return rowString(child, description, &AccessibleRow::description);
}

HRESULT ListAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    int row = rowOf(child);
    if (row == -2)
        return E_INVALIDARG;
    setLong(role, row == -1 ? ROLE_SYSTEM_LIST : rows_->describeRow(window_, row).role);
    return S_OK;
}

HRESULT ListAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!state)
        return E_POINTER;
    int row = rowOf(child);
    if (row == -2)
        return E_INVALIDARG;
    if (row == -1)
        return AccessibleObject::get_accState(child, state);
    long bits = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (SendMessageA(window_, LB_GETSEL, row, 0) > 0)
        bits |= STATE_SYSTEM_SELECTED;
    if (GetFocus() == window_ && SendMessageA(window_, LB_GETCARETINDEX, 0, 0) == row)
        bits |= STATE_SYSTEM_FOCUSED;
    if (rows_->describeRow(window_, row).checked == 1)
        bits |= STATE_SYSTEM_CHECKED;
    RECT item, client;
    if (!IsWindowVisible(window_))
        bits |= STATE_SYSTEM_INVISIBLE;
    else if (SendMessageA(window_, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
             !GetClientRect(window_, &client) || item.bottom <= 0 || item.top >= client.bottom)
        bits |= STATE_SYSTEM_OFFSCREEN;
    setLong(state, bits);
    return S_OK;
}

HRESULT ListAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (GetFocus() != window_)
        return S_FALSE;
    LRESULT caret = SendMessageA(window_, LB_GETCARETINDEX, 0, 0);
    setLong(child, caret >= 0 && caret < rowCount() ? static_cast<long>(caret) + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT ListAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return rowString(child, action, &AccessibleRow::action);
}

HRESULT ListAccessible::rowString(const VARIANT& child, BSTR* out, std::string AccessibleRow::*field)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    int row = rowOf(child);
    if (row == -2)
        return E_INVALIDARG;
    if (row == -1)
        return S_FALSE;
    std::string text = rows_->describeRow(window_, row).*field;
    if (text.empty())
        return S_FALSE;
    *out = bstr(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ListAccessible::accDoDefaultAction(VARIANT child)
{
    int row = rowOf(child);
    if (row < 0)
        return row == -2 ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
    if (rows_->describeRow(window_, row).action.empty())
        return DISP_E_MEMBERNOTFOUND;
    rows_->doDefaultAction(window_, row);
    return S_OK;
}

HRESULT ListAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    int row = rowOf(child);
    if (row == -1)
        return AccessibleObject::accLocation(left, top, width, height, child);
    if (!left || !top || !width || !height)
        return E_POINTER;
    RECT item;
    if (row == -2 || SendMessageA(window_, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return E_INVALIDARG;
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&item), 2);
    *left = item.left;
    *top = item.top;
    *width = item.right - item.left;
    *height = item.bottom - item.top;
    return S_OK;
}

HRESULT ListAccessible::accHitTest(long left, long top, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    POINT at = {left, top};
    RECT client;
    if (!IsWindow(window_) || !ScreenToClient(window_, &at) || !GetClientRect(window_, &client) ||
        !PtInRect(&client, at))
        return S_FALSE;
    LRESULT hit = SendMessageA(window_, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
    // The high word is set for a point below the last row.
    setLong(child, HIWORD(hit) ? CHILDID_SELF : static_cast<long>(LOWORD(hit)) + 1);
    return S_OK;
}

HRESULT ListAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    VariantInit(end);
    int row = rowOf(start);
    int count = rowCount();
    long to = 0;
    if (row == -1 && direction == NAVDIR_FIRSTCHILD)
        to = 1;
    else if (row == -1 && direction == NAVDIR_LASTCHILD)
        to = count;
    else if (row == -1)
        return AccessibleObject::accNavigate(direction, start, end);
    else if (row == -2)
        return E_INVALIDARG;
    else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)
        to = row + 2;
    else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)
        to = row;
    if (to < 1 || to > count)
        return S_FALSE;
    setLong(end, to);
    return S_OK;
}
