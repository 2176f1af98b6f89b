#include "framework/Dpi.h"

#include "framework/GdiGuards.h"

namespace {
using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

// Windows 7 and 8 have no GetDpiForWindow; the program must still start there.
GetDpiForWindowProc getDpiForWindow()
{
    static const GetDpiForWindowProc proc = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        FARPROC found = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void (*)()>(found));
    }();
    return proc;
}
} // namespace

Dpi Dpi::of(HWND window)
{
    if (GetDpiForWindowProc proc = getDpiForWindow()) {
        if (UINT dpi = window ? proc(window) : 0)
            return Dpi(static_cast<int>(dpi));
    }
    return ofSystem();
}

Dpi Dpi::ofSystem()
{
    WindowDc screen(nullptr);
    return Dpi(screen ? GetDeviceCaps(screen, LOGPIXELSY) : standard);
}
