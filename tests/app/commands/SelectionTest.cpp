// The row the keys act on: every view with rows has one selected, the same
// person or row after a reload, the nearest after a delete; the status bar
// and the menu follow it; F5 and F6 ask before adding a name or an action
// item the list holds already.
#include "tests/app/ProgramFixture.h"

#include "resource.h"

namespace {

using Selection = ProgramFixture;

// A person's page opened with Enter: End and Space tick the last row, not the
// first; each tick and untick is described in the status bar; Backspace
// comes back to the same person, Del leaves the nearest one selected.
TEST_F(Selection, KeysMoveFromTheSelectedRowOfEveryView)
{
    seed({"Ann", "Bob", "Cy"}, {"Dues", "Keys", "Form"});  // a page's rows: Form, Keys, Dues
    EXPECT_EQ(0, selection(&program::namesPane));
    pressKey(VK_END);
    EXPECT_EQ(2, selection(&program::namesPane));
    pressKey(VK_RETURN);
    ASSERT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ(0, selection(&program::entriesPane));
    pressKey(VK_END);
    pressKey(VK_SPACE);
    EXPECT_EQ((std::vector<std::string>{"Form|0", "Keys|0", "Dues|1"}), rows(&program::entriesPane, true));
    EXPECT_EQ("Done on ", statusText(0).substr(0, 8));
    // A click on the square unticks without a selection change: the status follows.
    RECT row;
    SendMessageA(program::entriesPane.hwnd, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    tvtest::clickAt(program::entriesPane.hwnd, row.left + window().dpi(10), (row.top + row.bottom) / 2);
    runLoop();
    EXPECT_EQ(ActionOpen, doc().names[2].entries[0].kind);
    EXPECT_EQ("", statusText(0));
    pressKey(VK_SPACE);
    EXPECT_EQ("Done on ", statusText(0).substr(0, 8));

    pressKey(VK_BACK);
    EXPECT_EQ(2, selection(&program::namesPane));
    {
        ModalAnswerer answer;
        answer.then(pressButtonKey('Y'));
        pressKey(VK_DELETE);
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<std::string>{"Ann", "Bob"}), rows(&program::namesPane));
    EXPECT_EQ(1, selection(&program::namesPane)) << "the new last row";

    window().runCommand(CMD_VIEW_ACTIONS);
    EXPECT_EQ(0, selection(&program::actionsPane));
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    ASSERT_EQ(PendingView, window().viewMode);
    EXPECT_EQ("Keys", std::string(doc().actionText(window().currentItem)));
    EXPECT_EQ(0, window().pendingRow());
    pressKey(VK_SPACE);  // Ann, the selected row, is ticked
    EXPECT_EQ((std::vector<std::string>{"Bob"}), rows(&program::pendingPane));
    EXPECT_EQ(0, window().pendingRow());
}

// A reload (someone else saved the file) shows the same person's page with
// the same row selected, found by its text; in the Names view the same name.
TEST_F(Selection, AReloadKeepsThePersonAndTheRowByText)
{
    seed({"Ann", "Bob", "Cy"}, {"Dues", "Keys"});
    selectRow(&program::namesPane, 1);
    pressKey(VK_RETURN);
    pressKey(VK_DOWN);  // Dues
    Document theirs;
    ASSERT_EQ(1, theirs.resetDocument(0, 0));
    for (const char* name : {"Abe", "Bob", "Cy"}) theirs.addName(name);
    for (const char* action : {"Dues", "Keys"}) {
        theirs.addActionItem(action);
        theirs.addActionEntries();
    }
    theirs.addMemo(1, "vegan");  // Bob's page: vegan, Keys, Dues
    MainWindow::ViewPlace place = window().viewPlace();
    window().session.adoptUnsaved(theirs);
    window().showPlace(place);
    ASSERT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ((std::vector<std::string>{"vegan", "Keys", "Dues"}), rows(&program::entriesPane));
    EXPECT_EQ(2, selection(&program::entriesPane));
    pressKey(VK_BACK);
    EXPECT_EQ(1, selection(&program::namesPane));  // Bob among Abe, Bob, Cy
    EXPECT_EQ(1, window().savedNamesRow);
}

// Edit selected is grayed on an action row of a person's page, where it does
// nothing; on a memo it edits.
TEST_F(Selection, EditSelectedIsGrayedWhereItDoesNothing)
{
    seed({"Ann"}, {"Dues"});
    doc().addMemo(0, "vegan");  // rows: vegan, Dues
    pressKey(VK_RETURN);
    ASSERT_EQ(EntriesView, window().viewMode);
    auto editGrayed = [&] {
        SendMessageA(window().hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window().hwnd)), 0);
        return grayed(CMD_EDIT_SELECTED);
    };
    EXPECT_EQ(0, editGrayed());
    pressKey(VK_DOWN);
    EXPECT_EQ(1, editGrayed());
    window().showNames();
    EXPECT_EQ(0, editGrayed());
}

// F5 and F6 ask before a second "Bob Jones" (in any case, as Import names
// compares); No, the first focus, adds nothing.
TEST_F(Selection, ADuplicateNameOrActionItemIsAskedAbout)
{
    seed({"Ann Smith", "Bob Jones"}, {"Dues"});
    std::string question, caption;
    auto add = [&](UINT key, const char* text, UINT answerKey, std::string* seen) {
        ModalAnswerer answer;
        answer.then(typeAndConfirm(text));
        answer.then(recordBox(seen, &caption, pressButtonKey(answerKey)));
        pressKey(key);
        return answer.answered();
    };
    EXPECT_EQ(2, add(VK_F5, "Bob Jones", VK_RETURN, &question));
    EXPECT_EQ("Bob Jones is already in the list. Add another person with the same name?", question);
    EXPECT_EQ(2, add(VK_F5, "ann smith", 'Y', &question));
    EXPECT_EQ(3, doc().liveNames);
    EXPECT_EQ(1, add(VK_F5, "Cy Young", 'N', &question)) << "a new name is not asked about";
    EXPECT_EQ(4, doc().liveNames);

    window().runCommand(CMD_VIEW_ACTIONS);
    EXPECT_EQ(2, add(VK_F6, " DUES", VK_ESCAPE, &question));  // the prompt drops the blank
    EXPECT_EQ("DUES is already in the list. Add another action item with the same text?", question);
    EXPECT_EQ(1, doc().liveActions);
}

}  // namespace
