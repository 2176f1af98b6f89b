// The four views: rows, item data, titles and status texts, "<<", and the
// rule that ties an Entries row to its entry.
#include "tests/app/ProgramFixture.h"
#include "document/EntryRows.h"

TEST_F(AppTest, ActionItemsViewListsTheNewestFirst) {
    startWithExample();
    window().showActionItems();
    Strings expected = {"Returned the key|2", "Signed the safety form|1", "Paid the annual dues|0"};
    EXPECT_EQ(expected, rows(&program::actionsPane, true));
    EXPECT_EQ(ActionsView, window().viewMode);
    EXPECT_EQ("Action Items", viewTitle());
    EXPECT_EQ("", statusText(0));
    EXPECT_EQ(0, SendMessageA(actions(), LB_GETCURSEL, 0, 0)) << "the keys move from the first row";
}

TEST_F(AppTest, DoubleClickOnANameShowsItsEntriesNewestFirst) {
    startWithExample();
    doubleClick(program::namesPane, 1);  // Bob Jones
    EXPECT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ(1, window().currentItem);
    EXPECT_EQ(1, window().savedNamesRow);
    EXPECT_EQ("Bob Jones", viewTitle());
    Strings expected = {"Returned the key|0", "Signed the safety form|1", "Parking permit|4",
                        "Paid the annual dues|0"};
    EXPECT_EQ(expected, rows(&program::entriesPane, true));
    EXPECT_EQ(exampleFile(), statusText(0));  // unchanged
}

TEST_F(AppTest, DoubleClickOnAnActionShowsWhoHasNotDoneIt) {
    startWithExample();
    window().showActionItems();
    doubleClick(program::actionsPane, 1);  // Signed the safety form
    EXPECT_EQ(PendingView, window().viewMode);
    EXPECT_EQ(1, window().savedActionsRow);
    Strings expected = {"Ann Smith|0", "Dev Patel|3"};
    EXPECT_EQ(expected, rows(&program::pendingPane, true));
    EXPECT_EQ("Signed the safety form", viewTitle());
    EXPECT_EQ("Action item not complete", statusText(0));

    doubleClick(program::pendingPane, 1);
    EXPECT_EQ(EntriesView, window().viewMode);
    EXPECT_EQ("Dev Patel", viewTitle());
    EXPECT_EQ(4, SendMessageA(entries(), LB_GETCOUNT, 0, 0));
}

TEST_F(AppTest, PendingViewOfAnActionEveryoneHasDoneIsEmpty) {
    startWithExample();
    Document& doc = program::document;
    for (int slot = 0; slot < doc.namesCount; ++slot)
        for (int i = 0; i < doc.names[slot].entryCount; ++i)
            if (doc.names[slot].entries[i].actionIndex == 0 && doc.names[slot].entries[i].kind == ActionOpen)
                doc.names[slot].entries[i].kind = ActionDone;
    window().showActionItems();
    doubleClick(program::actionsPane, 2);  // Paid the annual dues
    EXPECT_EQ(PendingView, window().viewMode);
    EXPECT_EQ(0, SendMessageA(pending(), LB_GETCOUNT, 0, 0));
    EXPECT_EQ("Paid the annual dues", viewTitle());
    EXPECT_EQ("Action item not complete", statusText(0));
}

TEST_F(AppTest, BackFromEachView) {
    startWithExample();
    // Names: no change of view.
    SendMessageA(names(), LB_SETCURSEL, 2, 0);
    pressBack();
    EXPECT_EQ(NamesView, window().viewMode);
    EXPECT_EQ(2, window().savedNamesRow);

    // Entries back to Names with the person's row selected again.
    doubleClick(program::namesPane, 1);
    ASSERT_EQ(EntriesView, window().viewMode);
    pressBack();
    EXPECT_EQ(NamesView, window().viewMode);
    EXPECT_EQ(1, SendMessageA(names(), LB_GETCURSEL, 0, 0));
    EXPECT_EQ("Names", viewTitle());
    EXPECT_EQ("", statusText(0));
    EXPECT_EQ(4, SendMessageA(names(), LB_GETCOUNT, 0, 0));

    // "A", then Pending, then back to Action items with the action selected.
    SendMessageA(program::viewBar.hwnd, WM_COMMAND, MAKEWPARAM(5010, BN_CLICKED),
                 reinterpret_cast<LPARAM>(program::viewBar.actionsButton.hwnd));
    ASSERT_EQ(ActionsView, window().viewMode);
    doubleClick(program::actionsPane, 0);
    ASSERT_EQ(PendingView, window().viewMode);
    pressBack();
    EXPECT_EQ(ActionsView, window().viewMode);
    EXPECT_EQ(0, SendMessageA(actions(), LB_GETCURSEL, 0, 0));
    EXPECT_EQ("", statusText(0));

    // Entries opened from Pending go back to Names.
    doubleClick(program::actionsPane, 0);
    doubleClick(program::pendingPane, 0);
    ASSERT_EQ(EntriesView, window().viewMode);
    pressBack();
    EXPECT_EQ(NamesView, window().viewMode);

    // Action items back to Names.
    window().showActionItems();
    pressBack();
    EXPECT_EQ(NamesView, window().viewMode);
}

TEST_F(AppTest, EntriesRowsStillActOnTheirOwnEntriesAfterDeletions) {
    startWithExample();
    Document& doc = program::document;
    doc.deleteActionItem(1);  // Signed the safety form
    doc.deleteEntry(0, 2);    // Ann's memo
    doubleClick(program::namesPane, 0);  // Ann Smith
    Strings expected = {"Returned the key|1", "Paid the annual dues|1"};
    ASSERT_EQ(expected, rows(&program::entriesPane, true));

    // Row 1 is entry 0, row 0 is entry 3.
    clickSquare(1);
    EXPECT_EQ(ActionOpen, doc.names[0].entries[0].kind);
    EXPECT_EQ(ActionDone, doc.names[0].entries[3].kind);
    EXPECT_EQ(1, doc.modified);

    selectEntry(0);
    EXPECT_EQ("Done on 03/20/26 06:45 PM", statusText(0));
    EXPECT_EQ(3, window().currentEntry);
    // Unticked, the entry keeps its date for the next tick but is not done.
    selectEntry(1);
    EXPECT_EQ("", statusText(0));
    EXPECT_EQ(0, window().currentEntry);
    clickSquare(1);
    EXPECT_EQ("Done on 03/14/26 09:05 AM", statusText(0));
    EXPECT_EQ(1, window().currentRow);
}

TEST_F(AppTest, AnActionEntryWithoutItsActionIsReportedAndStopsTheRows) {
    startWithExample();
    program::document.names[0].entries[1].actionIndex = 99;  // Ann's second action entry
    std::string captured;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", [&](HWND box) {
        captured = windowText(box) + "|" + program::messageWindow.message;
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    doubleClick(program::namesPane, 0);
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ("Tallyvane|Data is corrupt", captured);
    // The two newer entries only; nothing beyond the damaged one.
    Strings expected = {"Returned the key|1", "Phoned on Monday|2"};
    EXPECT_EQ(expected, rows(&program::entriesPane, true));

    program::document.names[0].entries[1].actionIndex = -1;
    ModalAnswerer again;
    again.then("CMSGCLASS", [&](HWND) { tvtest::pressKey(GetFocus(), VK_RETURN); });
    window().showEntries();
    EXPECT_EQ(1, again.answered());
    EXPECT_EQ(2, SendMessageA(entries(), LB_GETCOUNT, 0, 0));
}

TEST_F(AppTest, MemoRowsShowNoDate) {
    startWithExample();
    doubleClick(program::namesPane, 0);
    selectEntry(0);
    EXPECT_EQ("Done on 03/20/26 06:45 PM", statusText(0));
    selectEntry(1);  // the memo
    EXPECT_EQ("", statusText(0));
    selectEntry(2);  // open, never dated
    EXPECT_EQ("", statusText(0));
}

TEST(EntryRows, CountsLiveEntriesFromTheNewest) {
    Entry entries[5] = {};
    entries[0].kind = ActionDone;
    entries[1].kind = EntryDeleted;
    entries[2].kind = EntryMemo;
    entries[3].kind = EntryDeleted;
    entries[4].kind = CheckboxOpen;
    NameRecord person = {};
    person.entries = entries;
    person.entryCount = 5;
    EXPECT_EQ(4, EntryRows::positionOfRow(person, 0));
    EXPECT_EQ(2, EntryRows::positionOfRow(person, 1));
    EXPECT_EQ(0, EntryRows::positionOfRow(person, 2));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(row, EntryRows::rowOfPosition(person, EntryRows::positionOfRow(person, row)));
    EXPECT_EQ(-1, EntryRows::rowOfPosition(person, 3));  // deleted
    EXPECT_EQ(-1, EntryRows::positionOfRow(person, 3));
    EXPECT_EQ(-1, EntryRows::positionOfRow(person, -1));
}
