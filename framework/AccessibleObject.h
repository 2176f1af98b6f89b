// What a screen reader learns about one of the program's windows, through
// Microsoft Active Accessibility. An AccessibleObject answers WM_GETOBJECT
// (OBJID_CLIENT) for its window; whatever a derived class does not answer
// itself goes to the system's own object for the window
// (CreateStdAccessibleObject), which knows its location, hit testing,
// navigation and focus.
//
//   case WM_GETOBJECT:
//       if (static_cast<LONG>(lParam) == OBJID_CLIENT)
//           return AccessibleObject::answer(new NamedAccessible(hwnd, "Back"), wParam);
//
// Reference counted COM object, made with one reference that answer()
// hands over. It may outlive its window (another process can hold it): its
// calls then fail with E_FAIL.
//
// The interface's id is __uuidof(IAccessible) throughout: MinGW's oleacc
// import library gives IID_IAccessible as the address of an import thunk.
#pragma once
#include <windows.h>

#include <oleacc.h>

#include <string>

class AccessibleObject : public IAccessible {
public:
    explicit AccessibleObject(HWND window);
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    // The result of WM_GETOBJECT for object (LresultFromObject with
    // wParam); the creation reference is released, so an object nobody took
    // goes at once. 0 for a null object.
    static LRESULT answer(AccessibleObject* object, WPARAM wParam);
    // A BSTR of ANSI text (null for null); the caller frees it.
    static BSTR bstr(const char* text);
    // Raises event for child (CHILDID_SELF or a row + 1) of window's client object.
    static void notify(DWORD event, HWND window, LONG child);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, from the system's object.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override;

    // IAccessible: the system's answers unless a derived class overrides.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    virtual ~AccessibleObject();
    // The system's object for the window; null once the window is gone.
    IAccessible* standard() const;
    // child as a row of this object: 0 for the object itself, else the child
    // id; -1 for a variant that is no child id.
    static long childId(const VARIANT& child);
    static void setLong(VARIANT* out, long value);

    HWND window_;

private:
    IAccessible* standard_ = nullptr;  // owned reference
    LONG references_ = 1;
};

// A window whose accessible name is not its text (a button showing "<<"
// is "Back"), optionally with its own role.
class NamedAccessible : public AccessibleObject {
public:
    NamedAccessible(HWND window, const char* name, long role = 0, const char* description = nullptr);

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;

private:
    std::string name_;
    long role_;
    std::string description_;
    bool hasDescription_;
};
