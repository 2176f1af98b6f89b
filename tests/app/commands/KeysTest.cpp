// The keyboard and the everyday commands that go with it: ticking from the
// Pending view, Enter, Space, Backspace, Esc and Tab in the window, Find,
// F5's new name, Undo and Redo.
#include "tests/app/ProgramFixture.h"

#include <cstring>

#include "document/EntryRows.h"
#include "framework/ViewBar.h"
#include "resource.h"

namespace {

using Keys = ProgramFixture;

// Kind, date and text of every entry of a slot, for before/after comparisons.
std::string entriesOf(const NameRecord& person)
{
    std::string out = person.name;
    for (int i = 0; person.entries && i < person.entryCount; ++i) {
        const Entry& e = person.entries[i];
        out += " " + std::to_string(e.kind) + ":" + e.date + ":" + (e.text ? e.text : "");
    }
    return out;
}

TEST_F(Keys, SpaceInThePendingViewTicksTheSelectedNamesAsOneStepAndCountsWhoIsLeft)
{
    seed({"Ann", "Bob", "Cy", "Dee", "Eve"}, {"Dues"});
    doc().names[4].entries[0].kind = ActionDone;  // Eve has paid
    window().showActionItems();
    selectRow(&program::actionsPane, 0);
    pressKey(VK_RETURN);
    ASSERT_EQ(PendingView, window().viewMode);
    EXPECT_EQ("4 of 5 left", statusText(1));

    selectRow(&program::pendingPane, 1);      // Bob
    pressWithModifier(VK_DOWN, VK_SHIFT, false);  // and Cy
    pressKey(VK_SPACE);
    EXPECT_EQ((std::vector<std::string>{"Ann", "Dee"}), rows(&program::pendingPane));
    EXPECT_EQ(1, window().pendingRow()) << "the name after the ticked ones";
    for (int slot : {1, 2}) {
        EXPECT_EQ(ActionDone, doc().names[slot].entries[0].kind) << slot;
        EXPECT_NE('\0', doc().names[slot].entries[0].date[0]) << slot;
    }
    EXPECT_EQ("2 of 5 left", statusText(1));
    EXPECT_EQ("Action item not complete", statusText(0));
    EXPECT_EQ("Dues", std::string(doc().actionText(window().currentItem)));
    EXPECT_EQ(1, doc().modified);

    pressCtrlKey('Z');  // both come back in one step, and the view stays
    EXPECT_EQ(PendingView, window().viewMode);
    EXPECT_EQ((std::vector<std::string>{"Ann", "Bob", "Cy", "Dee"}), rows(&program::pendingPane));
    EXPECT_STREQ("", doc().names[1].entries[0].date);
    EXPECT_EQ(0, doc().modified);
    EXPECT_EQ("4 of 5 left", statusText(1));
    pressCtrlKey('Y');
    EXPECT_EQ((std::vector<std::string>{"Ann", "Dee"}), rows(&program::pendingPane));

    selectRow(&program::pendingPane, 1);
    window().runCommand(CMD_MARK_DONE);  // Mark done: the selected Dee
    EXPECT_EQ((std::vector<std::string>{"Ann"}), rows(&program::pendingPane));
    EXPECT_EQ(0, window().pendingRow());

    window().enterReadOnly();
    pressKey(VK_SPACE);
    window().runCommand(CMD_MARK_DONE);
    EXPECT_EQ((std::vector<std::string>{"Ann"}), rows(&program::pendingPane));
    EXPECT_EQ("Read only", statusText(1));
    pressKey(VK_ESCAPE);
    EXPECT_EQ("Read only", statusText(1));
    window().leaveReadOnly();
    EXPECT_EQ("", statusText(1));  // the count belongs to the Pending view alone
}

// Enter opens what a double click opens and edits a memo; Space ticks the
// selected row; Backspace and Esc go back as "<<" does.
TEST_F(Keys, EnterSpaceBackspaceAndEscRoundTrip)
{
    seed({"Ann", "Bob"}, {"Dues", "Keys"});
    doc().addMemo(0, "vegan");  // Ann's rows: vegan, Keys, Dues
    window().showNames();
    selectRow(&program::namesPane, 0);
    pressKey(VK_RETURN);
    ASSERT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ(0, window().currentItem);

    selectRow(&program::entriesPane, 2);
    pressKey(VK_SPACE);
    EXPECT_EQ(ActionDone, doc().names[0].entries[0].kind);
    EXPECT_EQ("Done on ", statusText(0).substr(0, 8));
    EXPECT_EQ((std::vector<std::string>{"vegan|2", "Keys|0", "Dues|1"}), rows(&program::entriesPane, true));
    pressKey(VK_SPACE);
    EXPECT_EQ(ActionOpen, doc().names[0].entries[0].kind);

    selectRow(&program::entriesPane, 0);
    {
        ModalAnswerer answer;
        answer.then(typeAndConfirm("vegetarian"));
        pressKey(VK_RETURN);
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_STREQ("vegetarian", doc().names[0].entries[2].text);

    pressKey(VK_BACK);
    EXPECT_EQ(NamesView, window().viewMode);
    EXPECT_EQ(0, selection(&program::namesPane));
    window().runCommand(CMD_VIEW_ACTIONS);
    selectRow(&program::actionsPane, 1);  // Dues
    pressKey(VK_RETURN);
    ASSERT_EQ(PendingView, window().viewMode);
    EXPECT_EQ((std::vector<std::string>{"Ann", "Bob"}), rows(&program::pendingPane));
    pressKey(VK_ESCAPE);
    EXPECT_EQ(ActionsView, window().viewMode);
    EXPECT_EQ(1, selection(&program::actionsPane));
    pressKey(VK_ESCAPE);
    EXPECT_EQ(NamesView, window().viewMode);
}

TEST_F(Keys, TabReachesTheViewBarsButtonsAndEnterPressesThem)
{
    seed({"Ann"}, {"Dues"});
    HWND pane = program::namesPane.hwnd;
    SetFocus(pane);
    tvtest::pressKey(pane, VK_TAB);
    runLoop();
    EXPECT_EQ(program::viewBar.backButton.hwnd, GetFocus());
    tvtest::pressKey(GetFocus(), VK_TAB);
    runLoop();
    EXPECT_EQ(program::viewBar.actionsButton.hwnd, GetFocus());
    tvtest::pressKey(GetFocus(), VK_TAB);
    runLoop();
    EXPECT_EQ(pane, GetFocus());
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    tvtest::pressKey(pane, VK_TAB);
    runLoop();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(program::viewBar.actionsButton.hwnd, GetFocus());
    tvtest::pressKey(GetFocus(), VK_RETURN);
    runLoop();
    EXPECT_EQ(ActionsView, window().viewMode);
}

TEST_F(Keys, FindSelectsTheNextRowHoldingTheTextAndF3GoesOnRound)
{
    seed({"Ann Lee", "Marguerite Okafor", "Ole Okafor", "Zed"}, {"Paid dues", "Safety form"});
    auto findText = [&](const char* text) {
        ModalAnswerer answer;
        answer.then(typeAndConfirm(text));
        pressCtrlKey('F');
        EXPECT_EQ(1, answer.answered()) << text;
    };
    findText("okaf");
    EXPECT_EQ(1, selection(&program::namesPane));
    pressKey(VK_F3);
    EXPECT_EQ(2, selection(&program::namesPane));
    pressKey(VK_F3);
    EXPECT_EQ(1, selection(&program::namesPane));
    findText("xyz");
    EXPECT_EQ("\"xyz\" not found", statusText(0));
    EXPECT_EQ(1, selection(&program::namesPane));
    pressKey(VK_RETURN);
    EXPECT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ(1, window().currentItem);

    window().runCommand(CMD_VIEW_ACTIONS);  // rows: Safety form, Paid dues
    findText("DUES");
    EXPECT_EQ(1, selection(&program::actionsPane));
    pressKey(VK_RETURN);
    ASSERT_EQ(PendingView, window().viewMode);
    findText("ole");
    EXPECT_EQ(2, window().pendingRow());
    EXPECT_EQ("Action item not complete", statusText(0));
}

TEST_F(Keys, F5SelectsTheNewNameAndScrollsItIntoView)
{
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) names.push_back("Name " + std::to_string(100 + i));
    std::vector<const char*> texts;
    for (const std::string& n : names) texts.push_back(n.c_str());
    seed(texts, {"Dues"});
    ModalAnswerer answer;
    answer.then(typeAndConfirm("Zoe Zander"));
    pressKey(VK_F5);
    ASSERT_EQ(1, answer.answered());
    EXPECT_EQ(60, selection(&program::namesPane));
    RECT row, client;
    SendMessageA(program::namesPane.hwnd, LB_GETITEMRECT, 60, reinterpret_cast<LPARAM>(&row));
    GetClientRect(program::namesPane.hwnd, &client);
    EXPECT_GE(row.top, 0);
    EXPECT_LE(row.bottom, client.bottom);
}

// Del, then Ctrl+Z: the person is back with every tick, date and memo, the
// document is as unmodified as before, and Ctrl+Y deletes again; a tick
// undone from the Names view shows the person's page.
TEST_F(Keys, UndoOfADeleteBringsThePersonBackWithTheirTicks)
{
    seed({"Ann", "Bob"}, {"Dues", "Keys"});
    doc().addMemo(0, "vegan");
    doc().names[0].entries[1].kind = ActionDone;
    strcpy(doc().names[0].entries[1].date, "03/14/26 09:05 AM");
    window().history.markSaved();
    const std::string ann = entriesOf(doc().names[0]);
    window().showNames();
    selectRow(&program::namesPane, 0);
    {
        ModalAnswerer answer;
        answer.then(pressButtonKey('Y'));
        pressKey(VK_DELETE);
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<std::string>{"Bob"}), rows(&program::namesPane));
    SendMessageA(window().hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window().hwnd)), 0);
    EXPECT_EQ(0, grayed(CMD_UNDO));
    pressCtrlKey('Z');
    EXPECT_EQ((std::vector<std::string>{"Ann", "Bob"}), rows(&program::namesPane));
    EXPECT_EQ(0, selection(&program::namesPane));
    EXPECT_EQ(ann, entriesOf(doc().names[0]));
    EXPECT_EQ(0, doc().modified);
    pressCtrlKey('Y');
    EXPECT_EQ((std::vector<std::string>{"Bob"}), rows(&program::namesPane));
    EXPECT_EQ(1, doc().modified);
    pressCtrlKey('Z');
    pressKey(VK_RETURN);
    EXPECT_EQ((std::vector<std::string>{"vegan|2", "Keys|1", "Dues|0"}), rows(&program::entriesPane, true));

    // A tick undone from another view shows the person's page again.
    selectRow(&program::entriesPane, 2);
    pressKey(VK_SPACE);
    pressKey(VK_BACK);
    pressCtrlKey('Z');
    EXPECT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ(2, selection(&program::entriesPane));
    EXPECT_EQ(ann, entriesOf(doc().names[0]));

    // The tick made after the undo dropped the delete from the redo list.
    pressCtrlKey('Y');
    pressCtrlKey('Y');
    EXPECT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ((std::vector<std::string>{"vegan|2", "Keys|1", "Dues|1"}), rows(&program::entriesPane, true));
    EXPECT_EQ(1, doc().modified);

    window().history.markSaved();
    window().newDocument();  // New empties the history
    SendMessageA(window().hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window().hwnd)), 0);
    EXPECT_EQ(1, grayed(CMD_UNDO));
}

}  // namespace
