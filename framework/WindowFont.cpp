#include "framework/WindowFont.h"

#include "framework/GdiGuards.h"

WindowFont::~WindowFont()
{
    if (owned_)
        DeleteObject(owned_);
    if (retired_)
        DeleteObject(retired_);
}

int WindowFont::setDpi(Dpi newDpi)
{
    dpi = newDpi;
    // Controls still draw with the current font until applyTo hands them the
    // new one: it goes only at the next change.
    if (retired_)
        DeleteObject(retired_);
    retired_ = owned_;
    owned_ = nullptr;
    const Dpi system = Dpi::ofSystem();
    if (dpi == system)
        return 1;
    LOGFONTA description = {};
    if (!GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description))
        return 0;
    description.lfHeight = MulDiv(description.lfHeight, dpi.value(), system.value());
    description.lfWidth = MulDiv(description.lfWidth, dpi.value(), system.value());
    owned_ = CreateFontIndirectA(&description);
    return owned_ != nullptr;
}

HFONT WindowFont::handle() const
{
    return owned_ ? owned_ : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

TEXTMETRICA WindowFont::metrics() const
{
    TEXTMETRICA tm = {};
    OwnedDc ic(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
    if (ic) {
        SelectGuard use(ic, handle());
        GetTextMetricsA(ic, &tm);
    }
    return tm;
}

void WindowFont::applyTo(HWND control) const
{
    if (control)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(owned_), TRUE);
}
