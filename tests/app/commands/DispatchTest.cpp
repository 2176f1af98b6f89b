// Every command id reaches its operation from the menu, the accelerators and
// the context menus; the main menu grays what does not apply to the view.
#include "tests/app/ProgramFixture.h"
#include <commctrl.h>

#include <cstring>

#include "resource.h"

namespace {

using Dispatch = ProgramFixture;

// Shows the view mode with the document seeded by the test.
void showView(ProgramFixture* t, MainWindow& w, ViewMode mode)
{
    (void)t;
    switch (mode) {
    case NamesView: w.showNames(); break;
    case ActionsView: w.showActionItems(); break;
    case EntriesView: w.currentItem = 0; w.showEntries(); break;
    case PendingView: w.currentItem = 0; w.showPending(); break;
    }
}

TEST_F(Dispatch, SevenEditingItemsAreGrayedExactlyPerView)
{
    seed({"Ann", "Bob"}, {"Dues"});
    doc().addMemo(0, "vegan");  // Ann's page opens on a memo, which Edit selected edits
    const int ids[] = {CMD_ADD_NAME,      CMD_ADD_ACTION,      CMD_ADD_MEMO,    CMD_ADD_CHECKBOX,
                       CMD_EDIT_SELECTED, CMD_DELETE_SELECTED, CMD_REMOVE_DATE, CMD_NEW,
                       CMD_COPY,          CMD_VIEW_NAMES,      CMD_ABOUT,       CMD_MARK_DONE,
                       CMD_FIND,          CMD_FIND_NEXT,       CMD_UNDO,        CMD_REDO};
    // Columns in the order of ids; 1 = grayed. Undo and Redo: nothing done yet.
    const struct {
        ViewMode mode;
        int grayed[16];
    } expected[] = {
        {NamesView, {0, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 1}},
        {ActionsView, {1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 1}},
        {EntriesView, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1}},
        {PendingView, {1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1}},
    };
    for (const auto& view : expected) {
        showView(this, window(), view.mode);
        ASSERT_EQ(view.mode, window().viewMode);
        SendMessageA(window().hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window().hwnd)), 0);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(view.grayed[i], grayed(ids[i])) << "view " << view.mode << ", item " << ids[i];
    }
}

TEST_F(Dispatch, AddKeysActOnlyInTheirOwnView)
{
    seed({"Ann"}, {"Dues"});
    {
        // F6 in the Names view: no prompt, nothing added.
        ModalAnswerer answer(20, 1000);
        answer.then(typeAndConfirm("Never"));
        pressKey(VK_F6);
        EXPECT_EQ(0, answer.answered());
        EXPECT_EQ(1, doc().actionCount);
    }
    window().showActionItems();
    {
        ModalAnswerer answer(20, 1000);
        answer.then(typeAndConfirm("Never"));
        pressKey(VK_F5);
        EXPECT_EQ(0, answer.answered());
        EXPECT_EQ(1, doc().namesCount);
    }
    {
        ModalAnswerer answer;
        answer.then(typeAndConfirm("Keys"));
        pressKey(VK_F6);
        EXPECT_EQ(1, answer.answered());
        EXPECT_EQ((std::vector<std::string>{"Keys", "Dues"}), rows(&program::actionsPane));
    }
    window().showNames();
    {
        ModalAnswerer answer;
        answer.then(typeAndConfirm("Zoe"));
        pressKey(VK_F5);
        EXPECT_EQ(1, answer.answered());
        EXPECT_EQ((std::vector<std::string>{"Ann", "Zoe"}), rows(&program::namesPane));
    }
}

TEST_F(Dispatch, DeleteAndEditDoNothingInThePendingViewWhereADoubleClickShowsEntries)
{
    seed({"Ann", "Bob"}, {"Dues"});
    window().showActionItems();
    doubleClickRow(&program::actionsPane, 0);
    ASSERT_EQ(PendingView, window().viewMode);
    ASSERT_EQ((std::vector<std::string>{"Ann", "Bob"}), rows(&program::pendingPane));
    selectRow(&program::pendingPane, 1);
    {
        ModalAnswerer answer(20, 1000);
        answer.then(pressButtonKey('Y'));
        pressKey(VK_DELETE);
        window().runCommand(CMD_DELETE_SELECTED);
        window().runCommand(CMD_EDIT_SELECTED);
        runLoop(200);
        EXPECT_EQ(0, answer.answered());
    }
    EXPECT_EQ(2, doc().liveNames);
    EXPECT_EQ(2, static_cast<int>(rows(&program::pendingPane).size()));

    doubleClickRow(&program::pendingPane, 1);
    EXPECT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ(1, window().currentItem);
    EXPECT_EQ((std::vector<std::string>{"Dues|0"}), rows(&program::entriesPane, true));
}

TEST_F(Dispatch, ViewCommandsAndTheBarButtonsSwitchViews)
{
    seed({"Ann"}, {"Dues", "Keys"});
    window().runCommand(CMD_VIEW_ACTIONS);
    EXPECT_EQ(ActionsView, window().viewMode);
    EXPECT_EQ((std::vector<std::string>{"Keys|1", "Dues|0"}), rows(&program::actionsPane, true));
    window().runCommand(CMD_VIEW_NAMES);
    EXPECT_EQ(NamesView, window().viewMode);
    EXPECT_EQ(0, window().runCommand(CMD_CANCEL));
    EXPECT_EQ(0, window().runCommand(CMD_RECENT_FIRST));  // no recent files listed
}

TEST_F(Dispatch, RightClickSelectsTheRowSoDeleteNameDeletesTheNameUnderThePointer)
{
    seed({"Ann", "Bob", "Cy"}, {});
    selectRow(&program::namesPane, 0);
    std::string question, caption;
    ModalAnswerer answer;
    // "Delete name" is the fourth item of the Names context menu.
    answer.then("#32768", [](HWND menu) {
        for (int i = 0; i < 4; ++i)
            tvtest::pressKey(menu, VK_DOWN);
        tvtest::pressKey(menu, VK_RETURN);
    });
    answer.then("CMSGCLASS", recordBox(&question, &caption, pressButtonKey('Y')));
    rightClickRow(&program::namesPane, 2);
    runLoop(300);
    EXPECT_EQ(2, answer.answered());
    EXPECT_EQ("Ok to Delete?\nCy", question);
    EXPECT_EQ("Delete", caption);
    EXPECT_EQ((std::vector<std::string>{"Ann", "Bob"}), rows(&program::namesPane));
    EXPECT_EQ(0, doc().names[2].name[0]);
    EXPECT_EQ(1, doc().modified);
}

// Clicks that select no row act on no row: a double click on a list without
// a selection keeps the view, and only right clicks inside the shown pane
// bring up its context menu, which acts on nothing below the last row.
TEST_F(Dispatch, ClicksThatSelectNoRowActOnNoRow)
{
    std::vector<int> slots = seed({"Ann", "Bob"}, {"Dues"});
    doc().deleteName(slots[1]);
    window().showNames();
    window().currentItem = slots[1];  // what a delete leaves behind
    struct {
        ViewMode view;
        ListBoxControl* pane;
    } doubleClicks[] = {{NamesView, &program::namesPane},
                        {ActionsView, &program::actionsPane},
                        {PendingView, &program::pendingPane}};
    for (const auto& c : doubleClicks) {
        showView(this, window(), c.view);
        window().currentItem = slots[1];
        selectRow(c.pane, -1);
        SendMessageA(window().hwnd, WM_COMMAND, MAKEWPARAM(c.pane->id, LBN_DBLCLK), LPARAM(c.pane->hwnd));
        EXPECT_EQ(c.view, window().viewMode) << c.view;
        EXPECT_EQ(slots[1], window().currentItem) << c.view;
    }

    // Right clicks elsewhere reach the window as WM_CONTEXTMENU with the
    // clicked window's handle: the title bar gets its system menu, the bars
    // no menu, and the selection stays.
    seed({"Cy", "Di"}, {});
    selectRow(&program::namesPane, 0);
    RECT frame;
    GetWindowRect(window().hwnd, &frame);
    RECT bar;
    GetWindowRect(program::viewBar.hwnd, &bar);
    RECT status;
    GetWindowRect(program::statusBar.hwnd, &status);
    const int caption = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    struct {
        HWND clicked;
        POINT at;
        bool systemMenu;
    } elsewhere[] = {{window().hwnd, {(frame.left + frame.right) / 2, frame.top + caption}, true},
                     {program::viewBar.hwnd, {(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2}, false},
                     {program::statusBar.hwnd, {status.left + 5, (status.top + status.bottom) / 2}, false}};
    for (const auto& c : elsewhere) {
        HMENU shown = nullptr;
        ModalAnswerer answer(20, 1500);
        answer.then("#32768", [&shown](HWND menu) {
            shown = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            tvtest::pressKey(menu, VK_ESCAPE);
        });
        PostMessageA(window().hwnd, WM_CONTEXTMENU, WPARAM(c.clicked), MAKELPARAM(c.at.x, c.at.y));
        runLoop(c.systemMenu ? 500 : 1700);
        EXPECT_EQ(c.systemMenu ? 1 : 0, answer.answered()) << c.at.y;
        EXPECT_NE(GetSubMenu(window().namesMenu, 0), shown) << c.at.y;
        EXPECT_EQ(0, selection(&program::namesPane)) << c.at.y;
    }

    // Below the last row: "Delete name" has no row to delete.
    RECT last;
    SendMessageA(program::namesPane.hwnd, LB_GETITEMRECT, 2, LPARAM(&last));
    LPARAM below = MAKELPARAM(last.left + 10, last.bottom + 10);
    ModalAnswerer answer(20, 1500);
    answer.then("#32768", [](HWND menu) {
        for (int i = 0; i < 4; ++i)
            tvtest::pressKey(menu, VK_DOWN);
        tvtest::pressKey(menu, VK_RETURN);
    });
    answer.then("CMSGCLASS", pressButtonKey('Y'));
    PostMessageA(program::namesPane.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, below);
    PostMessageA(program::namesPane.hwnd, WM_RBUTTONUP, 0, below);
    runLoop(1700);
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ(-1, selection(&program::namesPane));
    EXPECT_EQ(3, doc().liveNames);
}

// Part 0 of the status bar describes the selected entries row whichever way
// the selection or its date changed.
TEST_F(Dispatch, TheDoneOnTextFollowsTheSelectedEntry)
{
    std::vector<int> slots = seed({"Ann"}, {"Dues", "Keys"});
    doc().addCheckbox(slots[0], "Locker key");
    const char* dates[] = {"01/01/26 01:00 AM", "02/02/26 02:00 AM", "03/03/26 03:00 AM"};
    for (int i = 0; i < 3; ++i) {
        doc().names[0].entries[i].kind = i < 2 ? ActionDone : CheckboxDone;
        strcpy(doc().names[0].entries[i].date, dates[i]);
    }
    showView(this, window(), EntriesView);  // rows: Locker key, Keys, Dues
    ListBoxControl* pane = &program::entriesPane;
    auto select = [&](int row) {
        selectRow(pane, row);
        SendMessageA(window().hwnd, WM_COMMAND, MAKEWPARAM(pane->id, LBN_SELCHANGE), LPARAM(pane->hwnd));
    };
    select(2);
    EXPECT_EQ("Done on 01/01/26 01:00 AM", statusText(0));

    std::string whileMenuUp;
    {
        ModalAnswerer answer;
        answer.then("#32768", [&](HWND menu) {
            whileMenuUp = statusText(0);
            tvtest::pressKey(menu, VK_ESCAPE);
        });
        rightClickRow(pane, 1);
        runLoop(300);
    }
    EXPECT_EQ("Done on 02/02/26 02:00 AM", whileMenuUp);

    select(1);
    window().runCommand(CMD_REMOVE_DATE);
    EXPECT_EQ("", statusText(0));

    select(0);
    EXPECT_EQ("Done on 03/03/26 03:00 AM", statusText(0));
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('Y'));
        pressKey(VK_DELETE);
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<std::string>{"Keys", "Dues"}), rows(pane));
    EXPECT_EQ("", statusText(0));
}

TEST_F(Dispatch, ContextMenuCancelOrEscapeLeavesAnEmptyHelpTextAndNothingElse)
{
    seed({"Ann", "Bob"}, {});
    // Cancel is the last item, after a separator.
    for (UINT lastKey : {UINT(VK_RETURN), UINT(VK_ESCAPE)}) {
        program::statusBar.setStatusText(0, "before");
        ModalAnswerer answer;
        answer.then("#32768", [lastKey](HWND menu) {
            tvtest::pressKey(menu, VK_UP);  // from nothing highlighted up to the last item, Cancel
            if (lastKey == VK_ESCAPE)
                tvtest::pressKey(menu, VK_ESCAPE);
            else
                tvtest::pressKey(menu, VK_RETURN);
        });
        rightClickRow(&program::namesPane, 1);
        runLoop(300);
        EXPECT_EQ(1, answer.answered());
        EXPECT_EQ("", statusText(0));
        EXPECT_EQ(1, selection(&program::namesPane));
        EXPECT_EQ((std::vector<std::string>{"Ann", "Bob"}), rows(&program::namesPane));
        EXPECT_EQ(0, doc().modified);
    }
}

TEST_F(Dispatch, ThePendingViewsContextMenuMarksTheNameUnderThePointerDone)
{
    seed({"Ann", "Bob"}, {"Dues"});
    window().currentItem = 0;
    window().showPending();
    selectRow(&program::pendingPane, 0);
    ModalAnswerer answer(20, 3000);
    answer.then("#32768", [](HWND menu) {
        tvtest::pressKey(menu, VK_DOWN);
        tvtest::pressKey(menu, VK_RETURN);
    });
    rightClickRow(&program::pendingPane, 1);
    runLoop(300);
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ(ActionDone, doc().names[1].entries[0].kind);
    EXPECT_EQ(ActionOpen, doc().names[0].entries[0].kind);
    EXPECT_EQ((std::vector<std::string>{"Ann"}), rows(&program::pendingPane));
    EXPECT_EQ("1 of 2 left", statusText(1));
}

TEST_F(Dispatch, EveryCommandHasItsHelpText)
{
    const struct {
        int id;
        const char* text;
    } table[] = {
        {40001, "Create a new Tallyvane"},
        {40002, "Open an existing document"},
        {40003, "Save the list"},
        {40004, "Save under a different name"},
        {40005, "Exit this program"},
        {40006, "Add a new name to the name list"},
        {40007, "Add a new action item"},
        {40008, "Add a new menu to the users data"},
        {40009, "Add a checkbox to one name only"},
        {40010, "Copy the selected text to the clipboard"},
        {40011, "Edit the text of the selected item"},
        {40012, "Delete the selected item"},
        {40013, "Remove the date from the selected item"},
        {40014, ""},
        {40015, ""},
        {40016, "Information about this program"},
        {40017, "Add the names of a roster (.txt or .csv)"},
        {40018, "Write the list for a spreadsheet or as a printable report"},
        {40019, "Tick the selected names for this action item"},
        {40020, "Find a name or action item by part of its text"},
        {40021, "Find the next name or action item with the same text"},
        {40022, "Undo the last change"},
        {40023, "Redo the change last undone"},
        {40101, ""},
        {5900, ""},
    };
    HMENU menu = GetMenu(window().hwnd);
    for (const auto& row : table) {
        program::statusBar.setStatusText(0, "before");
        SendMessageA(window().hwnd, WM_MENUSELECT, MAKEWPARAM(row.id, MF_STRING), reinterpret_cast<LPARAM>(menu));
        EXPECT_EQ(row.text, statusText(0)) << row.id;
    }
    SendMessageA(window().hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ("", statusText(0));
}

TEST_F(Dispatch, TitleNamesTheFileAfterTheLastSeparator)
{
    const struct {
        const char* path;
        const char* title;
    } table[] = {
        {"C:\\Users\\ann\\club.tvd", "club.tvd - Tallyvane"},
        {"", "Untitled - Tallyvane"},
        {"C:club.tvd", "club.tvd - Tallyvane"},
        {"shared/lists/club.tvd", "club.tvd - Tallyvane"},
        {"\\club.tvd", "\\club.tvd - Tallyvane"},
    };
    EXPECT_EQ("Untitled - Tallyvane", title());
    for (const auto& row : table) {
        window().session.bindTo(row.path);
        window().updateTitle();
        EXPECT_EQ(row.title, title()) << row.path;
    }
}

}  // namespace
