// The owner-drawn list of one person's entries: a framed strip per row with a
// checkbox square at the left and the row's text beside it. Everything it
// draws and toggles comes from the list box's own strings and item data (the
// row's EntryKind); it knows nothing of the document.
//
// Virtual table: the ListBoxControl operations with drawItem and
// subclassProc overridden, then stateChanged.
#pragma once
#include "app/grid/GridPainter.h"
#include "framework/ListBoxControl.h"

class GridList : public ListBoxControl {
public:
    GridList(COLORREF actionColour, COLORREF backgroundColour, COLORREF memoColour);

    void setCursors(HCURSOR normal, HCURSOR checkbox);
    // Sets the height of every row and sub-classes the list box so that
    // subclassProc sees its messages first.
    void setRowHeight(int height);
    // The window moved to a monitor of another DPI: rows of height, squares
    // and ticks drawn and hit-tested at dpi. Selection and scroll position stay.
    void changeDpi(Dpi newDpi, int height);

    // One row, for WM_DRAWITEM from the parent. Focus requests draw nothing.
    void drawItem(DRAWITEMSTRUCT* item) override;
    // Cursor over the squares and the click toggle; every message then goes
    // on to the list box.
    LRESULT subclassProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Called once after a click or Space changed the item data of row.
    virtual void stateChanged(int row);
    // Space: toggles the selected row as a click on its square does; nothing
    // for a memo row, no selection or in read-only mode.
    void toggleSelected();
    // Has row drawn again at the next paint, after its item data changed.
    void redrawRow(int row);

    // The row whose checkbox square lies under client point lParam (x and y
    // unsigned 16-bit words), or -1.
    int hitTest(LPARAM lParam) const;

    HDC drawingDc = nullptr;        // valid only during drawItem
    int readOnly = 0;               // 1: clicks only select, the cursor stays normal
    const RECT* rowRect = nullptr;  // valid only during drawItem
    GridColours colours;            // checkbox colour is always green
    HCURSOR normalCursor = nullptr;    // shared cursors; never destroyed
    HCURSOR checkboxCursor = nullptr;
    int rowHeight = 0;
    Dpi dpi;                        // squares, ticks and text offsets are drawn at it

protected:
    ~GridList() = default;

private:
    void toggle(int row);
};
