#include <gtest/gtest.h>

#include <string>

#include "document/Document.h"
#include "document/Heap.h"

namespace {

struct HeapGuard {
    ~HeapGuard() { heapHooks.reset(); }
};

// A new document with the given action items and names.
void fill(Document& doc, std::initializer_list<const char*> actions, std::initializer_list<const char*> names)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    for (const char* action : actions)
        ASSERT_EQ(doc.addActionItem(action), 1);
    for (const char* name : names)
        ASSERT_GE(doc.addName(name), 0);
}

// "kind:actionIndex" for each entry of a name.
std::string entryList(const Document& doc, int slot)
{
    std::string out;
    const NameRecord& record = doc.names[slot];
    for (int i = 0; i < record.entryCount; ++i) {
        if (!out.empty())
            out += ' ';
        out += std::to_string(record.entries[i].kind) + ":" + std::to_string(record.entries[i].actionIndex);
    }
    return out;
}

TEST(Document, ResetGivesRoomForAHundredAndKeepsTheModifiedFlag)
{
    Document doc;
    doc.modified = 1;
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    EXPECT_EQ(doc.modified, 1);
    EXPECT_EQ(doc.nameTable.capacity, 100);
    EXPECT_EQ(doc.actionTable.capacity, 100);
    EXPECT_EQ(doc.nameTable.step, 100);
    ASSERT_EQ(doc.resetDocument(5, 7), 1);
    EXPECT_EQ(doc.nameTable.capacity, 105);
    EXPECT_EQ(doc.actionTable.capacity, 107);
    EXPECT_EQ(doc.namesCount + doc.actionCount + doc.liveNames + doc.liveActions, 0);
}

TEST(Document, NewNameGetsOneOpenEntryPerLiveActionInSlotOrder)
{
    Document doc;
    fill(doc, {"a", "b", "c"}, {});
    doc.deleteActionItem(1);
    int slot = doc.addName("Ann");
    ASSERT_EQ(slot, 0);
    EXPECT_EQ(entryList(doc, 0), "0:0 0:2");
    EXPECT_EQ(doc.names[0].entryCount, 2);
    EXPECT_EQ(doc.names[0].liveEntries, 2);
    EXPECT_EQ(doc.names[0].entryCapacity, 3 + 20);
}

TEST(Document, NewActionReachesLiveNamesOnly)
{
    Document doc;
    fill(doc, {"a"}, {"Ann", "Bob", "Cy"});
    doc.deleteName(1);
    ASSERT_EQ(doc.addActionItem("b"), 1);
    ASSERT_EQ(doc.addActionEntries(), 1);
    EXPECT_EQ(entryList(doc, 0), "0:0 0:1");
    EXPECT_EQ(entryList(doc, 2), "0:0 0:1");
    EXPECT_EQ(doc.names[1].entries, nullptr);
    EXPECT_EQ(doc.liveActions, 2);
}

TEST(Document, DeletingAnActionMarksOneEntryPerLiveNameAndSparesMemos)
{
    Document doc;
    fill(doc, {"a", "b"}, {"Ann", "Bob"});
    ASSERT_EQ(doc.addMemo(0, "memo"), 1);
    ASSERT_EQ(doc.addCheckbox(1, "box"), 1);
    doc.deleteActionItem(0);
    EXPECT_EQ(entryList(doc, 0), "-1:0 0:1 2:0");
    EXPECT_EQ(entryList(doc, 1), "-1:0 0:1 3:0");
    EXPECT_EQ(doc.names[0].liveEntries, 2);
    EXPECT_EQ(doc.names[0].entryCount, 3);
    EXPECT_STREQ(doc.names[0].entries[2].text, "memo");
    EXPECT_EQ(doc.actionCount, 2);
    EXPECT_EQ(doc.liveActions, 1);
    doc.deleteActionItem(0);   // twice changes nothing
    EXPECT_EQ(doc.liveActions, 1);
}

TEST(Document, TwentiethEntryGrowsTheListAtOnceAndKeepsEverything)
{
    Document doc;
    fill(doc, {}, {"Ann"});
    EXPECT_EQ(doc.names[0].entryCapacity, 20);
    for (int i = 0; i < 19; ++i)
        ASSERT_EQ(doc.addMemo(0, ("memo " + std::to_string(i)).c_str()), 1);
    strcpy(doc.names[0].entries[3].date, "03/14/26 09:05 AM");
    EXPECT_EQ(doc.names[0].entryCapacity, 20);
    ASSERT_EQ(doc.addCheckbox(0, "twentieth"), 1);
    EXPECT_EQ(doc.names[0].entryCapacity, 40);
    EXPECT_EQ(doc.names[0].entryCount, 20);
    EXPECT_STREQ(doc.names[0].entries[0].text, "memo 0");
    EXPECT_STREQ(doc.names[0].entries[18].text, "memo 18");
    EXPECT_STREQ(doc.names[0].entries[19].text, "twentieth");
    EXPECT_STREQ(doc.names[0].entries[3].date, "03/14/26 09:05 AM");
    EXPECT_EQ(doc.names[0].entries[20].kind, 0);
    EXPECT_EQ(doc.names[0].entries[20].text, nullptr);
}

TEST(Document, HundredthNameAndActionGrowTheTables)
{
    Document doc;
    fill(doc, {}, {});
    for (int i = 0; i < 99; ++i) {
        ASSERT_EQ(doc.addName(("n" + std::to_string(i)).c_str()), i);
        ASSERT_EQ(doc.addActionItem(("a" + std::to_string(i)).c_str()), 1);
    }
    EXPECT_EQ(doc.nameTable.capacity, 100);
    EXPECT_EQ(doc.actionTable.capacity, 100);
    ASSERT_EQ(doc.addName("n99"), 99);
    ASSERT_EQ(doc.addActionItem("a99"), 1);
    EXPECT_EQ(doc.nameTable.capacity, 200);
    EXPECT_EQ(doc.actionTable.capacity, 200);
    EXPECT_EQ(doc.names, doc.nameTable.block);
    EXPECT_EQ(doc.actions, doc.actionTable.block);
    EXPECT_STREQ(doc.names[0].name, "n0");
    EXPECT_STREQ(doc.actions[99].text, "a99");
}

TEST(Document, DeletingTheOnlyNameKeepsItsSlot)
{
    Document doc;
    fill(doc, {"a"}, {"Ann"});
    doc.deleteName(0);
    EXPECT_EQ(doc.namesCount, 1);
    EXPECT_EQ(doc.liveNames, 0);
    EXPECT_EQ(doc.addName("Bob"), 1);
    doc.deleteName(0);   // twice changes nothing
    EXPECT_EQ(doc.liveNames, 1);
}

TEST(Document, EntryTextsAndDeletion)
{
    Document doc;
    fill(doc, {"a"}, {"Ann"});
    EXPECT_EQ(doc.modified, 0);
    ASSERT_EQ(doc.addMemo(0, "first"), 1);
    EXPECT_EQ(doc.modified, 1);
    Entry& memo = doc.names[0].entries[1];
    ASSERT_EQ(doc.setEntryText(memo, "second"), 1);
    EXPECT_STREQ(memo.text, "second");
    doc.deleteEntry(0, 1);
    EXPECT_EQ(memo.kind, EntryDeleted);
    EXPECT_EQ(memo.text, nullptr);
    EXPECT_EQ(doc.names[0].liveEntries, 1);
    EXPECT_EQ(doc.names[0].entryCount, 2);
    EXPECT_EQ(doc.addMemo(5, "no such name"), 0);
    doc.deleteName(0);
    EXPECT_EQ(doc.addMemo(0, "deleted name"), 0);
}

// A slot holds 126 characters of four bytes; what is longer is cut before
// the character that does not fit whole.
TEST(Document, TextsLongerThanTheSlotsAreCut)
{
    Document doc;
    std::string longText(600, 'x');
    std::string wide;
    for (int i = 0; i < 300; ++i)
        wide += "\xC5\x81";
    fill(doc, {}, {});
    ASSERT_EQ(doc.addActionItem(longText.c_str()), 1);
    ASSERT_EQ(doc.addName(wide.c_str()), 0);
    EXPECT_EQ(strlen(doc.actions[0].text), 511u);
    EXPECT_EQ(std::string(doc.names[0].name), wide.substr(0, 510));
}

TEST(Document, LookupsRefuseUnknownIndexes)
{
    Document doc;
    EXPECT_EQ(doc.nameAt(0), nullptr);
    EXPECT_STREQ(doc.actionText(0), "");
    fill(doc, {"a"}, {"Ann"});
    EXPECT_STREQ(doc.actionText(0), "a");
    EXPECT_STREQ(doc.actionText(1), "");
    EXPECT_STREQ(doc.actionText(-1), "");
    EXPECT_EQ(doc.entryAt(0, 1), nullptr);
    EXPECT_NE(doc.entryAt(0, 0), nullptr);
    EXPECT_EQ(doc.liveEntryTotal(), 1);
}

TEST(Document, FailedAllocationsLeaveTheDocumentUsable)
{
    HeapGuard guard;
    Document doc;
    fill(doc, {"a"}, {"Ann"});

    heapHooks.failAt = 1;
    EXPECT_EQ(doc.addName("Bob"), -1);
    EXPECT_EQ(doc.namesCount, 1);
    EXPECT_EQ(doc.liveNames, 1);

    heapHooks.failAt = 1;
    EXPECT_EQ(doc.addMemo(0, "memo"), 0);
    EXPECT_EQ(doc.names[0].entryCount, 1);

    // An edit whose copy can't be made keeps the memo's text.
    ASSERT_EQ(doc.addMemo(0, "kept"), 1);
    Entry& memo = doc.names[0].entries[1];
    heapHooks.failAt = 1;
    EXPECT_EQ(doc.setEntryText(memo, "replacement"), 0);
    EXPECT_STREQ(memo.text, "kept");

    heapHooks.failAt = 1;
    EXPECT_EQ(doc.resetDocument(0, 0), 0);
    EXPECT_EQ(doc.nameTable.capacity, 0);
    EXPECT_EQ(doc.namesCount, 0);
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    EXPECT_EQ(doc.addName("works again"), 0);

    // The first name's text finds no block to go into (its list was made):
    // nothing is stored and the list goes too (LeakSanitizer).
    for (long failAt : {2, 3}) {
        Document first;
        fill(first, {"a"}, {});
        heapHooks.failAt = failAt;
        EXPECT_EQ(first.addName("Bob"), -1) << failAt;
        EXPECT_EQ(first.namesCount, 0) << failAt;
        EXPECT_EQ(first.addName("Bob"), 0) << failAt;
    }
}

TEST(Document, FullTablesAreNeverWrittenBeyond)
{
    HeapGuard guard;
    Document doc;
    fill(doc, {}, {});
    for (int i = 0; i < 99; ++i)
        ASSERT_EQ(doc.addActionItem("x"), 1);
    heapHooks.failAt = 1;   // the growth at the 100th action fails: stored, but the table is full
    EXPECT_EQ(doc.addActionItem("100th"), 0);
    EXPECT_EQ(doc.actionCount, 100);
    EXPECT_EQ(doc.actionTable.capacity, 100);
    heapHooks.failAt = 1;   // still no room: nothing is stored beyond the table
    EXPECT_EQ(doc.addActionItem("101st"), 0);
    EXPECT_EQ(doc.actionCount, 100);
    EXPECT_EQ(doc.addActionItem("grows now"), 1);
    EXPECT_EQ(doc.actionCount, 101);
    EXPECT_EQ(doc.actionTable.capacity, 200);
    EXPECT_STREQ(doc.actions[100].text, "grows now");
}

TEST(Document, FullEntryListGrowsBeforeTheNextEntry)
{
    HeapGuard guard;
    Document doc;
    fill(doc, {}, {"Ann"});
    for (int i = 0; i < 19; ++i)
        ASSERT_EQ(doc.addMemo(0, "m"), 1);
    heapHooks.failAt = 2;   // the text succeeds, the growth fails
    EXPECT_EQ(doc.addMemo(0, "20th"), 0);
    EXPECT_EQ(doc.names[0].entryCount, 20);
    EXPECT_EQ(doc.names[0].entryCapacity, 20);
    heapHooks.failAt = 1;   // the list still can't grow: nothing is stored
    EXPECT_EQ(doc.addMemo(0, "21st"), 0);
    EXPECT_EQ(doc.names[0].entryCount, 20);
    heapHooks.failAt = 1;
    EXPECT_EQ(doc.addActionItem("new action"), 1);
    EXPECT_EQ(doc.addActionEntries(), 0);
    ASSERT_EQ(doc.addMemo(0, "21st"), 1);
    EXPECT_EQ(doc.names[0].entryCapacity, 40);
    EXPECT_EQ(doc.names[0].entryCount, 21);
}

} // namespace

namespace {

// Action entries of a live name: the number of kind 0 or 1 entries, and
// whether they name the action slots in increasing order.
int actionEntries(const Document& doc, int slot, bool* ordered)
{
    int count = 0;
    int last = -1;
    *ordered = true;
    const NameRecord& record = doc.names[slot];
    for (int i = 0; i < record.entryCount; ++i) {
        if (!isActionKind(record.entries[i].kind))
            continue;
        *ordered = *ordered && record.entries[i].actionIndex > last;
        last = record.entries[i].actionIndex;
        count++;
    }
    return count;
}

} // namespace

TEST(Document, AddActionStoresTheItemWithEveryonesEntryOrNothing)
{
    HeapGuard guard;
    // The action table and Ann's list are one short of full and grow once the
    // new entries are stored; Cy's list is full from a failed growth and must
    // grow before. Bob is deleted.
    for (long failAt = 1;; ++failAt) {
        Document doc;
        fill(doc, {}, {"Ann", "Bob", "Cy"});
        for (int i = 0; i < 99; ++i)
            ASSERT_EQ(doc.addActionWithEntries("x"), 1);
        doc.deleteName(1);
        heapHooks.failAt = 2;
        ASSERT_EQ(doc.addMemo(2, "m"), 0);
        ASSERT_EQ(doc.names[2].entryCount, doc.names[2].entryCapacity);
        const int annBefore = doc.names[0].entryCount;
        const int cyBefore = doc.names[2].entryCount;

        heapHooks.reset();
        heapHooks.failAt = failAt;
        int added = doc.addActionWithEntries("new");
        bool reached = heapHooks.failAt == 0;
        heapHooks.reset();

        EXPECT_EQ(doc.actionCount, added ? 100 : 99) << failAt;
        EXPECT_EQ(doc.names[0].entryCount, annBefore + added) << failAt;
        EXPECT_EQ(doc.names[2].entryCount, cyBefore + added) << failAt;
        for (int slot : {0, 2}) {
            bool ordered = false;
            EXPECT_EQ(actionEntries(doc, slot, &ordered), doc.liveActions) << failAt << " slot " << slot;
            EXPECT_TRUE(ordered) << failAt;
        }
        if (added) {
            EXPECT_EQ(doc.names[2].entries[cyBefore].actionIndex, 99) << failAt;
        }
        // Whatever failed, the next add works and keeps everyone in step.
        ASSERT_EQ(doc.addActionWithEntries("next"), 1) << failAt;
        bool ordered = false;
        EXPECT_EQ(actionEntries(doc, 0, &ordered), doc.liveActions) << failAt;
        if (!reached) {
            EXPECT_EQ(added, 1);
            EXPECT_EQ(failAt, 4);   // Cy's list, the action table, Ann's list
            break;
        }
    }
}
