#include "framework/FontRecord.h"

#include <cstring>

FontRecord::FontRecord()
{
    std::memset(&description, 0, sizeof description);
}

int FontRecord::makeFont(HDC dc, const char* face, int points, int dpi)
{
    if (face && *face) {
        std::strncpy(description.lfFaceName, face, LF_FACESIZE - 1);
        description.lfFaceName[LF_FACESIZE - 1] = '\0';
    }
    description.lfHeight = -MulDiv(points, dpi > 0 ? dpi : GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT made = CreateFontIndirectA(&description);
    if (!made)
        return 0;
    font.reset(made);
    return 1;
}

void FontRecord::applyFont(HDC dc) const
{
    SetTextColor(dc, colour);
    if (font)
        SelectObject(dc, font);
}
