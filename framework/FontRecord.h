#pragma once
#include <windows.h>

#include "framework/GdiGuards.h"

// A font made from a LOGFONTA description, with the colour its text is drawn in.
// Owns the font: a new makeFont deletes the previous one.
class FontRecord {
public:
    FontRecord();
    FontRecord(const FontRecord&) = delete;
    FontRecord& operator=(const FontRecord&) = delete;

    // Creates the font of the description with face (kept when empty) and
    // points at dpi (the window's), or at dc's vertical resolution when dpi
    // is 0. 1 when the font was made.
    int makeFont(HDC dc, const char* face, int points, int dpi = 0);
    // Sets the text colour and selects the font into dc (the caller restores dc).
    void applyFont(HDC dc) const;

    Font font;                // null when none
    COLORREF colour = 0;      // 0x00BBGGRR
    LOGFONTA description;
};
