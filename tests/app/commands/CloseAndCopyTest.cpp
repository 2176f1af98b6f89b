// "Save data?" on New, Exit, closing the window and the end of the session;
// Copy to clipboard in each view, read back from the real clipboard.
#include <cstdio>
#include <fstream>

#include "tests/app/ProgramFixture.h"
#include "resource.h"

namespace {

using Closing = ProgramFixture;
using Copying = ProgramFixture;

TEST_F(Closing, ExitWithUnsavedChangesAsksAndNoExitsWithoutSaving)
{
    seed({"Ann"}, {});
    window().history.clearUnsaved();
    std::string text, caption;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", recordBox(&text, &caption, pressButtonKey('N')));
    window().runCommand(CMD_EXIT);
    EXPECT_EQ("Save data?", text);
    EXPECT_EQ("Tallyvane", caption);
    EXPECT_EQ(nullptr, window().hwnd);
}

TEST_F(Closing, CancelKeepsTheWindowAndTheChanges)
{
    seed({"Ann"}, {});
    window().history.clearUnsaved();
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('C'));
        pressAltKey('X');
        EXPECT_EQ(1, answer.answered());
    }
    ASSERT_TRUE(IsWindow(window().hwnd));
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('C'));
        SendMessageA(window().hwnd, WM_CLOSE, 0, 0);
        EXPECT_EQ(1, answer.answered());
    }
    ASSERT_TRUE(IsWindow(window().hwnd));
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('C'));
        EXPECT_EQ(0, SendMessageA(window().hwnd, WM_QUERYENDSESSION, 0, 0));
    }
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('N'));
        EXPECT_EQ(1, SendMessageA(window().hwnd, WM_QUERYENDSESSION, 0, 0));
    }
    EXPECT_TRUE(IsWindow(window().hwnd));
    EXPECT_EQ(1, doc().modified);
    EXPECT_EQ(1, doc().namesCount);
}

TEST_F(Closing, ClosingTheWindowAsksAndNoDestroysIt)
{
    window().history.clearUnsaved();
    ModalAnswerer answer;
    answer.then("CMSGCLASS", pressButtonKey('N'));
    PostMessageA(window().hwnd, WM_CLOSE, 0, 0);
    runLoop(300);
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ(nullptr, window().hwnd);
}

// After a minimise and restore the frame itself holds the focus; the system
// keys reach it and must still close it the usual way.
TEST_F(Closing, AltF4OnTheFrameAfterMinimiseAsksAndCloses)
{
    window().history.clearUnsaved();
    ShowWindow(window().hwnd, SW_MINIMIZE);
    ShowWindow(window().hwnd, SW_RESTORE);
    SetFocus(window().hwnd);
    std::string text, caption;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", recordBox(&text, &caption, pressButtonKey('N')));
    tvtest::pressAltKey(window().hwnd, VK_F4);
    runLoop(300);
    EXPECT_EQ("Save data?", text);
    EXPECT_EQ(nullptr, window().hwnd);
}

TEST_F(Closing, YesSavesToTheOpenFileBeforeExit)
{
    seed({"Ann"}, {"Dues"});
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    lstrcatA(path, "tv-commands-exit.tvd");
    DeleteFileA(path);
    window().session.bindTo(path);
    window().history.clearUnsaved();
    ModalAnswerer answer;
    answer.then("CMSGCLASS", pressButtonKey('Y'));
    window().runCommand(CMD_EXIT);
    EXPECT_EQ(nullptr, window().hwnd);
    std::ifstream saved(path);
    std::string all((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, all.find("Ann"));
    EXPECT_NE(std::string::npos, all.find("Dues"));
    saved.close();
    DeleteFileA(path);
}

TEST_F(Closing, NewClearsTheModifiedFlagSoAnEmptyDocumentNeverAsks)
{
    seed({"Ann"}, {"Dues"});
    window().showActionItems();
    window().history.clearUnsaved();
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('C'));
        pressCtrlKey('N');
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ(1, doc().namesCount);
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('N'));
        pressCtrlKey('N');
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ(0, doc().namesCount);
    EXPECT_EQ(0, doc().modified);
    EXPECT_EQ(NamesView, window().viewMode);
    EXPECT_EQ(-1, window().savedNamesRow);
    EXPECT_EQ(-1, window().savedActionsRow);
    EXPECT_EQ("Untitled - Tallyvane", title());
    {
        ModalAnswerer answer(20, 1000);
        answer.then("CMSGCLASS", pressButtonKey('C'));
        window().runCommand(CMD_EXIT);
        EXPECT_EQ(0, answer.answered());
    }
    EXPECT_EQ(nullptr, window().hwnd);
}

TEST_F(Copying, EachViewCopiesTheSelectedRowsStoredText)
{
    std::vector<int> slots = seed({"Ann", "Bob"}, {"Dues"});
    selectRow(&program::namesPane, 1);
    pressCtrlKey('C');
    EXPECT_EQ("Bob", clipboardText());

    window().showActionItems();
    selectRow(&program::actionsPane, 0);
    window().runCommand(CMD_COPY);
    EXPECT_EQ("Dues", clipboardText());

    Entry* entries = doc().names[slots[0]].entries;
    entries[0].kind = ActionDone;
    strcpy(entries[0].date, "03/07/26 09:05 PM");
    doc().addMemo(slots[0], "Old note");
    doc().addMemo(slots[0], "Gone");
    doc().addCheckbox(slots[0], "Locker key");
    doc().deleteEntry(slots[0], 2);
    window().currentItem = slots[0];
    window().showEntries();
    ASSERT_EQ((std::vector<std::string>{"Locker key", "Old note", "Dues"}), rows(&program::entriesPane));

    selectRow(&program::entriesPane, 2);
    window().runCommand(CMD_COPY);
    EXPECT_EQ("Dues", clipboardText());
    selectRow(&program::entriesPane, 1);
    window().runCommand(CMD_COPY);
    EXPECT_EQ("Old note", clipboardText());
    EXPECT_EQ(1, window().currentEntry);
    selectRow(&program::entriesPane, 0);
    window().runCommand(CMD_COPY);
    EXPECT_EQ("Locker key", clipboardText());
}

TEST_F(Copying, NothingIsCopiedWithoutASelectionAndThePendingViewCopiesEveryName)
{
    seed({"Cy", "Ann", "Bob"}, {"Dues"});
    setClipboard("marker");
    selectRow(&program::namesPane, -1);
    window().runCommand(CMD_COPY);
    EXPECT_EQ("marker", clipboardText());

    doc().names[1].entries[0].kind = ActionDone;  // Ann has paid
    window().currentItem = 0;
    window().showPending();
    selectRow(&program::pendingPane, -1);
    pressCtrlKey('C');
    EXPECT_EQ("Bob\r\nCy\r\n", clipboardText());
}

}  // namespace
