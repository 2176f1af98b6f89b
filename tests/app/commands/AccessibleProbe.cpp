// accessible_probe TITLE list
//     prints the list shown in the top-level window titled TITLE, as a screen
//     reader reads it: "list NAME", then per row "NAME|ROLE|checked|DESCRIPTION"
//     with ROLE "item" or "check" and a "*" after a selected row.
// accessible_probe TITLE do ROW
//     runs the default action of the row named ROW of that list.
//
// Another process, and nothing but Active Accessibility on the windows the
// top-level one holds: no pixels, no window classes, no messages of the
// program's own. Exit 1 when there is no such window, list or row.
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

std::string narrow(BSTR text) {
    std::string out;
    if (text) {
        int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (length > 1) {
            out.resize(static_cast<size_t>(length));
            WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], length, nullptr, nullptr);
            out.resize(static_cast<size_t>(length - 1));
        }
        SysFreeString(text);
    }
    return out;
}

VARIANT child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

long longOf(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, long id) {
    VARIANT value;
    VariantInit(&value);
    (object->*get)(child(id), &value);
    return value.vt == VT_I4 ? value.lVal : 0;
}

// The visible list among the top-level window's descendants.
struct Search {
    IAccessible* list = nullptr;
};

BOOL CALLBACK visit(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
        return TRUE;
    long role = longOf(&IAccessible::get_accRole, object, CHILDID_SELF);
    long state = longOf(&IAccessible::get_accState, object, CHILDID_SELF);
    if (role == ROLE_SYSTEM_LIST && !(state & STATE_SYSTEM_INVISIBLE) && !search->list) {
        search->list = object;
        return FALSE;
    }
    object->Release();
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: accessible_probe TITLE list | TITLE do ROW\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND frame = FindWindowA(nullptr, argv[1]);
    Search search;
    if (frame) EnumChildWindows(frame, visit, reinterpret_cast<LPARAM>(&search));
    IAccessible* list = search.list;
    if (!list) {
        std::fprintf(stderr, "no list shown in '%s'\n", argv[1]);
        return 1;
    }
    BSTR name = nullptr;
    list->get_accName(child(CHILDID_SELF), &name);
    long count = 0;
    list->get_accChildCount(&count);
    int status = std::string(argv[2]) == "do" ? 1 : 0;
    if (!status) std::printf("list %s\n", narrow(name).c_str());
    else SysFreeString(name);
    for (long id = 1; id <= count; ++id) {
        BSTR rowName = nullptr, description = nullptr;
        list->get_accName(child(id), &rowName);
        std::string text = narrow(rowName);
        if (status) {
            if (argc > 3 && text == argv[3]) status = FAILED(list->accDoDefaultAction(child(id))) ? 1 : 0;
            if (!status) break;
            continue;
        }
        list->get_accDescription(child(id), &description);
        long role = longOf(&IAccessible::get_accRole, list, id);
        long state = longOf(&IAccessible::get_accState, list, id);
        std::printf("%s|%s|%s|%s%s\n", text.c_str(), role == ROLE_SYSTEM_CHECKBUTTON ? "check" : "item",
                    state & STATE_SYSTEM_CHECKED ? "checked" : "", narrow(description).c_str(),
                    state & STATE_SYSTEM_SELECTED ? "*" : "");
    }
    list->Release();
    return status;
}
