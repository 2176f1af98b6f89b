#include "GridPainter.h"

namespace {

// A one-pixel (or wider) solid pen selected for the lifetime of the object;
// the previous pen is selected back before the new one is deleted.
class SelectedPen {
public:
    SelectedPen(HDC dc, int width, COLORREF colour)
        : dc_(dc), pen_(CreatePen(PS_SOLID, width, colour)),
          previous_(pen_ ? SelectObject(dc, pen_) : nullptr) {}
    ~SelectedPen() {
        if (previous_) SelectObject(dc_, previous_);
        if (pen_) DeleteObject(pen_);
    }
    SelectedPen(const SelectedPen&) = delete;
    SelectedPen& operator=(const SelectedPen&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ previous_;
};

}  // namespace

GridPainter::GridPainter(HDC dc, const RECT& row, const GridColours& colours)
    : dc_(dc), savedState_(SaveDC(dc)), r_(row), colours_(colours) {
    r_.right -= 1;
    r_.bottom -= 1;
}

GridPainter::~GridPainter() {
    if (savedState_) RestoreDC(dc_, savedState_);
}

void GridPainter::paint(LPARAM kind, const char* text) {
    drawFrame();
    drawCheckbox(kind);
    drawText(kind, text);
}

// Silver along the left and top, black along the right and bottom.
void GridPainter::drawFrame() {
    {
        SelectedPen silver(dc_, 1, RGB(0xC0, 0xC0, 0xC0));
        MoveToEx(dc_, r_.left, r_.bottom, nullptr);
        LineTo(dc_, r_.left, r_.top);
        LineTo(dc_, r_.right, r_.top);
    }
    SelectedPen black(dc_, 1, RGB(0, 0, 0));
    MoveToEx(dc_, r_.right, r_.top, nullptr);
    LineTo(dc_, r_.right, r_.bottom);
    LineTo(dc_, r_.left, r_.bottom);
}

// A white square with the DC's own one-pixel black pen; a red two-pixel tick
// when checked. Memo rows have no square.
void GridPainter::drawCheckbox(LPARAM kind) {
    if (!hasCheckbox(kind)) return;
    HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(WHITE_BRUSH));
    Rectangle(dc_, r_.left + 5, r_.top + 3, r_.left + 18, r_.bottom - 3);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    if (!isTicked(kind)) return;
    SelectedPen red(dc_, 2, RGB(0xFF, 0, 0));
    MoveToEx(dc_, r_.left + 6, r_.top + 12, nullptr);
    LineTo(dc_, r_.left + 8, r_.bottom - 4);
    LineTo(dc_, r_.left + 17, r_.top + 4);
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
