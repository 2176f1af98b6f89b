// Starts the real program in the test's process (main window, panes, status
// bar) and takes it down again after each test.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "app/PaneLayout.h"
#include "document/EntryRows.h"
#include "app/Program.h"
#include "tests/support/TestSupport.h"

namespace apptest {

// Text and item data of every row of a list box.
using Rows = std::vector<std::pair<std::string, LPARAM>>;

inline Rows rowsOf(HWND list) {
    Rows rows;
    int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[512] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text, SendMessageA(list, LB_GETITEMDATA, i, 0));
    }
    return rows;
}

inline std::string windowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string statusText(int part) {
    char text[512] = "";
    SendMessageA(program::statusBar.hwnd, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

// A file of the source tree as a full Windows path, the form start-up gives
// a path named on the command line.
inline std::string sourceFile(const char* relative) {
    std::string path = std::string("Z:") + TV_SOURCE_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// The example data file.
inline std::string exampleFile() { return sourceFile("examples/club.tvd"); }

// A visible top-level message window of the thread, or null.
inline HWND findMessageWindow() { return FindWindowA("CMSGCLASS", nullptr); }

class AppTest : public ::testing::Test {
protected:
    // A settings file that an earlier run left in the test prefix would name
    // the file to open at start-up; every test starts without one.
    void SetUp() override {
        char appData[MAX_PATH] = "";
        SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
        DeleteFileA((std::string(appData) + "\\Vantorell\\Tallyvane\\Tallyvane.ini").c_str());
    }

    // Starts the program with commandLine ("prog" alone: no data file).
    void startWith(const std::string& commandLine) {
        ASSERT_EQ(1, program::start(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE, commandLine.c_str()));
        tvtest::pumpMessages(50);
    }
    void startWithExample() { startWith("Tallyvane.exe \"" + exampleFile() + "\""); }

    void TearDown() override {
        program::mainWindow.history.markSaved();
        program::mainWindow.writeSettingsOnExit = 0;
        if (program::mainWindow.hwnd) DestroyWindow(program::mainWindow.hwnd);
        // Take the quit message that destruction posted, so it ends no later loop.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    MainWindow& window() { return program::mainWindow; }
    HWND names() { return program::namesPane.hwnd; }
    HWND actions() { return program::actionsPane.hwnd; }
    HWND entries() { return program::entriesPane.hwnd; }
    HWND pending() { return program::pendingPane.hwnd; }
    std::string viewTitle() { return windowText(program::viewBar.titleField.hwnd); }

    // A double click on row of pane, as the list box reports it to the window.
    void doubleClick(ListBoxControl& pane, int row) {
        if (GetWindowLongA(pane.hwnd, GWL_STYLE) & LBS_EXTENDEDSEL) {
            SendMessageA(pane.hwnd, LB_SETSEL, FALSE, -1);
            SendMessageA(pane.hwnd, LB_SETSEL, TRUE, row);
            SendMessageA(pane.hwnd, LB_SETCARETINDEX, row, FALSE);
        } else {
            SendMessageA(pane.hwnd, LB_SETCURSEL, row, 0);
        }
        SendMessageA(window().hwnd, WM_COMMAND, MAKEWPARAM(pane.id, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(pane.hwnd));
    }
    void selectEntry(int row) {
        SendMessageA(entries(), LB_SETCURSEL, row, 0);
        SendMessageA(window().hwnd, WM_COMMAND, MAKEWPARAM(program::entriesPane.id, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(entries()));
    }
    void pressBack() {
        SendMessageA(program::viewBar.hwnd, WM_COMMAND, MAKEWPARAM(5009, BN_CLICKED),
                     reinterpret_cast<LPARAM>(program::viewBar.backButton.hwnd));
    }
    // Client point of the checkbox square of row in the entries pane.
    POINT squareOf(int row) {
        RECT r;
        SendMessageA(entries(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return {10, (r.top + r.bottom) / 2};
    }
    void clickSquare(int row, int x = 10) {
        POINT p = squareOf(row);
        tvtest::clickAt(entries(), x, p.y);
        tvtest::pumpMessages(30);
    }
};

}  // namespace apptest
