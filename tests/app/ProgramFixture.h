// Runs the program's own start-up in the test process for each test: the
// real main window with its panes, menus and accelerators, on an empty
// untitled document. Helpers seed the document and act on the panes the way
// input would, through posted messages and the accelerator table.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Program.h"
#include "tests/support/TestSupport.h"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    MainWindow& window() { return program::mainWindow; }
    Document& doc() { return program::document; }

    // Names, then action items (every name gets an entry for each), straight
    // into the document; shows the Names view. Returns the name slots.
    std::vector<int> seed(const std::vector<const char*>& names, const std::vector<const char*>& actions);

    // Dispatches messages for ms, translating accelerators as the main loop
    // does; without ms, until the program is idle: nothing came for a short
    // while (posted keys and what they post in turn are all handled), at most
    // a second.
    void runLoop(DWORD ms = 0);
    // A key press to the shown pane, through the accelerator table.
    void pressKey(UINT vk);
    // Ctrl+key, with the Ctrl key held in the keyboard state.
    void pressCtrlKey(UINT vk);
    // Alt+key, with the Alt key held in the keyboard state.
    void pressAltKey(UINT vk);
    void pressWithModifier(UINT vk, UINT modifier, bool system);
    // Double click and right click on row of pane (client point in the row's middle).
    void doubleClickRow(ListBoxControl* pane, int row);
    void rightClickRow(ListBoxControl* pane, int row);
    void selectRow(ListBoxControl* pane, int row);

    // The settings file the program reads at start-up and writes at exit.
    static std::string settingsFile();

    // The rows of pane as "text" or "text|data" entries.
    static std::vector<std::string> rows(ListBoxControl* pane, bool withData = false);
    static int selection(ListBoxControl* pane);
    std::string statusText(int part);
    std::string title();
    // 1 when id is grayed in the main menu.
    int grayed(int id);
    // The text on the clipboard, or "<no text>".
    static std::string clipboardText();
    // Puts a marker text on the clipboard.
    static void setClipboard(const char* text);

    // Answer steps for the modal windows.
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

private:
    bool keptSettings_ = false;
};
