#include "app/grid/GridList.h"

namespace {
// Texts shorter than this are fetched into a buffer on the stack.
const int ShortText = 298;
}

GridList::GridList(COLORREF actionColour, COLORREF backgroundColour, COLORREF memoColour)
    : colours{actionColour, backgroundColour, memoColour, RGB(0, 0xFF, 0)} {
    style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
            LBS_SORT;
}

void GridList::setCursors(HCURSOR normal, HCURSOR checkbox) {
    normalCursor = normal;
    checkboxCursor = checkbox;
}

void GridList::setRowHeight(int height) {
    rowHeight = height;
    SendMessageA(hwnd, LB_SETITEMHEIGHT, 0, height);
    subclass();
}

void GridList::changeDpi(Dpi newDpi, int height) {
    dpi = newDpi;
    rowHeight = height;
    // A new item height can move the list to its top; put it back.
    LRESULT top = SendMessageA(hwnd, LB_GETTOPINDEX, 0, 0);
    SendMessageA(hwnd, LB_SETITEMHEIGHT, 0, height);
    if (top != LB_ERR) SendMessageA(hwnd, LB_SETTOPINDEX, top, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void GridList::drawItem(DRAWITEMSTRUCT* item) {
    if (!(item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;
    if (item->itemID == static_cast<UINT>(-1)) return;  // an empty list asks for its focus row
    int row = static_cast<int>(item->itemID);
    drawingDc = item->hDC;
    rowRect = &item->rcItem;

    GridPainter painter(item->hDC, item->rcItem, colours, dpi);
    painter.drawFrame();
    LPARAM kind = SendMessageA(hwnd, LB_GETITEMDATA, row, 0);
    painter.drawCheckbox(kind);

    LRESULT length = SendMessageA(hwnd, LB_GETTEXTLEN, row, 0);
    if (length < 0) length = 0;
    char shortText[300] = {};
    char* text = shortText;
    if (length >= ShortText) {
        // A long text that finds no memory is not drawn; frame and square stay.
        text = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(length) + 2));
    }
    if (text) {
        SendMessageA(hwnd, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        painter.drawText(kind, text);
    }
    if (text && text != shortText) HeapFree(GetProcessHeap(), 0, text);
    painter.drawSelection((item->itemState & ODS_SELECTED) != 0);

    drawingDc = nullptr;
    rowRect = nullptr;
}

int GridList::hitTest(LPARAM lParam) const {
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);
    if (rowHeight <= 0) return -1;
    LRESULT top = SendMessageA(hwnd, LB_GETTOPINDEX, 0, 0);
    if (top == LB_ERR) top = 0;
    int row = y / rowHeight + static_cast<int>(top);
    RECT r;
    if (SendMessageA(hwnd, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) == LB_ERR) return -1;
    if (SendMessageA(hwnd, LB_GETITEMDATA, row, 0) == 2) return -1;
    return GridPainter::onSquare(r, x, y, dpi) ? row : -1;
}

LRESULT GridList::subclassProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE && !readOnly) {
        SetCursor(hitTest(lParam) >= 0 ? checkboxCursor : normalCursor);
    } else if (message == WM_LBUTTONDOWN && !readOnly) {
        int row = hitTest(lParam);
        if (row >= 0) toggle(row);
    }
    return callSavedProcedure(message, wParam, lParam);
}

void GridList::toggle(int row) {
    LRESULT kind = SendMessageA(hwnd, LB_GETITEMDATA, row, 0);
    if (kind == LB_ERR) return;
    SendMessageA(hwnd, LB_SETITEMDATA, row, GridPainter::toggled(kind));
    stateChanged(row);
    SendMessageA(hwnd, LB_SETCURSEL, row, 0);
    // LB_SETITEMDATA repaints nothing, and LB_SETCURSEL only repaints when
    // the selection moves: a row that was selected already keeps its old
    // square unless it is redrawn here.
    redrawRow(row);
}

void GridList::redrawRow(int row) {
    RECT r;
    if (SendMessageA(hwnd, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) == LB_ERR) return;
    InvalidateRect(hwnd, &r, FALSE);
}

void GridList::toggleSelected() {
    if (readOnly) return;
    LRESULT row = SendMessageA(hwnd, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR || !GridPainter::hasCheckbox(SendMessageA(hwnd, LB_GETITEMDATA, row, 0))) return;
    toggle(static_cast<int>(row));
}

void GridList::stateChanged(int) {}
