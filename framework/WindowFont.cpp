#include "framework/WindowFont.h"

#include "framework/GdiGuards.h"

int WindowFont::setDpi(Dpi newDpi)
{
    dpi = newDpi;
    // Controls still draw with the current font until applyTo hands them the
    // new one: it goes only at the next change.
    retired_.reset(owned_.release());
    const Dpi system = Dpi::ofSystem();
    if (dpi == system && dpi == Dpi())
        return 1;
    LOGFONTA description = {};
    if (!GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description))
        return 0;
    description.lfHeight = MulDiv(description.lfHeight, dpi.value(), system.value());
    // The width scales with the height from 96 DPI: at a higher system DPI
    // the stock description keeps the width of 96 DPI (so Wine has it: 24
    // pixels high, 7 wide at 144 DPI), which drew the text narrow there.
    description.lfWidth = MulDiv(description.lfWidth, dpi.value(), Dpi().value());
    owned_.reset(CreateFontIndirectA(&description));
    return owned_.get() != nullptr;
}

HFONT WindowFont::handle() const
{
    return owned_ ? owned_.get() : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
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
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(owned_.get()), TRUE);
}
