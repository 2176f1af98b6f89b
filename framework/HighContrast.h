// Windows' high-contrast mode, read in one place: when it is on, every
// colour the program draws with comes from the system's colours instead of
// its own navy, green, red and yellow.
//
//   SetTextColor(dc, HighContrast::pick(RGB(0xFF, 0xFF, 0xFF), COLOR_WINDOWTEXT));
#pragma once
#include <windows.h>

class HighContrast {
public:
    // True when SPI_GETHIGHCONTRAST reports HCF_HIGHCONTRASTON (or a test
    // forced it on).
    static bool on();
    // Tests: 1 on, 0 off, -1 the system's setting again. (Wine always reports
    // the mode off and refuses SPI_SETHIGHCONTRAST.)
    static void force(int state);
    // normal when the mode is off, else system colour index's colour.
    static COLORREF pick(COLORREF normal, int systemColour);
};
