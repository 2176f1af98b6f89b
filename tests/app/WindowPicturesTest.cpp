// Pictures of every window of the program as the user sees it, saved into
// <build>/screenshots/windows-<dpi>/ for tests/app/window-pictures.sh, which
// compares the 96-DPI ones pixel for pixel with tests/app/pictures/ and
// leaves the others for a person to look at. At every DPI each window's
// layout is checked as it is pictured: every child inside its parent, no two
// children overlapping, every text inside its box.
#include "tests/app/ProgramFixture.h"

#include <commctrl.h>

#include <cstring>

#include "framework/Dpi.h"
#include "app/grid/GridPainter.h"
#include "resource.h"

namespace {

// The display's DPI, as the program's windows are laid out for it.
int screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::string pictureFolder() {
    std::string folder = tvtest::screenshotFolder() + "\\windows-" + std::to_string(screenDpi());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void savePicture(const tvtest::Image& image, const char* name) {
    EXPECT_TRUE(tvtest::savePng(image, pictureFolder() + "\\" + name + ".png")) << name;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool overlap(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != 0;
}

// Rectangle of child in parent's client coordinates.
RECT rectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Extent of text in window's font (the system font when it has none).
SIZE textExtent(HWND window, const char* text) {
    SIZE size = {};
    HDC dc = GetDC(window);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size;
}

// Every visible child of parent lies inside its client area, no two overlap,
// and the text of each button and field fits its client area.
void checkChildren(HWND parent, const char* where, Dpi dpi) {
    RECT client;
    GetClientRect(parent, &client);
    std::vector<std::pair<HWND, RECT>> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r = rectIn(parent, child);
        char text[256] = "";
        GetWindowTextA(child, text, sizeof text);
        EXPECT_TRUE(inside(r, client)) << where << ": \"" << text << "\" " << describe(r) << " outside "
                                       << describe(client);
        for (auto& other : children)
            EXPECT_FALSE(overlap(r, other.second)) << where << ": \"" << text << "\" " << describe(r)
                                                   << " overlaps " << describe(other.second);
        children.emplace_back(child, r);
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (text[0] && (!lstrcmpiA(className, "Button") || !lstrcmpiA(className, "Edit"))) {
            RECT box;
            GetClientRect(child, &box);
            SIZE extent = textExtent(child, text);
            // "<<" has always been a pixel wider than its button; its ink fits.
            const int slack = dpi(1);
            EXPECT_LE(extent.cx, box.right + slack) << where << ": \"" << text << "\" is wider than its box";
            EXPECT_LE(extent.cy, box.bottom) << where << ": \"" << text << "\" is taller than its box";
        }
    }
}

// The text lines of a message window inside its text band, the band and
// the icon inside the client area and apart from each other and the buttons.
void checkMessageBox(HWND box, MessageWindow& shown, const char* where) {
    checkChildren(box, where, shown.dpi);
    RECT client;
    GetClientRect(box, &client);
    EXPECT_TRUE(inside(shown.textRect, client)) << where << ": text band " << describe(shown.textRect);
    const Dpi dpi = shown.dpi;
    const int textTop = shown.textRect.top + dpi(3);
    EXPECT_LE(textTop + shown.lineCount * shown.lineHeight, shown.textRect.bottom) << where;
    EXPECT_LE(shown.maxLineWidth, shown.textRect.right - shown.textRect.left) << where;
    if (shown.icon) {
        const int size = dpi(32);
        const int top = shown.textRect.top + (shown.textRect.bottom - shown.textRect.top) / 2 - size / 2;
        RECT icon = {dpi(16), top, dpi(16) + size, top + size};
        EXPECT_TRUE(inside(icon, client)) << where << ": icon " << describe(icon);
        EXPECT_FALSE(overlap(icon, shown.textRect)) << where << ": icon " << describe(icon);
    }
    for (int i = 0; i < MessageWindow::buttonCount; ++i)
        EXPECT_FALSE(overlap(rectIn(box, MessageWindow::buttons[i].hwnd), shown.textRect)) << where;
}

}  // namespace

class WindowPictures : public AppTest {
protected:
    // The example under a fixed path: the status bar shows the path, and the
    // pictures must not depend on where the source tree is.
    void startOnFixedCopy() {
        CreateDirectoryA("C:\\pictures", nullptr);
        ASSERT_TRUE(CopyFileA(exampleFile().c_str(), "C:\\pictures\\club.tvd", FALSE));
        start("C:\\pictures\\club.tvd");
        tvtest::pumpMessages(100);
    }
    // The main window's client area with no row of the pane shown selected.
    void saveMain(HWND pane, const char* name) {
        SendMessageA(pane, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        // The Pending list selects several rows and refuses LB_SETCURSEL.
        SendMessageA(pane, LB_SETSEL, FALSE, -1);
        savePicture(tvtest::captureClient(window().hwnd), name);
    }
    ModalAnswerer answer;
};

// Bands of the main window, the view bar's controls, the status bar's texts
// and the entries pane's rows.
void checkMainWindow(const char* where) {
    MainWindow& w = program::mainWindow;
    checkChildren(w.hwnd, where, w.dpi);
    checkChildren(program::viewBar.hwnd, where, w.dpi);
    // The title fits the field's height.
    RECT field;
    GetClientRect(program::viewBar.titleField.hwnd, &field);
    EXPECT_LE(textExtent(program::viewBar.titleField.hwnd, "Names").cy, field.bottom) << where;
    HWND status = program::statusBar.hwnd;
    for (int part = 0; part < 2; ++part) {
        RECT r;
        SendMessageA(status, SB_GETRECT, part, reinterpret_cast<LPARAM>(&r));
        std::string text = ProgramFixture::statusText(part);
        if (text.empty()) text = "Wy";
        SIZE extent = textExtent(status, text.c_str());
        EXPECT_LE(extent.cy, r.bottom - r.top) << where << ": status part " << part;
    }
    // A row holds its text and its checkbox square, which the click finds.
    const int rowHeight = program::entriesPane.rowHeight;
    EXPECT_EQ(rowHeight, SendMessageA(program::entriesPane.hwnd, LB_GETITEMHEIGHT, 0, 0)) << where;
    EXPECT_LE(textExtent(program::entriesPane.hwnd, "Wy").cy, rowHeight - 2 * w.dpi(1)) << where;
    RECT row = {0, 0, 200, rowHeight};
    const Dpi dpi = program::entriesPane.dpi;
    EXPECT_TRUE(GridPainter::onSquare(row, dpi(10), rowHeight / 2, dpi)) << where;
    EXPECT_LT(dpi(18), dpi(GridPainter::TextIndent)) << where << ": the square runs into the text";
}

TEST_F(WindowPictures, MainWindowInEachView) {
    startOnFixedCopy();
    checkMainWindow("Names view");
    saveMain(names(), "names");
    window().showActionItems();
    saveMain(actions(), "actions");
    doubleClick(program::actionsPane, 1);  // Signed the safety form
    ASSERT_EQ(PendingView, window().viewMode);
    saveMain(pending(), "pending");
    window().showNames();
    doubleClick(program::namesPane, 1);  // Bob Jones: one action and one checkbox ticked
    ASSERT_EQ(EntriesView, window().viewMode);
    checkMainWindow("Entries view");
    saveMain(entries(), "entries");

    // A click on the square of the open "Returned the key", where it is at this DPI.
    ASSERT_EQ(0, SendMessageA(entries(), LB_GETITEMDATA, 0, 0));
    clickSquare(0, window().dpi(10));
    EXPECT_EQ(1, SendMessageA(entries(), LB_GETITEMDATA, 0, 0));
    program::mainWindow.history.markSaved();
}

TEST_F(WindowPictures, ViewMenu) {
    startOnFixedCopy();
    bool shown = false;
    answer.then("#32768", [&](HWND menu) {
        tvtest::pumpMessages(100);
        savePicture(tvtest::captureWindow(menu), "menu_view");
        shown = true;
        EndMenu();
    });
    PostMessageA(window().hwnd, WM_SYSCOMMAND, SC_KEYMENU, 'v');
    EXPECT_TRUE(tvtest::pumpUntil([&] { return shown; }));
    tvtest::pumpMessages(100);
}

TEST_F(WindowPictures, Boxes) {
    startOnFixedCopy();
    answer.then("#32770", [](HWND dialog) {
        // The prompt, painted above the field, stays clear of it.
        const Dpi dpi = Dpi::of(dialog);
        checkChildren(dialog, "input dialog", dpi);
        SIZE prompt = textExtent(dialog, "New name to add:");
        RECT promptRect = {dpi(16), dpi(10), dpi(16) + prompt.cx, dpi(10) + prompt.cy};
        EXPECT_FALSE(overlap(promptRect, rectIn(dialog, GetDlgItem(dialog, 1000)))) << describe(promptRect);
        HideCaret(GetDlgItem(dialog, 1000));  // the caret blinks
        savePicture(tvtest::captureClient(dialog), "input_dialog");
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    window().runCommand(CMD_ADD_NAME);

    program::mainWindow.history.clearUnsaved();
    answer.then(MessageWindow::className, [](HWND box) {
        checkMessageBox(box, program::messageWindow, "message window");
        savePicture(tvtest::captureClient(box), "message_window");
        tvtest::pressKey(GetFocus(), 'C');
    });
    EXPECT_EQ(0, window().queryClose());
    program::mainWindow.history.markSaved();

    SendMessageA(names(), LB_SETCURSEL, 0, 0);
    answer.then(MessageWindow::className, [](HWND box) {
        checkMessageBox(box, program::warningWindow, "warning window");
        savePicture(tvtest::captureClient(box), "warning_window");
        tvtest::pressKey(GetFocus(), 'N');
    });
    window().runCommand(CMD_DELETE_SELECTED);

    answer.then(MessageWindow::className, [](HWND box) {
        tvtest::pumpUntil([] { return program::aboutWindow.linkMade == 1; });
        AboutWindow& about = program::aboutWindow;
        checkChildren(box, "about window", about.dpi);
        // The lines, the link and the button inside the ellipse's box, the
        // button and the link inside the ellipse itself.
        EXPECT_LE(about.maxLineWidth, about.boxWidth - 2 * about.maxCharWidth);
        RECT button = rectIn(box, MessageWindow::buttons[0].hwnd);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(box, region);
        EXPECT_TRUE(PtInRegion(region, button.left, button.top) && PtInRegion(region, button.right - 1, button.bottom - 1));
        EXPECT_TRUE(PtInRegion(region, about.linkRect.left, about.linkRect.top) &&
                    PtInRegion(region, about.linkRect.right - 1, about.linkRect.bottom - 1));
        DeleteObject(region);
        EXPECT_FALSE(overlap(button, about.linkRect));
        savePicture(tvtest::captureWindow(box), "about_window");
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    window().runCommand(CMD_ABOUT);
    EXPECT_EQ(4, answer.answered());
}

// WM_DPICHANGED as Windows sends it when the window moves to a monitor of
// twice the DPI and back: font, bands and rows follow, the window takes the
// suggested rectangle, the view, selection and scroll stay, and back at the
// first DPI the window looks exactly as before.
TEST_F(WindowPictures, MovingToAMonitorOfAnotherDpiAndBack) {
    startOnFixedCopy();
    doubleClick(program::namesPane, 1);  // Bob Jones
    SendMessageA(entries(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    const tvtest::Image before = tvtest::captureClient(window().hwnd);
    const std::string status = statusText(0);
    const Dpi first = window().dpi;
    const int barHeight = window().barHeight, rowHeight = program::entriesPane.rowHeight;
    SendMessageA(entries(), LB_SETCURSEL, 2, 0);

    auto move = [&](Dpi dpi, RECT suggested) {
        SendMessageA(window().hwnd, Dpi::changedMessage, MAKEWPARAM(dpi.value(), dpi.value()),
                     reinterpret_cast<LPARAM>(&suggested));
        tvtest::pumpMessages(50);
        RECT now;
        GetWindowRect(window().hwnd, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << describe(now);
        EXPECT_EQ(dpi, window().dpi);
        EXPECT_EQ(EntriesView, window().viewMode);
        EXPECT_EQ("Bob Jones", viewTitle());
        EXPECT_EQ(2, SendMessageA(entries(), LB_GETCURSEL, 0, 0));
    };
    RECT original;
    GetWindowRect(window().hwnd, &original);
    const Dpi twice(2 * first.value());
    move(twice, {0, 0, original.right - original.left + 200, original.bottom - original.top + 200});
    EXPECT_GT(window().barHeight, barHeight + barHeight / 2);
    EXPECT_GT(program::entriesPane.rowHeight, rowHeight + rowHeight / 2);
    EXPECT_NE(0, SendMessageA(names(), WM_GETFONT, 0, 0));
    checkMainWindow("at twice the DPI");
    // Beside the pictures, not among them: the references are the pictures only.
    EXPECT_TRUE(tvtest::savePng(tvtest::captureClient(window().hwnd), pictureFolder() + "-moved-to-" +
                                                                          std::to_string(twice.value()) + ".png"));
    ASSERT_EQ(4, SendMessageA(entries(), LB_GETITEMDATA, 2, 0));  // Parking permit, ticked
    clickSquare(2, twice(10));
    EXPECT_EQ(3, SendMessageA(entries(), LB_GETITEMDATA, 2, 0));
    clickSquare(2, twice(10));
    program::mainWindow.history.markSaved();

    move(first, original);
    EXPECT_EQ(barHeight, window().barHeight);
    EXPECT_EQ(rowHeight, program::entriesPane.rowHeight);
    // The list's default font on a 96-DPI system, the window's own above it.
    EXPECT_EQ(reinterpret_cast<LRESULT>(window().font.scaled() ? window().font.handle() : nullptr),
              SendMessageA(names(), WM_GETFONT, 0, 0));
    SendMessageA(entries(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    program::statusBar.setStatusText(0, status.c_str());  // the clicks showed a date there
    const tvtest::Image after = tvtest::captureClient(window().hwnd);
    EXPECT_TRUE(before.width == after.width && before.height == after.height && before.pixels == after.pixels);
}
