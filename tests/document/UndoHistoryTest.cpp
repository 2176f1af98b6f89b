#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "document/Document.h"
#include "document/UndoHistory.h"

namespace {

// Everything of a document that the data file holds or the views count:
// counters, action slots, and each slot's name with its entries
// (kind:action:text:date, deleted ones included).
std::string dump(const Document& doc)
{
    std::string out = "names=" + std::to_string(doc.namesCount) + "/" + std::to_string(doc.liveNames) +
                      " actions=" + std::to_string(doc.actionCount) + "/" + std::to_string(doc.liveActions) + "\n";
    for (int i = 0; i < doc.actionCount; ++i)
        out += "A" + std::to_string(i) + " " + doc.actions[i].text + "\n";
    for (int i = 0; i < doc.namesCount; ++i) {
        const NameRecord& record = doc.names[i];
        out += "N" + std::to_string(i) + " " + record.name;
        if (!record.name[0]) {
            out += " (deleted)\n";
            continue;
        }
        out += " live=" + std::to_string(record.liveEntries) + ":";
        for (int k = 0; k < record.entryCount; ++k) {
            const Entry& e = record.entries[k];
            out += " " + std::to_string(e.kind) + ":" + std::to_string(e.actionIndex) + ":" +
                   (e.kind != EntryDeleted && e.text ? e.text : "") + ":" + e.date;
        }
        out += "\n";
    }
    return out;
}

// Three names, two action items, a memo and a checkbox, some ticks and dates.
void club(Document& doc)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addActionItem("Paid dues"), 1);
    ASSERT_EQ(doc.addActionItem("Safety form"), 1);
    for (const char* name : {"Ann Lee", "Bob Okafor", "Cy Marsh"})
        ASSERT_GE(doc.addName(name), 0);
    ASSERT_EQ(doc.addMemo(0, "vegetarian"), 1);
    ASSERT_EQ(doc.addCheckbox(1, "brought cake"), 1);
    doc.names[0].entries[0].kind = ActionDone;
    std::strcpy(doc.names[0].entries[0].date, "03/14/26 09:05 AM");
    doc.names[1].entries[2].kind = CheckboxDone;
    std::strcpy(doc.names[1].entries[2].date, "03/15/26 10:00 AM");
    doc.modified = 0;
}

UndoHistory::EntryState state(int32_t slot, int32_t position, int32_t kind, const char* date)
{
    UndoHistory::EntryState s = {slot, position, kind, {}};
    std::strcpy(s.date, date);
    return s;
}

struct Case {
    const char* name;
    std::function<void(UndoHistory&, Document&)> step;
    UndoHistory::Target::What shows;
};

}  // namespace

// Each step: undo gives back the document exactly as before it, with the
// modified flag of the saved state; redo makes it exactly again; a second
// round changes nothing.
TEST(UndoHistory, EachStepUndoesAndRedoesExactly)
{
    using T = UndoHistory::Target;
    const Case cases[] = {
        {"add name", [](UndoHistory& h, Document& d) { EXPECT_EQ(h.addName(d, "Dee Fox"), 3); }, T::Names},
        {"add action", [](UndoHistory& h, Document& d) { EXPECT_EQ(h.addAction(d, "Permission slip"), 1); },
         T::ActionItems},
        {"add memo", [](UndoHistory& h, Document& d) { EXPECT_EQ(h.addOwnEntry(d, 2, EntryMemo, "late"), 1); },
         T::Entries},
        {"add checkbox",
         [](UndoHistory& h, Document& d) { EXPECT_EQ(h.addOwnEntry(d, 0, CheckboxOpen, "keys"), 1); }, T::Entries},
        {"edit name", [](UndoHistory& h, Document& d) { EXPECT_EQ(h.editName(d, 1, "Bea Okafor"), 1); }, T::Names},
        {"edit action", [](UndoHistory& h, Document& d) { EXPECT_EQ(h.editAction(d, 0, "Dues 2026"), 1); },
         T::ActionItems},
        {"edit memo", [](UndoHistory& h, Document& d) { EXPECT_EQ(h.editEntry(d, 0, 2, "vegan"), 1); }, T::Entries},
        {"delete name with ticks", [](UndoHistory& h, Document& d) { h.deleteName(d, 0); }, T::Names},
        {"delete action", [](UndoHistory& h, Document& d) { h.deleteAction(d, 0); }, T::ActionItems},
        {"delete checkbox", [](UndoHistory& h, Document& d) { h.deleteEntry(d, 1, 2); }, T::Entries},
        {"tick", [](UndoHistory& h, Document& d) { h.setEntryStates(d, {state(2, 1, ActionDone, "04/01/26 08:00 AM")}); },
         T::Ticks},
        {"untick keeps the date",
         [](UndoHistory& h, Document& d) { h.setEntryStates(d, {state(0, 0, ActionOpen, "03/14/26 09:05 AM")}); },
         T::Ticks},
        {"remove date",
         [](UndoHistory& h, Document& d) { h.setEntryStates(d, {state(0, 0, ActionDone, "")}); }, T::Ticks},
        {"ticks from the Pending view",
         [](UndoHistory& h, Document& d) {
             h.setEntryStates(d, {state(1, 0, ActionDone, "04/01/26"), state(2, 0, ActionDone, "04/01/26")});
         },
         T::Ticks},
        {"roster import",
         [](UndoHistory& h, Document& d) {
             int32_t first = d.namesCount;
             d.addName("Eve Park");
             d.addName("Flo Tran");
             h.recordAddedNames(d, first);
         },
         T::Names},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document doc;
        club(doc);
        UndoHistory history;
        const std::string before = dump(doc);
        c.step(history, doc);
        const std::string after = dump(doc);
        ASSERT_NE(after, before);
        EXPECT_EQ(doc.modified, 1);
        for (int round = 0; round < 2; ++round) {
            EXPECT_EQ(history.undo(doc).what, c.shows);
            EXPECT_EQ(dump(doc), before);
            EXPECT_EQ(doc.modified, 0);
            EXPECT_FALSE(history.canUndo());
            EXPECT_EQ(history.redo(doc).what, c.shows);
            EXPECT_EQ(dump(doc), after);
            EXPECT_EQ(doc.modified, 1);
            EXPECT_FALSE(history.canRedo());
        }
    }
}

// Steps undo in reverse order across each other; a new step drops what was
// undone; the modified flag follows the last save; clear forgets everything.
TEST(UndoHistory, StepsChainFollowTheSaveAndKeepTheLastHundred)
{
    Document doc;
    club(doc);
    UndoHistory history;
    const std::string start = dump(doc);
    history.addAction(doc, "Permission slip");
    int32_t dee = history.addName(doc, "Dee Fox");          // gets an entry for the new action
    history.setEntryStates(doc, {state(dee, 2, ActionDone, "04/01/26")});
    const std::string ticked = dump(doc);
    history.markSaved();
    doc.modified = 0;
    history.deleteAction(doc, 2);
    history.deleteName(doc, dee);
    EXPECT_EQ(doc.modified, 1);
    history.undo(doc);
    history.undo(doc);
    EXPECT_EQ(dump(doc), ticked);
    EXPECT_EQ(doc.modified, 0);
    history.undo(doc);
    history.undo(doc);
    history.undo(doc);
    EXPECT_EQ(dump(doc), start);
    EXPECT_EQ(doc.modified, 1);   // the saved state is ahead
    history.redo(doc);
    history.editName(doc, 0, "Ann Lee-Park");
    EXPECT_FALSE(history.canRedo());

    history.clear();
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.undo(doc).what, UndoHistory::Target::Nothing);

    // Restored changes: undoing the step after them leaves the document modified.
    history.clearUnsaved();
    doc.modified = 1;
    history.editName(doc, 2, "Cy Restored");
    history.undo(doc);
    EXPECT_EQ(doc.modified, 1);
    history.redo(doc);
    history.markSaved();
    history.undo(doc);
    EXPECT_EQ(doc.modified, 1);
    history.redo(doc);
    EXPECT_EQ(doc.modified, 0);
    history.clear();

    for (int i = 0; i < UndoHistory::kMostSteps + 20; ++i)
        history.editName(doc, 2, ("Cy " + std::to_string(i)).c_str());
    int undone = 0;
    while (history.canUndo()) {
        history.undo(doc);
        ++undone;
    }
    EXPECT_EQ(undone, UndoHistory::kMostSteps);
    EXPECT_STREQ(doc.names[2].name, "Cy 19");
}
