// The display's default font, the one the program's windows and controls
// draw with, as it should look at one window's DPI. At 96 DPI on a 96-DPI
// system that is the stock system font itself and nothing is made; at any
// other DPI it is a font made from the stock font's description with the
// height scaled from the system's DPI and the width from 96 DPI, owned here
// until the setDpi after next or the end of the object.
#pragma once
#include <windows.h>

#include "framework/Dpi.h"
#include "framework/GdiGuards.h"

class WindowFont {
public:
    WindowFont() = default;
    WindowFont(const WindowFont&) = delete;
    WindowFont& operator=(const WindowFont&) = delete;

    // Makes the font for dpi. 0 when a scaled font was needed and could not be
    // made (the stock font is used then).
    int setDpi(Dpi dpi);
    // The font to select: the owned one, else the stock system font.
    HFONT handle() const;
    // True when a font of our own is in use (any DPI but 96 on a 96-DPI system).
    bool scaled() const { return owned_.get() != nullptr; }
    // Metrics of handle() on the display.
    TEXTMETRICA metrics() const;
    // Gives control the font (null at the system DPI: the control's default)
    // and has it redrawn.
    void applyTo(HWND control) const;

    Dpi dpi;

private:
    Font owned_;
    Font retired_;   // the font before the last setDpi, still in the controls' hands
};
