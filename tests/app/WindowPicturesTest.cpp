// Pictures of every window of the program as the user sees it, saved into
// <build>/screenshots/windows-<dpi>/ for tests/app/window-pictures.sh, which
// compares the 96-DPI ones pixel for pixel with tests/app/pictures/ and
// leaves the others for a person to look at.
#include "AppFixture.h"

#include "resource.h"

using namespace apptest;

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

}  // namespace

class WindowPictures : public AppTest {
protected:
    // The example under a fixed path: the status bar shows the path, and the
    // pictures must not depend on where the source tree is.
    void startOnFixedCopy() {
        CreateDirectoryA("C:\\pictures", nullptr);
        ASSERT_TRUE(CopyFileA(exampleFile().c_str(), "C:\\pictures\\club.tvd", FALSE));
        startWith("Tallyvane.exe C:\\pictures\\club.tvd");
        tvtest::pumpMessages(100);
    }
    // The main window's client area with no row of the pane shown selected.
    void saveMain(HWND pane, const char* name) {
        SendMessageA(pane, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        savePicture(tvtest::captureClient(window().hwnd), name);
    }
    ModalAnswerer answer;
};

TEST_F(WindowPictures, MainWindowInEachView) {
    startOnFixedCopy();
    saveMain(names(), "names");
    window().showActionItems();
    saveMain(actions(), "actions");
    doubleClick(program::actionsPane, 1);  // Signed the safety form
    ASSERT_EQ(PendingView, window().viewMode);
    saveMain(pending(), "pending");
    window().showNames();
    doubleClick(program::namesPane, 1);  // Bob Jones: one action and one checkbox ticked
    ASSERT_EQ(EntriesView, window().viewMode);
    saveMain(entries(), "entries");
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
        HideCaret(GetDlgItem(dialog, 1000));  // the caret blinks
        savePicture(tvtest::captureClient(dialog), "input_dialog");
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    window().runCommand(CMD_ADD_NAME);

    program::document.modified = 1;
    answer.then(MessageWindow::className, [](HWND box) {
        savePicture(tvtest::captureClient(box), "message_window");
        tvtest::pressKey(GetFocus(), 'C');
    });
    EXPECT_EQ(0, window().queryClose());
    program::document.modified = 0;

    SendMessageA(names(), LB_SETCURSEL, 0, 0);
    answer.then(MessageWindow::className, [](HWND box) {
        savePicture(tvtest::captureClient(box), "warning_window");
        tvtest::pressKey(GetFocus(), 'N');
    });
    window().runCommand(CMD_DELETE_SELECTED);

    answer.then(MessageWindow::className, [](HWND box) {
        tvtest::pumpUntil([] { return program::aboutWindow.linkMade == 1; });
        savePicture(tvtest::captureWindow(box), "about_window");
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    window().runCommand(CMD_ABOUT);
    EXPECT_EQ(4, answer.answered());
}
