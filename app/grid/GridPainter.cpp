#include "app/grid/GridPainter.h"

#include "framework/GdiGuards.h"

GridPainter::GridPainter(HDC dc, const RECT& row, const GridColours& colours, Dpi dpi)
    : dc_(dc), saved_(dc), r_(row), colours_(colours), dpi_(dpi) {
    r_.right -= 1;
    r_.bottom -= 1;
}

void GridPainter::paint(LPARAM kind, const char* text) {
    drawFrame();
    drawCheckbox(kind);
    drawText(kind, text);
}

// Silver along the left and top, black along the right and bottom, a pixel
// thick at 96 DPI; the bottom-left corner pixel is silver, the top-right black.
void GridPainter::drawFrame() {
    const int t = dpi_(1);
    auto band = [this](int left, int top, int right, int bottom, COLORREF colour) {
        RECT r = {left, top, right, bottom};
        Brush brush(CreateSolidBrush(colour));
        FillRect(dc_, &r, brush);
    };
    const COLORREF silver = RGB(0xC0, 0xC0, 0xC0), black = RGB(0, 0, 0);
    band(r_.right + 1 - t, r_.top, r_.right + 1, r_.bottom + 1, black);
    band(r_.left + t, r_.bottom + 1 - t, r_.right + 1, r_.bottom + 1, black);
    band(r_.left, r_.top, r_.left + t, r_.bottom + 1, silver);
    band(r_.left, r_.top, r_.right + 1 - t, r_.top + t, silver);
}

// A white square with a black border (the DC's one-pixel black pen at 96
// DPI); a red tick, two pixels wide at 96 DPI, when checked. Memo rows have
// no square.
void GridPainter::drawCheckbox(LPARAM kind) {
    if (!hasCheckbox(kind)) return;
    {
        Pen border(CreatePen(PS_INSIDEFRAME, dpi_(1), RGB(0, 0, 0)));
        SelectGuard pen(dc_, dpi_(1) == 1 ? GetStockObject(BLACK_PEN) : border.get());
        SelectGuard brush(dc_, GetStockObject(WHITE_BRUSH));
        Rectangle(dc_, r_.left + dpi_(5), r_.top + dpi_(3), r_.left + dpi_(18), r_.bottom - dpi_(3));
    }
    if (!isTicked(kind)) return;
    // The pen's round ends would stick out of the square above 96 DPI.
    DcState clip(dc_);
    IntersectClipRect(dc_, r_.left + dpi_(5), r_.top + dpi_(3), r_.left + dpi_(19), r_.bottom - dpi_(3) + 1);
    Pen red(CreatePen(PS_SOLID, dpi_(2), RGB(0xFF, 0, 0)));
    SelectGuard use(dc_, red);
    MoveToEx(dc_, r_.left + dpi_(6), r_.top + dpi_(12), nullptr);
    LineTo(dc_, r_.left + dpi_(8), r_.bottom - dpi_(4));
    LineTo(dc_, r_.left + dpi_(17), r_.top + dpi_(4));
}

void GridPainter::drawSelection(bool selected) {
    // The gaps between the dots take the background colour.
    Pen line(selected ? CreatePen(PS_DOT, 1, RGB(0xFF, 0xFF, 0xFF)) : CreatePen(PS_SOLID, 1, colours_.background));
    SelectGuard pen(dc_, line);
    SelectGuard brush(dc_, GetStockObject(NULL_BRUSH));
    SetBkColor(dc_, colours_.background);
    SetBkMode(dc_, OPAQUE);
    // Just inside the row's frame, which is dpi(1) thick.
    const int inset = dpi_(1);
    Rectangle(dc_, r_.left + inset, r_.top + inset, r_.right - inset + 1, r_.bottom - inset + 1);
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
    text_rect.left += dpi_(TextIndent);
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

bool GridPainter::onSquare(const RECT& row, int x, int y, Dpi dpi) {
    return x >= dpi(5) && x <= dpi(16) && y >= row.top + dpi(4) && y <= row.bottom - dpi(4);
}
