// The entries pane as a real list box: hit test, cursor, toggles and the
// completion dates they stamp.
#include "tests/app/ProgramFixture.h"
#include "app/grid/CompletionDate.h"

namespace {

SYSTEMTIME fixedNow;
void fixedClock(SYSTEMTIME* t) { *t = fixedNow; }

void setNow(int year, int month, int day, int hour, int minute) {
    fixedNow = {};
    fixedNow.wYear = static_cast<WORD>(year);
    fixedNow.wMonth = static_cast<WORD>(month);
    fixedNow.wDay = static_cast<WORD>(day);
    fixedNow.wHour = static_cast<WORD>(hour);
    fixedNow.wMinute = static_cast<WORD>(minute);
}

class EntryGridTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        previous_ = CompletionDate::setLocalTimeReader(fixedClock);
    }
    void TearDown() override {
        CompletionDate::setLocalTimeReader(previous_);
        AppTest::TearDown();
    }
    LPARAM kindOfRow(int row) { return SendMessageA(entries(), LB_GETITEMDATA, row, 0); }

private:
    CompletionDate::LocalTimeReader previous_ = nullptr;
};

}  // namespace

TEST_F(EntryGridTest, RowHeightFollowsTheDisplayFont) {
    startWithExample();
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    TEXTMETRICA tm;
    GetTextMetricsA(ic, &tm);
    DeleteDC(ic);
    EXPECT_EQ(tm.tmHeight + tm.tmExternalLeading + 4, program::entriesPane.rowHeight);
    EXPECT_EQ(program::entriesPane.rowHeight, SendMessageA(entries(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), program::entriesPane.colours.action);
    EXPECT_EQ(RGB(0, 0, 0x80), program::entriesPane.colours.background);
    EXPECT_EQ(RGB(0xFF, 0xFF, 0), program::entriesPane.colours.memo);
    EXPECT_EQ(RGB(0, 0xFF, 0), program::entriesPane.colours.checkbox);
}

TEST_F(EntryGridTest, HitTestCoversExactlyTheSquare) {
    startWithExample();
    doubleClick(program::namesPane, 0);  // Ann: done, memo, open, done
    GridList& grid = program::entriesPane;
    int y = squareOf(2).y;
    EXPECT_EQ(-1, grid.hitTest(MAKELPARAM(4, y)));
    EXPECT_EQ(2, grid.hitTest(MAKELPARAM(5, y)));
    EXPECT_EQ(2, grid.hitTest(MAKELPARAM(16, y)));
    EXPECT_EQ(-1, grid.hitTest(MAKELPARAM(17, y)));
    EXPECT_EQ(-1, grid.hitTest(MAKELPARAM(10, squareOf(1).y)));  // memo row
    RECT last;
    SendMessageA(entries(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(-1, grid.hitTest(MAKELPARAM(10, last.bottom + grid.rowHeight / 2)));  // below the rows

    clickSquare(2, 4);
    clickSquare(2, 17);
    EXPECT_EQ(0, kindOfRow(2));
    clickSquare(2, 5);
    EXPECT_EQ(1, kindOfRow(2));
    clickSquare(2, 16);
    EXPECT_EQ(0, kindOfRow(2));
}

TEST_F(EntryGridTest, HitTestFollowsTheTopIndex) {
    startWithExample();
    for (int i = 0; i < 40; ++i) program::document.addCheckbox(2, "extra");
    doubleClick(program::namesPane, 2);  // Carla, now 43 rows
    SetWindowPos(window().hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(entries(), LB_SETTOPINDEX, 3, 0);
    ASSERT_EQ(3, SendMessageA(entries(), LB_GETTOPINDEX, 0, 0));
    int y = program::entriesPane.rowHeight / 2;
    EXPECT_EQ(3, program::entriesPane.hitTest(MAKELPARAM(10, y)));
    tvtest::clickAt(entries(), 10, y);
    tvtest::pumpMessages(30);
    EXPECT_EQ(4, kindOfRow(3));
    EXPECT_EQ(3, SendMessageA(entries(), LB_GETCURSEL, 0, 0));
}

TEST_F(EntryGridTest, ToggleTwiceReturnsToTheFirstKindAndKeepsTheFirstStamp) {
    startWithExample();
    doubleClick(program::namesPane, 0);  // Ann
    NameRecord& ann = program::document.names[0];
    ASSERT_EQ(ActionOpen, ann.entries[1].kind);  // row 2, never dated
    ASSERT_STREQ("", ann.entries[1].date);

    setNow(2026, 3, 7, 0, 30);
    clickSquare(2);
    EXPECT_EQ(1, kindOfRow(2));
    EXPECT_EQ(ActionDone, ann.entries[1].kind);
    EXPECT_STREQ("03/07/26 12:30 AM", ann.entries[1].date);
    EXPECT_EQ(2, SendMessageA(entries(), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(1, program::document.modified);

    setNow(2026, 3, 8, 13, 0);
    clickSquare(2);
    EXPECT_EQ(0, kindOfRow(2));
    EXPECT_EQ(ActionOpen, ann.entries[1].kind);
    EXPECT_STREQ("03/07/26 12:30 AM", ann.entries[1].date);
    clickSquare(2);
    EXPECT_STREQ("03/07/26 12:30 AM", ann.entries[1].date);
    selectEntry(2);
    EXPECT_EQ("Done on 03/07/26 12:30 AM", statusText(0));

    // Once the date is gone (Remove date), the next check stamps anew.
    ann.entries[1].date[0] = '\0';
    clickSquare(2);  // unchecking stamps nothing
    EXPECT_STREQ("", ann.entries[1].date);
    setNow(2009, 12, 1, 12, 0);
    clickSquare(2);
    EXPECT_STREQ("12/01/09 12:00 PM", ann.entries[1].date);
}

TEST_F(EntryGridTest, ASingleCheckboxIsStampedAtItsFirstToggleEitherWay) {
    startWithExample();
    doubleClick(program::namesPane, 3);  // Dev: act2, "Brings a guest" (open), act1, act0
    NameRecord& dev = program::document.names[3];
    ASSERT_EQ(3, kindOfRow(1));
    setNow(2026, 1, 2, 9, 5);
    clickSquare(1);
    EXPECT_EQ(CheckboxDone, dev.entries[2].kind);
    EXPECT_STREQ("01/02/26 09:05 AM", dev.entries[2].date);
    dev.entries[2].date[0] = '\0';
    clickSquare(1);
    EXPECT_EQ(CheckboxOpen, dev.entries[2].kind);
    EXPECT_STREQ("01/02/26 09:05 AM", dev.entries[2].date);
}

TEST_F(EntryGridTest, ReadOnlyClicksOnlySelect) {
    startWithExample();
    doubleClick(program::namesPane, 0);
    window().enterReadOnly();
    EXPECT_EQ("Read only", statusText(1));
    EXPECT_EQ(1, program::inputDialog.readOnly);
    clickSquare(2);
    EXPECT_EQ(0, kindOfRow(2));
    EXPECT_EQ(ActionOpen, program::document.names[0].entries[1].kind);
    EXPECT_EQ(2, SendMessageA(entries(), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, program::document.modified);

    // The cursor stays the arrow over a square.
    POINT p = squareOf(2);
    SetCursor(nullptr);
    SendMessageA(entries(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    EXPECT_NE(program::entriesPane.checkboxCursor, GetCursor());
}

TEST_F(EntryGridTest, TheHandCursorShowsOverSquaresOnly) {
    startWithExample();
    doubleClick(program::namesPane, 0);
    ASSERT_NE(nullptr, program::entriesPane.checkboxCursor);
    POINT p = squareOf(0);
    SendMessageA(entries(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(program::entriesPane.checkboxCursor, GetCursor());
    SendMessageA(entries(), WM_MOUSEMOVE, 0, MAKELPARAM(60, p.y));
    EXPECT_EQ(program::entriesPane.normalCursor, GetCursor());
}

TEST_F(EntryGridTest, FocusRequestsDrawNothing) {
    startWithExample();
    doubleClick(program::namesPane, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 100, 20};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.CtlID = program::entriesPane.id;
    item.itemID = 0;
    item.itemAction = ODA_FOCUS;
    item.hwndItem = entries();
    item.hDC = dc;
    item.rcItem = all;
    program::entriesPane.drawItem(&item);
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 0, 0));
    item.itemAction = ODA_DRAWENTIRE;
    program::entriesPane.drawItem(&item);
    EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), GetPixel(dc, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// A click on the square of the row that is selected already draws the tick
// at once (and the untick), read back from the window's own pixels without
// any repaint forced by the test; the selected row shows its dotted frame.
TEST_F(EntryGridTest, TickOnTheSelectedRowIsDrawnAtOnce) {
    startWithExample();
    doubleClick(program::namesPane, 0);  // Ann: row 2 is open
    POINT p = squareOf(2);
    tvtest::clickAt(entries(), 80, p.y);  // the text: selects the row
    tvtest::pumpMessages(50);
    ASSERT_EQ(2, SendMessageA(entries(), LB_GETCURSEL, 0, 0));
    RECT r;
    SendMessageA(entries(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    auto countOf = [&](COLORREF colour, int left, int top, int right, int bottom) {
        HDC dc = GetDC(entries());
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (GetPixel(dc, x, y) == colour) ++n;
        ReleaseDC(entries(), dc);
        return n;
    };
    const COLORREF red = RGB(0xFF, 0, 0), white = RGB(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(0, countOf(red, r.left, r.top, r.left + 24, r.bottom));
    EXPECT_GT(countOf(white, r.left + 30, r.top + 1, r.right - 2, r.top + 2), 20) << "dotted frame";

    clickSquare(2);
    ASSERT_EQ(ActionDone, program::document.names[0].entries[1].kind);
    EXPECT_GT(countOf(red, r.left, r.top, r.left + 24, r.bottom), 20);
    clickSquare(2);
    ASSERT_EQ(ActionOpen, program::document.names[0].entries[1].kind);
    EXPECT_EQ(0, countOf(red, r.left, r.top, r.left + 24, r.bottom));
    tvtest::saveWindowPng(window().hwnd, "entry_grid_untick_selected");
}
