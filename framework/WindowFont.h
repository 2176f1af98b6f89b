// The display's default font, the one the program's windows and controls
// draw with, as it should look at one window's DPI. At the system DPI that is
// the stock system font itself and nothing is made; on a monitor of another
// DPI it is a font made from the stock font's description with the height
// scaled, owned here until the setDpi after next or the end of the object.
#pragma once
#include <windows.h>

#include "framework/Dpi.h"

class WindowFont {
public:
    WindowFont() = default;
    ~WindowFont();
    WindowFont(const WindowFont&) = delete;
    WindowFont& operator=(const WindowFont&) = delete;

    // Makes the font for dpi. 0 when a scaled font was needed and could not be
    // made (the stock font is used then).
    int setDpi(Dpi dpi);
    // The font to select: the owned one, else the stock system font.
    HFONT handle() const;
    // True when the DPI is not the system's and a font of our own is in use.
    bool scaled() const { return owned_ != nullptr; }
    // Metrics of handle() on the display.
    TEXTMETRICA metrics() const;
    // Gives control the font (null at the system DPI: the control's default)
    // and has it redrawn.
    void applyTo(HWND control) const;

    Dpi dpi;

private:
    HFONT owned_ = nullptr;
    HFONT retired_ = nullptr;  // the font before the last setDpi, still in the controls' hands
};
