#include "GridPainter.h"

#include "GdiGuards.h"

GridPainter::GridPainter(HDC dc, const RECT& row, const GridColours& colours)
    : dc_(dc), saved_(dc), r_(row), colours_(colours) {
    r_.right -= 1;
    r_.bottom -= 1;
}

void GridPainter::paint(LPARAM kind, const char* text) {
    drawFrame();
    drawCheckbox(kind);
    drawText(kind, text);
}

// Silver along the left and top, black along the right and bottom.
void GridPainter::drawFrame() {
    {
        Pen silver(CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0)));
        SelectGuard use(dc_, silver);
        MoveToEx(dc_, r_.left, r_.bottom, nullptr);
        LineTo(dc_, r_.left, r_.top);
        LineTo(dc_, r_.right, r_.top);
    }
    Pen black(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    SelectGuard use(dc_, black);
    MoveToEx(dc_, r_.right, r_.top, nullptr);
    LineTo(dc_, r_.right, r_.bottom);
    LineTo(dc_, r_.left, r_.bottom);
}

// A white square with the DC's own one-pixel black pen; a red two-pixel tick
// when checked. Memo rows have no square.
void GridPainter::drawCheckbox(LPARAM kind) {
    if (!hasCheckbox(kind)) return;
    {
        SelectGuard pen(dc_, GetStockObject(BLACK_PEN));
        SelectGuard brush(dc_, GetStockObject(WHITE_BRUSH));
        Rectangle(dc_, r_.left + 5, r_.top + 3, r_.left + 18, r_.bottom - 3);
    }
    if (!isTicked(kind)) return;
    Pen red(CreatePen(PS_SOLID, 2, RGB(0xFF, 0, 0)));
    SelectGuard use(dc_, red);
    MoveToEx(dc_, r_.left + 6, r_.top + 12, nullptr);
    LineTo(dc_, r_.left + 8, r_.bottom - 4);
    LineTo(dc_, r_.left + 17, r_.top + 4);
}

void GridPainter::drawSelection(bool selected) {
    // The gaps between the dots take the background colour.
    Pen line(selected ? CreatePen(PS_DOT, 1, RGB(0xFF, 0xFF, 0xFF)) : CreatePen(PS_SOLID, 1, colours_.background));
    SelectGuard pen(dc_, line);
    SelectGuard brush(dc_, GetStockObject(NULL_BRUSH));
    SetBkColor(dc_, colours_.background);
    SetBkMode(dc_, OPAQUE);
    Rectangle(dc_, r_.left + 1, r_.top + 1, r_.right, r_.bottom);
}

void GridPainter::drawText(LPARAM kind, const char* text) {
    if (!text) return;
    COLORREF colour = colours_.checkbox;
    if (kind == 0 || kind == 1) colour = colours_.action;
    else if (kind == 2) colour = colours_.memo;
    SetTextColor(dc_, colour);
    SetBkColor(dc_, colours_.background);
    SetBkMode(dc_, OPAQUE);
    RECT text_rect = r_;
    text_rect.left += TextIndent;
    DrawTextA(dc_, text, -1, &text_rect, DT_SINGLELINE | DT_VCENTER);
}

LPARAM GridPainter::toggled(LPARAM kind) {
    switch (kind) {
    case 0: return 1;
    case 1: return 0;
    case 3: return 4;
    case 4: return 3;
    default: return kind;
    }
}

bool GridPainter::onSquare(const RECT& row, int x, int y) {
    return x >= 5 && x <= 16 && y >= row.top + 4 && y <= row.bottom - 4;
}
