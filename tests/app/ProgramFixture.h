// Runs the program's own start-up in the test process: the real main window
// with its panes, menus and accelerators, started as the entry function
// starts it. Every test gets a folder of its own for its files and starts
// without a settings file (the settings of whoever runs the tests are put
// aside meanwhile). Helpers seed the document, act on the panes the way input
// would (posted messages and the accelerator table, or the notifications the
// list boxes send), answer the modal windows and read what the window shows.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Program.h"
#include "tests/support/TestSupport.h"

using Strings = std::vector<std::string>;

class ProgramFixture : public ::testing::Test {
public:
    // How the program starts. EmptyDocument: SetUp starts it on an empty
    // untitled document, brought to the foreground, and dispatches what
    // start-up posted. ByTest: the test starts it with a command line
    // (start()), which returns as soon as start-up returned. Unactivated:
    // the same, shown without activation (the window pictures are of a
    // window that never had the focus), then what start-up posted is
    // dispatched.
    enum StartUp { EmptyDocument, ByTest, Unactivated };
    // One message window as the user saw it.
    struct Box {
        std::string caption;
        std::string text;
        bool operator==(const Box& o) const { return caption == o.caption && text == o.text; }
    };

    // What the window shows, and files; for the tests' own helpers too.
    static MainWindow& window() { return program::mainWindow; }
    static Document& doc() { return program::document; }
    static HWND names() { return program::namesPane.hwnd; }
    static HWND actions() { return program::actionsPane.hwnd; }
    static HWND entries() { return program::entriesPane.hwnd; }
    static HWND pending() { return program::pendingPane.hwnd; }

    // The rows of pane as "text" or "text|data" entries.
    static Strings rows(ListBoxControl* pane, bool withData = false);
    static int nameRows() { return static_cast<int>(SendMessageA(names(), LB_GETCOUNT, 0, 0)); }
    static int selection(ListBoxControl* pane);
    static std::string windowText(HWND window);
    static std::string title() { return windowText(window().hwnd); }
    static std::string viewTitle() { return windowText(program::viewBar.titleField.hwnd); }
    static std::string statusText(int part);
    // 1 when id is grayed in the main menu.
    static int grayed(int id);
    // Texts of the recent items of the File menu, top first, "(grayed)"
    // after a grayed one.
    static Strings recentItems();
    // A visible top-level message window of the thread, or null.
    static HWND findMessageWindow() { return FindWindowA("CMSGCLASS", nullptr); }
    // The text on the clipboard, or "<no text>".
    static std::string clipboardText();
    // Puts a marker text on the clipboard.
    static void setClipboard(const char* text);

    // Files.
    static std::string readAll(const std::string& path);
    static void writeAll(const std::string& path, const std::string& bytes);
    static bool exists(const std::string& path);
    // A file of the source tree as a full Windows path, the form start-up
    // gives a path named on the command line.
    static std::string sourceFile(const char* relative);
    static std::string exampleFile() { return sourceFile("examples/club.tvd"); }

protected:
    explicit ProgramFixture(StartUp startUp = EmptyDocument) : startUp_(startUp) {}
    void SetUp() override;
    void TearDown() override;

    // Starts the program on the command line "<folder>Tallyvane.exe args",
    // answering the message windows start-up shows with answers (IDOK,
    // IDYES, ...), into boxes. Without answers, a window the test did not
    // answer itself is closed after a while.
    void start(const std::string& args = "", const std::vector<int>& answers = {});
    // Starts the program on examples/club.tvd of the source tree.
    void startWithExample();
    // Closes the main window as Exit does once "Save data?" was settled
    // (writing the settings file as Exit does).
    void stop();

    // Names, then action items (every name gets an entry for each), straight
    // into the document; shows the Names view. Returns the name slots.
    std::vector<int> seed(const std::vector<const char*>& names, const std::vector<const char*>& actions);
    // Gives the open document a change of its own, unsaved.
    static void edit(const char* name = "Bob Jones");

    // Dispatches messages for ms, translating accelerators as the main loop
    // does; without ms, until the program is idle: nothing came for a short
    // while (posted keys and what they post in turn are all handled), at most
    // a second.
    static void runLoop(DWORD ms = 0);
    // A key press to the shown pane, through the accelerator table.
    static void pressKey(UINT vk);
    // Ctrl+key, with the Ctrl key held in the keyboard state.
    static void pressCtrlKey(UINT vk);
    // Alt+key, with the Alt key held in the keyboard state.
    static void pressAltKey(UINT vk);
    static void pressWithModifier(UINT vk, UINT modifier, bool system);
    // Double click and right click with the mouse on row of pane (client
    // point in the row's middle).
    static void doubleClickRow(ListBoxControl* pane, int row);
    static void rightClickRow(ListBoxControl* pane, int row);
    static void selectRow(ListBoxControl* pane, int row);
    // A double click on row of pane as the list box reports it to the window
    // (LBN_DBLCLK), handled before this returns.
    static void doubleClick(ListBoxControl& pane, int row);
    // Selects row of the entries pane as the list box reports it.
    static void selectEntry(int row);
    // Presses "<<" as the view bar reports it.
    static void pressBack();
    // Client point of the checkbox square of row in the entries pane, and a
    // click with the mouse at x on that row.
    static POINT squareOf(int row);
    static void clickSquare(int row, int x = 10);
    // Posts a drop of paths to the main window in a block of the shell's own
    // layout, as a drag from Explorer does, and dispatches messages until
    // the window has handled it (the window frees the block).
    static void drop(const std::vector<std::string>& paths);

    // A message-window step: notes caption and text in boxes, then clicks
    // the button that gives result (IDOK, IDYES, IDNO, IDCANCEL).
    ModalAnswerer::Step answerWith(int result);
    // Answer steps for the input dialog and the message windows.
    static ModalAnswerer::Step typeAndConfirm(const char* text);
    static ModalAnswerer::Step replaceAndConfirm(const char* text);
    static ModalAnswerer::Step cancelPrompt();
    static ModalAnswerer::Step pressButtonKey(UINT vk);
    // Copies the prompt's caption, prompt and initial text before answering.
    struct PromptSeen {
        std::string caption;
        std::string prompt;
        std::string text;
    };
    static ModalAnswerer::Step recordPrompt(PromptSeen* seen, ModalAnswerer::Step then);
    static ModalAnswerer::Step recordBox(std::string* text, std::string* caption, ModalAnswerer::Step then);

    // A data file of one action item and one person who has done it.
    static const char kClub[];

    std::string folder;     // the test's own folder, ending in a backslash; emptied after the test
    std::string settings;   // the settings file the program reads at start-up and writes at exit
    std::vector<Box> boxes; // the message windows answerWith answered

private:
    StartUp startUp_;
    bool keptSettings_ = false;
};

std::ostream& operator<<(std::ostream& out, const ProgramFixture::Box& box);

// The suites that start the program themselves: the main window's files,
// and start-up, the views and the pictures (never activated).
class MainWindowFilesTest : public ProgramFixture {
protected:
    MainWindowFilesTest() : ProgramFixture(ByTest) {}
};

class AppTest : public ProgramFixture {
protected:
    AppTest() : ProgramFixture(Unactivated) {}
};
