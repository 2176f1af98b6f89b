// Start-up, the title, the panes' styles and colours, and the layout.
#include "tests/app/ProgramFixture.h"

#include <commctrl.h>

#include "app/PaneLayout.h"
#include "tests/support/Screenshot.h"

TEST_F(AppTest, StartsUntitledAndEmptyWithoutAFile) {
    start("");
    EXPECT_EQ("Untitled - Tallyvane", title());
    EXPECT_EQ(0, SendMessageA(names(), LB_GETCOUNT, 0, 0));
    EXPECT_EQ(nullptr, findMessageWindow());
    EXPECT_EQ(NamesView, window().viewMode);
    EXPECT_TRUE(IsWindowVisible(names()));
    EXPECT_NE(nullptr, window().accelerators);
}

TEST_F(AppTest, StartsWithTheExampleFileInTheNamesView) {
    startWithExample();
    EXPECT_EQ("club.tvd - Tallyvane", title());
    Strings expected = {"Ann Smith|0", "Bob Jones|1", "Carla Diaz|2", "Dev Patel|3"};
    EXPECT_EQ(expected, rows(&program::namesPane, true));
    EXPECT_EQ("Names", viewTitle());
    EXPECT_EQ(exampleFile(), statusText(0));
    EXPECT_EQ("", statusText(1));
    EXPECT_EQ(nullptr, findMessageWindow());
}

TEST_F(AppTest, AMissingFileIsReportedAndLeavesAnUntitledDocument) {
    std::string captured;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", [&](HWND box) {
        captured = windowText(box) + "|" + (program::messageWindow.message ? program::messageWindow.message : "");
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    start("Z:\\no\\such\\file.tvd");
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ("Z:\\no\\such\\file.tvd|Failed to open the existing file", captured);
    EXPECT_EQ("Untitled - Tallyvane", title());
}

// The reader's message about a damaged file comes up while the Names list is
// being filled; the names read so far are painted behind it.
TEST_F(AppTest, TheNamesArePaintedBehindTheMessageAboutADamagedFile) {
    std::string file = sourceFile("tests/cli/data/damaged.tvd");
    std::string captured;
    int whitePixels = 0;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", [&](HWND) {
        captured = program::messageWindow.message ? program::messageWindow.message : "";
        tvtest::Image pane = tvtest::captureWindow(names());
        RECT row = {};
        SendMessageA(names(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        POINT origin = {0, 0};
        ClientToScreen(names(), &origin);
        RECT frame;
        GetWindowRect(names(), &frame);
        for (int y = row.top; y < row.bottom; ++y)
            for (int x = row.left; x < row.right; ++x)
                if (pane.pixel(x + origin.x - frame.left, y + origin.y - frame.top) == MainWindow::White) ++whitePixels;
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    start("\"" + file + "\"");
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ("Data file is corrupt - Err# 4", captured);
    EXPECT_GT(whitePixels, 10);  // the text of "Ann"
    EXPECT_EQ("Read only", statusText(1));
}

TEST_F(AppTest, PaneStylesAndClasses) {
    startWithExample();
    // WS_VSCROLL comes and goes with the scroll bar, so it is not compared.
    const DWORD common = WS_CHILD | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;
    struct { HWND pane; DWORD more; } cases[] = {
        {names(), LBS_SORT},
        {actions(), 0},
        {entries(), LBS_OWNERDRAWFIXED | LBS_HASSTRINGS},
        {pending(), LBS_SORT | LBS_EXTENDEDSEL},
    };
    for (auto& c : cases) {
        DWORD style = static_cast<DWORD>(GetWindowLongA(c.pane, GWL_STYLE));
        EXPECT_EQ(common | c.more,
                  style & (common | c.more | LBS_SORT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL));
        EXPECT_TRUE(GetWindowLongA(c.pane, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(window().hwnd, GetParent(c.pane));
    }
    char name[64];
    GetClassNameA(window().hwnd, name, sizeof name);
    EXPECT_STREQ("MainClass", name);
    EXPECT_NE(nullptr, GetMenu(window().hwnd));
}

TEST_F(AppTest, EveryPaneAsksForWhiteOnNavy) {
    startWithExample();
    HWND panes[] = {names(), actions(), entries(), pending()};
    for (HWND pane : panes) {
        HDC dc = GetDC(pane);
        LRESULT brush = SendMessageA(window().hwnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(pane));
        EXPECT_EQ(reinterpret_cast<LRESULT>(window().listBrush.get()), brush);
        EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), GetTextColor(dc));
        EXPECT_EQ(RGB(0, 0, 0x80), GetBkColor(dc));
        ReleaseDC(pane, dc);
    }
    LOGBRUSH lb = {};
    GetObjectA(window().listBrush, sizeof lb, &lb);
    EXPECT_EQ(RGB(0, 0, 0x80), lb.lbColor);
}

namespace {

// The current pane must fill exactly the space between bar and status bar.
void expectPaneFills(MainWindow& w) {
    RECT client, pane, status;
    GetClientRect(w.hwnd, &client);
    GetWindowRect(w.currentPane->hwnd, &pane);
    MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&pane), 2);
    GetWindowRect(program::statusBar.hwnd, &status);
    MapWindowPoints(nullptr, w.hwnd, reinterpret_cast<POINT*>(&status), 2);
    EXPECT_EQ(0, pane.left);
    EXPECT_EQ(client.right, pane.right);
    EXPECT_EQ(w.barHeight, pane.top);
    EXPECT_EQ(status.top, pane.bottom);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_TRUE(IsWindowVisible(w.currentPane->hwnd));
}

}  // namespace

TEST_F(AppTest, PanesFillTheSpaceBetweenBarAndStatusBar) {
    startWithExample();
    expectPaneFills(window());
    SetWindowPos(window().hwnd, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    expectPaneFills(window());
    window().showActionItems();
    expectPaneFills(window());
    EXPECT_FALSE(IsWindowVisible(names()));
    SetWindowPos(window().hwnd, nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER);
    doubleClick(program::actionsPane, 0);
    expectPaneFills(window());
    EXPECT_EQ(PendingView, window().viewMode);
}

TEST_F(AppTest, AMinimisedSizeGivesThePaneNoHeight) {
    startWithExample();
    SendMessageA(window().hwnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    RECT pane;
    GetWindowRect(names(), &pane);
    EXPECT_EQ(0, pane.bottom - pane.top);
    EXPECT_EQ(0, pane.right - pane.left);
    SendMessageA(window().hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 10));
    GetWindowRect(names(), &pane);
    EXPECT_EQ(0, pane.bottom - pane.top);
    EXPECT_EQ(300, pane.right - pane.left);
}

TEST_F(AppTest, StatusPartsKeepPartOneAtFourteenCharacters) {
    startWithExample();
    HDC dc = GetDC(window().hwnd);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(program::statusBar.hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(window().hwnd, dc);
    int a = tm.tmAveCharWidth;
    for (int width : {400, 900}) {
        SetWindowPos(window().hwnd, nullptr, 0, 0, width, 400, SWP_NOMOVE | SWP_NOZORDER);
        RECT bar;
        GetWindowRect(program::statusBar.hwnd, &bar);
        int edges[2] = {};
        EXPECT_EQ(2, SendMessageA(program::statusBar.hwnd, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)));
        EXPECT_EQ(bar.right - bar.left - 2 * a, edges[1]) << width;
        EXPECT_EQ(edges[1] - 14 * a, edges[0]) << width;
    }
}

TEST(PaneLayout, NeverGivesANegativeHeight) {
    EXPECT_EQ(0, PaneLayout::compute(0, 28, true, 20).paneHeight);
    EXPECT_EQ(0, PaneLayout::compute(40, 28, true, 20).paneHeight);
    EXPECT_EQ(52, PaneLayout::compute(100, 28, true, 20).paneHeight);
    EXPECT_EQ(28, PaneLayout::compute(100, 28, true, 20).paneTop);
    EXPECT_EQ(80, PaneLayout::compute(100, 28, false, 20).paneHeight);
}

TEST(StatusBarEdges, LastPartEndsTwoCharactersBeforeTheRightEnd) {
    std::vector<int> edges;
    StatusBar::computeEdges(800, 7, {7, 14}, edges);
    ASSERT_EQ(2u, edges.size());
    EXPECT_EQ(800 - 14, edges[1]);
    EXPECT_EQ(800 - 14 - 98, edges[0]);
}

TEST_F(AppTest, ClosingWithoutChangesAsksNothing) {
    startWithExample();
    ModalAnswerer answer;
    answer.then([](HWND) {});
    SendMessageA(window().hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, window().hwnd);
    EXPECT_EQ(0, answer.answered());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(AppTest, UnsavedChangesAskSaveDataAndCancelKeepsTheWindow) {
    startWithExample();
    program::mainWindow.history.clearUnsaved();
    std::string captured;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", [&](HWND box) {
        captured = windowText(box) + "|" + program::messageWindow.message;
        tvtest::clickButton(tvtest::findChild(box, "&Cancel"));
    });
    SendMessageA(window().hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ("Tallyvane|Save data?", captured);
    EXPECT_TRUE(IsWindow(window().hwnd));

    ModalAnswerer again;
    again.then("CMSGCLASS", [&](HWND box) { tvtest::clickButton(tvtest::findChild(box, "&Cancel")); });
    EXPECT_EQ(0, SendMessageA(window().hwnd, WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(1, again.answered());

    ModalAnswerer no;
    no.then("CMSGCLASS", [&](HWND box) { tvtest::clickButton(tvtest::findChild(box, "&No")); });
    SendMessageA(window().hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, no.answered());
    EXPECT_EQ(nullptr, window().hwnd);
}

namespace {
// A frame without bar or panes yet, as during its own creation.
class BareFrame : public FrameWindow {};
}  // namespace

TEST(FrameWindow, SizeEventsBeforeBarAndPaneExistDoNoHarm) {
    BareFrame frame;
    frame.OnSize(SIZE_RESTORED, MAKELPARAM(320, 200));
    EXPECT_EQ(320, frame.clientWidth);
    EXPECT_EQ(200, frame.clientHeight);
    frame.layoutPanes();

    ViewBar bar;
    ListBoxControl pane;
    frame.buttonBar = &bar;
    frame.currentPane = &pane;  // neither has a window yet
    frame.OnSize(SIZE_RESTORED, MAKELPARAM(0, 0));
    EXPECT_EQ(nullptr, pane.hwnd);
}
