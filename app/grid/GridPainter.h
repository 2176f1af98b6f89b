// Draws one row of the entries grid into any device context: the frame, the
// checkbox square with its tick and the text. Kept apart from the list box so
// a test can draw into a memory DC and look at the pixels.
#pragma once
#include <windows.h>

#include "framework/Dpi.h"
#include "framework/GdiGuards.h"

struct GridColours {
    COLORREF action;      // text of action rows (kinds 0 and 1)
    COLORREF background;  // behind the text of every row
    COLORREF memo;        // text of memo rows (kind 2)
    COLORREF checkbox;    // text of single-checkbox rows (kinds 3 and 4)
};

class GridPainter {
public:
    // The painter draws into dc within row (the owner-draw rectangle, right
    // and bottom exclusive) at dpi; the DC's state is saved here and restored
    // when the painter goes. Neither the DC nor the colours are owned.
    GridPainter(HDC dc, const RECT& row, const GridColours& colours, Dpi dpi = Dpi());
    GridPainter(const GridPainter&) = delete;
    GridPainter& operator=(const GridPainter&) = delete;

    // Frame, checkbox and text of a row whose item data is kind.
    void paint(LPARAM kind, const char* text);

    void drawFrame();
    void drawCheckbox(LPARAM kind);
    void drawText(LPARAM kind, const char* text);
    // The selected row's mark: a dotted white frame one pixel inside the
    // row's edges, clear of the square and the text, so a keyboard user sees
    // which row Space, Enter and Del act on. An unselected row gets the
    // background colour there, which wipes the mark when the selection moves.
    void drawSelection(bool selected);

    static bool hasCheckbox(LPARAM kind) { return kind != 2; }
    static bool isTicked(LPARAM kind) { return kind == 1 || kind == 4; }
    // Unchecked and checked kinds swap; every other value stays.
    static LPARAM toggled(LPARAM kind);
    // True when client point (x, y) lies on the checkbox square of a row
    // whose rectangle is row, drawn at dpi.
    static bool onSquare(const RECT& row, int x, int y, Dpi dpi = Dpi());

    // Left edge of the text, counted from the row's left edge, at 96 DPI.
    static const int TextIndent = 24;

private:
    HDC dc_;
    DcState saved_;
    RECT r_;  // the row's outermost pixels, right and bottom inclusive
    const GridColours& colours_;
    Dpi dpi_;
};
