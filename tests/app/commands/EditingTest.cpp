// Add, edit, delete and remove date in each view, through the real prompt
// and warning window; what changes in the document, in the list and in the
// modified flag.
#include <cstring>
#include <fstream>

#include "storage/sharing/DocumentFile.h"
#include "tests/app/ProgramFixture.h"
#include "resource.h"

namespace {

using Editing = ProgramFixture;
using Rows = std::vector<std::string>;

// Shows the entries of the name in slot.
void showEntriesOf(MainWindow& w, int slot)
{
    w.currentItem = slot;
    w.showEntries();
}

TEST_F(Editing, AddActionGivesEveryLiveNameANewUncheckedNewestRow)
{
    seed({"Ann", "Bob", "Cy"}, {"Dues"});
    doc().deleteName(1);
    window().showActionItems();
    PromptSeen seen;
    ModalAnswerer answer;
    answer.then(recordPrompt(&seen, typeAndConfirm("Keys")));
    pressKey(VK_F6);
    ASSERT_EQ(1, answer.answered());
    EXPECT_EQ("Add", seen.caption);
    EXPECT_EQ("New action to add:", seen.prompt);
    EXPECT_EQ("", seen.text);

    EXPECT_EQ((Rows{"Keys|1", "Dues|0"}), rows(&program::actionsPane, true));
    for (int slot : {0, 2}) {
        const NameRecord& person = doc().names[slot];
        ASSERT_EQ(2, person.entryCount) << slot;
        EXPECT_EQ(ActionOpen, person.entries[1].kind);
        EXPECT_EQ(1, person.entries[1].actionIndex);
        showEntriesOf(window(), slot);
        EXPECT_EQ((Rows{"Keys|0", "Dues|0"}), rows(&program::entriesPane, true));
    }
    EXPECT_EQ(nullptr, doc().names[1].entries);
    EXPECT_EQ(1, doc().modified);
}

TEST_F(Editing, AddNameMemoAndCheckboxWithTheirPrompts)
{
    std::vector<int> slots = seed({"Bob"}, {"Dues"});
    PromptSeen seen;
    {
        ModalAnswerer answer;
        answer.then(recordPrompt(&seen, typeAndConfirm("  Ann")));
        pressKey(VK_F5);
        EXPECT_EQ("New name to add:", seen.prompt);
    }
    // Leading blanks are dropped by the prompt; the list sorts the name in.
    EXPECT_EQ((Rows{"Ann|1", "Bob|0"}), rows(&program::namesPane, true));
    EXPECT_STREQ("Ann", doc().names[1].name);
    EXPECT_EQ(1, doc().names[1].entryCount);  // Dues

    showEntriesOf(window(), slots[0]);
    {
        ModalAnswerer answer;
        answer.then(recordPrompt(&seen, typeAndConfirm("Paid in cash")));
        pressKey(VK_F7);
        EXPECT_EQ("Add", seen.caption);
        EXPECT_EQ("Enter text:", seen.prompt);
    }
    {
        ModalAnswerer answer;
        answer.then(recordPrompt(&seen, typeAndConfirm("Locker key")));
        pressKey(VK_F8);
        EXPECT_EQ("Enter checkbox text:", seen.prompt);
    }
    EXPECT_EQ((Rows{"Locker key|3", "Paid in cash|2", "Dues|0"}), rows(&program::entriesPane, true));
}

TEST_F(Editing, CancelOrBlanksOnlyChangeNothingAndKeepTheModifiedFlag)
{
    seed({"Ann"}, {"Dues"});
    struct Case {
        ViewMode view;
        UINT key;
    } cases[] = {{NamesView, VK_F5}, {ActionsView, VK_F6}, {EntriesView, VK_F7}, {EntriesView, VK_F8}};
    for (int flag : {0, 1}) {
        for (const Case& c : cases) {
            if (c.view == NamesView) window().showNames();
            if (c.view == ActionsView) window().showActionItems();
            if (c.view == EntriesView) showEntriesOf(window(), 0);
            for (int blanks : {0, 1}) {
                doc().modified = flag;
                ModalAnswerer answer;
                answer.then(blanks ? typeAndConfirm("    ") : cancelPrompt());
                pressKey(c.key);
                EXPECT_EQ(1, answer.answered());
                EXPECT_EQ(flag, doc().modified) << "key " << c.key << " blanks " << blanks;
            }
        }
    }
    EXPECT_EQ(1, doc().namesCount);
    EXPECT_EQ(1, doc().actionCount);
    EXPECT_EQ(1, doc().names[0].entryCount);
}

TEST_F(Editing, EditingANameMovesItAndKeepsTheSelectionAtTheOldRow)
{
    seed({"Ann", "Bob", "Cy"}, {});
    selectRow(&program::namesPane, 0);
    PromptSeen seen;
    ModalAnswerer answer;
    answer.then(recordPrompt(&seen, replaceAndConfirm("Zed")));
    window().runCommand(CMD_EDIT_SELECTED);
    EXPECT_EQ("Edit", seen.caption);
    EXPECT_EQ("Edit name:", seen.prompt);
    EXPECT_EQ("Ann", seen.text);
    EXPECT_EQ((Rows{"Bob|1", "Cy|2", "Zed|0"}), rows(&program::namesPane, true));
    EXPECT_EQ(0, selection(&program::namesPane));
    EXPECT_STREQ("Zed", doc().names[0].name);
    EXPECT_EQ(1, doc().modified);
}

TEST_F(Editing, AnEditedNameStaysInsideItsSlot)
{
    seed({"Ann"}, {});
    selectRow(&program::namesPane, 0);
    std::string longName(300, 'x');
    ModalAnswerer answer;
    answer.then(replaceAndConfirm(longName.c_str()));
    window().runCommand(CMD_EDIT_SELECTED);
    EXPECT_EQ(std::string(126, 'x'), doc().names[0].name);
    EXPECT_EQ(0, doc().names[0].entryCount);
}

TEST_F(Editing, EditingAnActionRenamesEveryonesEntryInPlace)
{
    seed({"Ann", "Bob"}, {"Dues", "Keys"});
    window().showActionItems();
    selectRow(&program::actionsPane, 1);
    PromptSeen seen;
    ModalAnswerer answer;
    answer.then(recordPrompt(&seen, replaceAndConfirm("Fees")));
    window().runCommand(CMD_EDIT_SELECTED);
    EXPECT_EQ("Edit action item:", seen.prompt);
    EXPECT_EQ("Dues", seen.text);
    EXPECT_EQ((Rows{"Keys|1", "Fees|0"}), rows(&program::actionsPane, true));
    EXPECT_EQ(1, selection(&program::actionsPane));
    showEntriesOf(window(), 1);
    EXPECT_EQ((Rows{"Keys|0", "Fees|0"}), rows(&program::entriesPane, true));
}

TEST_F(Editing, EditingAMemoAcceptsAnEmptyTextAndLeavesActionRowsAlone)
{
    std::vector<int> slots = seed({"Ann"}, {"Dues"});
    doc().addMemo(slots[0], "Paid");
    window().history.markSaved();
    showEntriesOf(window(), slots[0]);
    {
        ModalAnswerer answer(20, 1000);
        answer.then(replaceAndConfirm("never"));
        selectRow(&program::entriesPane, 1);  // Dues
        window().runCommand(CMD_EDIT_SELECTED);
        EXPECT_EQ(0, answer.answered());
    }
    PromptSeen seen;
    ModalAnswerer answer;
    answer.then(recordPrompt(&seen, replaceAndConfirm("")));
    // A double click on the row edits it too.
    doubleClickRow(&program::entriesPane, 0);
    EXPECT_EQ("Edit memo", seen.prompt);
    EXPECT_EQ("Paid", seen.text);
    EXPECT_STREQ("", doc().names[0].entries[1].text);
    EXPECT_EQ((Rows{"|2", "Dues|0"}), rows(&program::entriesPane, true));
    EXPECT_EQ(1, doc().modified);
}

TEST_F(Editing, ConfirmingALongMemoUnchangedKeepsAllOfIt)
{
    std::vector<int> slots = seed({"Ann"}, {});
    std::string memo(400, 'm');
    doc().addMemo(slots[0], memo.c_str());
    window().history.markSaved();
    showEntriesOf(window(), slots[0]);
    selectRow(&program::entriesPane, 0);
    ModalAnswerer answer;
    answer.then([](HWND dialog) { tvtest::clickButton(tvtest::findChild(dialog, "OK")); });
    window().runCommand(CMD_EDIT_SELECTED);
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ(memo, doc().names[0].entries[0].text);
    EXPECT_EQ(0, doc().modified);
}

// What the user left in a prompt is what a save and reload give back: OK on
// an unchanged long name or action item read from a file keeps all of it,
// and a tab pasted into a single checkbox's text stays inside the text.
TEST_F(Editing, TextsComeBackFromTheFileAsTheUserLeftThem)
{
    const std::string name127(127, 'n');
    const std::string action127(127, 'a');
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "tv-texts-" + std::to_string(GetCurrentProcessId()) + ".tvd";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "[Program]\r\nTallyvane\r\n\r\n[Action Items]\r\n1\r\n" << action127 << "\r\n\r\n[Names]\r\n1\r\n0 "
            << name127 << "\r\n\r\n[0]\r\n2\r\n0 \r\n4 Locker\t03/03/26 03:00 AM\r\n";
    }
    ASSERT_EQ(1, window().loadDocument(path.c_str()));

    struct {
        ViewMode view;
        int row;               // the row edited; -1 adds a single checkbox
        const char* answer;    // null: OK on the text as shown
    } edits[] = {
        {NamesView, 0, nullptr},
        {ActionsView, 0, nullptr},
        {EntriesView, 0, "Locker\tkey"},
        {EntriesView, -1, "Parking\tpermit"},
    };
    for (const auto& e : edits) {
        if (e.view == NamesView) window().showNames();
        if (e.view == ActionsView) window().showActionItems();
        if (e.view == EntriesView) showEntriesOf(window(), 0);
        ModalAnswerer answer;
        answer.then(e.answer ? replaceAndConfirm(e.answer)
                             : [](HWND dialog) { tvtest::clickButton(tvtest::findChild(dialog, "OK")); });
        if (e.row < 0) {
            pressKey(VK_F8);
        } else {
            selectRow(window().currentPane, e.row);
            window().runCommand(CMD_EDIT_SELECTED);
        }
        EXPECT_EQ(1, answer.answered()) << e.view << " " << e.row;
        EXPECT_EQ(e.answer ? 1 : 0, doc().modified) << e.view << " " << e.row;
    }

    window().showNames();
    ASSERT_EQ(1, saveDocumentFile(doc(), window(), path.c_str()));
    {
        ModalAnswerer noMessage(20, 1000);
        ASSERT_EQ(1, window().loadDocument(path.c_str()));
        EXPECT_EQ(0, noMessage.answered());
    }
    DeleteFileA(path.c_str());
    EXPECT_EQ(name127, doc().names[0].name);
    EXPECT_EQ(action127, doc().actions[0].text);
    ASSERT_EQ(3, doc().names[0].entryCount);
    EXPECT_STREQ("Locker key", doc().names[0].entries[1].text);
    EXPECT_STREQ("03/03/26 03:00 AM", doc().names[0].entries[1].date);
    EXPECT_STREQ("Parking permit", doc().names[0].entries[2].text);
    EXPECT_STREQ("", doc().names[0].entries[2].date);
}

TEST_F(Editing, DeleteAsksInTheWarningWindowAndNoKeepsTheItem)
{
    seed({"Ann", "Bob"}, {"Dues"});
    selectRow(&program::namesPane, 1);
    std::string question, caption;
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", recordBox(&question, &caption, pressButtonKey('N')));
        pressKey(VK_DELETE);
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ("Ok to Delete?\nBob", question);
    EXPECT_EQ("Delete", caption);
    EXPECT_EQ(2, doc().liveNames);
    EXPECT_EQ(0, doc().modified);

    window().showActionItems();
    selectRow(&program::actionsPane, 0);
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", recordBox(&question, &caption, pressButtonKey('Y')));
        pressKey(VK_DELETE);
    }
    EXPECT_EQ("Ok to Delete?\nDues", question);
    EXPECT_EQ(Rows{}, rows(&program::actionsPane));
    EXPECT_EQ(EntryDeleted, doc().names[0].entries[0].kind);
    EXPECT_EQ(1, doc().modified);
}

TEST_F(Editing, TheQuestionForALongMemoIsCutWithAnEllipsis)
{
    std::vector<int> slots = seed({"Ann"}, {});
    std::string memo(300, 'm');
    doc().addMemo(slots[0], memo.c_str());
    showEntriesOf(window(), slots[0]);
    selectRow(&program::entriesPane, 0);
    std::string question, caption;
    ModalAnswerer answer;
    answer.then("CMSGCLASS", recordBox(&question, &caption, pressButtonKey('Y')));
    pressKey(VK_DELETE);
    EXPECT_EQ("Ok to Delete?\n" + std::string(130, 'm') + "...", question);
    EXPECT_EQ(0, doc().names[0].liveEntries);
}

TEST_F(Editing, AfterDeletingAMemoAClickTogglesTheOlderCheckboxOwnEntry)
{
    std::vector<int> slots = seed({"Ann"}, {"Dues"});
    doc().addCheckbox(slots[0], "Locker key");  // position 1
    doc().addMemo(slots[0], "Note");            // position 2
    showEntriesOf(window(), slots[0]);
    ASSERT_EQ((Rows{"Note|2", "Locker key|3", "Dues|0"}), rows(&program::entriesPane, true));
    selectRow(&program::entriesPane, 0);
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('Y'));
        pressKey(VK_DELETE);
    }
    ASSERT_EQ((Rows{"Locker key|3", "Dues|0"}), rows(&program::entriesPane, true));

    // Click the checkbox square of row 0.
    RECT row = {};
    SendMessageA(program::entriesPane.hwnd, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    int y = (row.top + row.bottom) / 2, x = row.left;
    while (x < row.right && program::entriesPane.hitTest(MAKELPARAM(x, y)) != 0)
        ++x;
    ASSERT_LT(x, row.right);
    tvtest::clickAt(program::entriesPane.hwnd, x + 2, y);
    runLoop();
    const Entry* entries = doc().names[0].entries;
    EXPECT_EQ(CheckboxDone, entries[1].kind);
    EXPECT_NE('\0', entries[1].date[0]);
    EXPECT_EQ(ActionOpen, entries[0].kind);
    EXPECT_EQ('\0', entries[0].date[0]);
    EXPECT_EQ(EntryDeleted, entries[2].kind);
}

TEST_F(Editing, RemoveDateEmptiesOnlyActionRows)
{
    std::vector<int> slots = seed({"Ann"}, {"Dues"});
    doc().addCheckbox(slots[0], "Locker key");
    Entry* entries = doc().names[0].entries;
    entries[0].kind = ActionDone;
    strcpy(entries[0].date, "03/07/26 09:05 PM");
    entries[1].kind = CheckboxDone;
    strcpy(entries[1].date, "03/08/26 10:00 AM");
    window().history.markSaved();
    showEntriesOf(window(), slots[0]);

    selectRow(&program::entriesPane, 0);  // the checkbox
    window().runCommand(CMD_REMOVE_DATE);
    EXPECT_STREQ("03/08/26 10:00 AM", entries[1].date);
    EXPECT_EQ(0, doc().modified);

    selectRow(&program::entriesPane, 1);  // Dues
    window().runCommand(CMD_REMOVE_DATE);
    EXPECT_STREQ("", entries[0].date);
    EXPECT_EQ(ActionDone, entries[0].kind);
    EXPECT_EQ((Rows{"Locker key|4", "Dues|1"}), rows(&program::entriesPane, true));
    EXPECT_EQ(1, doc().modified);
}

TEST_F(Editing, ReadOnlyModeRefusesPromptsButStillDeletes)
{
    seed({"Ann", "Bob"}, {});
    window().enterReadOnly();
    EXPECT_EQ("Read only", statusText(1));
    {
        ModalAnswerer answer(20, 1000);
        answer.then(typeAndConfirm("Zoe"));
        pressKey(VK_F5);
        EXPECT_EQ(0, answer.answered());
    }
    EXPECT_EQ(2, doc().namesCount);
    EXPECT_EQ(0, doc().modified);

    selectRow(&program::namesPane, 0);
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('Y'));
        pressKey(VK_DELETE);
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((Rows{"Bob"}), rows(&program::namesPane));

    // New leaves read-only mode.
    {
        ModalAnswerer answer;
        answer.then("CMSGCLASS", pressButtonKey('N'));
        window().runCommand(CMD_NEW);
    }
    EXPECT_EQ("", statusText(1));
    EXPECT_EQ(0, program::inputDialog.readOnly);
    EXPECT_EQ(0, program::entriesPane.readOnly);
}

}  // namespace
