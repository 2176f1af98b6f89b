#include "framework/AccessibleObject.h"

#include <new>

AccessibleObject::AccessibleObject(HWND window) : window_(window)
{
    void* object = nullptr;
    if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), &object)))
        standard_ = static_cast<IAccessible*>(object);
}

AccessibleObject::~AccessibleObject()
{
    if (standard_)
        standard_->Release();
}

LRESULT AccessibleObject::answer(AccessibleObject* object, WPARAM wParam)
{
    if (!object)
        return 0;
    LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result;
}

BSTR AccessibleObject::bstr(const char* text)
{
    if (!text)
        return nullptr;
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return nullptr;
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
    if (out)
        MultiByteToWideChar(CP_ACP, 0, text, -1, out, length);
    return out;
}

void AccessibleObject::notify(DWORD event, HWND window, LONG child)
{
    if (window)
        NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

IAccessible* AccessibleObject::standard() const
{
    return IsWindow(window_) ? standard_ : nullptr;
}

long AccessibleObject::childId(const VARIANT& child)
{
    return child.vt == VT_I4 ? child.lVal : -1;
}

void AccessibleObject::setLong(VARIANT* out, long value)
{
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
}

HRESULT AccessibleObject::QueryInterface(REFIID id, void** object)
{
    if (!object)
        return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG AccessibleObject::Release()
{
    LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// Every forwarded call: E_FAIL once the window is gone.
#define FORWARD(call)                      \
    IAccessible* to = standard();          \
    return to ? to->call : E_FAIL

HRESULT AccessibleObject::GetTypeInfoCount(UINT* count) { FORWARD(GetTypeInfoCount(count)); }
HRESULT AccessibleObject::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info)
{
    FORWARD(GetTypeInfo(index, locale, info));
}
HRESULT AccessibleObject::GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids)
{
    FORWARD(GetIDsOfNames(id, names, count, locale, ids));
}
HRESULT AccessibleObject::Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argument)
{
    FORWARD(Invoke(member, id, locale, flags, params, result, exception, argument));
}
HRESULT AccessibleObject::get_accParent(IDispatch** parent) { FORWARD(get_accParent(parent)); }
HRESULT AccessibleObject::get_accChildCount(long* count) { FORWARD(get_accChildCount(count)); }
HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch** object) { FORWARD(get_accChild(child, object)); }
HRESULT AccessibleObject::get_accName(VARIANT child, BSTR* name) { FORWARD(get_accName(child, name)); }
HRESULT AccessibleObject::get_accValue(VARIANT child, BSTR* value) { FORWARD(get_accValue(child, value)); }
HRESULT AccessibleObject::get_accDescription(VARIANT child, BSTR* description)
{
    FORWARD(get_accDescription(child, description));
}
HRESULT AccessibleObject::get_accRole(VARIANT child, VARIANT* role) { FORWARD(get_accRole(child, role)); }
HRESULT AccessibleObject::get_accState(VARIANT child, VARIANT* state) { FORWARD(get_accState(child, state)); }
HRESULT AccessibleObject::get_accHelp(VARIANT child, BSTR* help) { FORWARD(get_accHelp(child, help)); }
HRESULT AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    FORWARD(get_accHelpTopic(file, child, topic));
}
HRESULT AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    FORWARD(get_accKeyboardShortcut(child, shortcut));
}
HRESULT AccessibleObject::get_accFocus(VARIANT* child) { FORWARD(get_accFocus(child)); }
HRESULT AccessibleObject::get_accSelection(VARIANT* children) { FORWARD(get_accSelection(children)); }
HRESULT AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    FORWARD(get_accDefaultAction(child, action));
}
HRESULT AccessibleObject::accSelect(long flags, VARIANT child) { FORWARD(accSelect(flags, child)); }
HRESULT AccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    FORWARD(accLocation(left, top, width, height, child));
}
HRESULT AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    FORWARD(accNavigate(direction, start, end));
}
HRESULT AccessibleObject::accHitTest(long left, long top, VARIANT* child) { FORWARD(accHitTest(left, top, child)); }
HRESULT AccessibleObject::accDoDefaultAction(VARIANT child) { FORWARD(accDoDefaultAction(child)); }
HRESULT AccessibleObject::put_accName(VARIANT child, BSTR name) { FORWARD(put_accName(child, name)); }
HRESULT AccessibleObject::put_accValue(VARIANT child, BSTR value) { FORWARD(put_accValue(child, value)); }

#undef FORWARD

NamedAccessible::NamedAccessible(HWND window, const char* name, long role, const char* description)
    : AccessibleObject(window), name_(name ? name : ""), role_(role), description_(description ? description : ""),
      hasDescription_(description != nullptr)
{
}

HRESULT NamedAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (childId(child) != CHILDID_SELF)
        return AccessibleObject::get_accName(child, name);
    if (!name)
        return E_POINTER;
    *name = bstr(name_.c_str());
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT NamedAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (childId(child) != CHILDID_SELF || !role_)
        return AccessibleObject::get_accRole(child, role);
    if (!role)
        return E_POINTER;
    setLong(role, role_);
    return S_OK;
}

HRESULT NamedAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    if (childId(child) != CHILDID_SELF || !hasDescription_)
        return AccessibleObject::get_accDescription(child, description);
    if (!description)
        return E_POINTER;
    *description = bstr(description_.c_str());
    return *description ? S_OK : E_OUTOFMEMORY;
}
