#include "framework/Framework.h"

namespace framework {

namespace {
HINSTANCE g_instance = nullptr;
int g_nextId = 900;
} // namespace

HINSTANCE instance()
{
    if (!g_instance)
        g_instance = GetModuleHandleA(nullptr);
    return g_instance;
}

void setInstance(HINSTANCE module)
{
    g_instance = module;
}

int nextControlId()
{
    return g_nextId++;
}

int reportMissingCreate()
{
    MessageBoxA(nullptr, "Missing Create", "App Error", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

} // namespace framework

WNDPROC SetWindowProc(HWND window, WNDPROC procedure)
{
    if (!IsWindow(window) || !procedure)
        return nullptr;
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}
