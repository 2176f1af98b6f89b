#pragma once
#include <cstdint>

#include "document/ActionItem.h"
#include "document/Entry.h"
#include "document/GrowArray.h"
#include "document/NameRecord.h"
#include "document/ReadBlocks.h"

// The in-memory contents of one data file: the action table, the name table
// and each name's entry list. Slots and entries never move while a document
// is open: deleting empties a slot or marks an entry EntryDeleted, so slot
// numbers and entry positions can serve as list-box item data.
//
// The program keeps one Document for the whole run; tests make as many as
// they like. Operations return nonzero on success, 0 (or -1 for a slot) on
// failure, which callers report as "Out of memory".
class Document {
public:
    static const int32_t kTableStep = 100;   // name and action tables grow by this many
    static const int32_t kEntryStep = 20;    // entry lists grow by this many
    static const int kTextSize = 512;        // names and action slots, NUL included
    static const int kLegacyTextSize = 128;  // what a slot held of a text of a legacy file

    int32_t modified = 0;      // 1 after any change by the user; 0 after a successful save
    int32_t namesCount = 0;    // name slots in use, deleted names included
    int32_t actionCount = 0;   // action slots in use, deleted action items included
    int32_t liveNames = 0;
    int32_t liveActions = 0;
    // The file is written in UTF-8 with its marker: it was read so, or a
    // text did not fit the legacy code page at a save. Once set it stays.
    int32_t utf8File = 0;
    // Free entries the reader leaves at the end of each list it reads, for
    // the entries the user adds; 0 for a copy that is only read and
    // merged, which then takes no more memory than its entries.
    int32_t readRoom = kEntryStep;
    // For copies of one file read only to be merged: a person the reader
    // finds as the person of that number in lender is, name and entries,
    // shares lender's entry list. lender keeps its read blocks (or hands
    // them on) as long as this document holds anything.
    const Document* lender = nullptr;

    GrowArray nameTable;                 // NameRecord elements
    GrowArray actionTable;               // ActionItem elements
    NameRecord* names = nullptr;         // nameTable's block, taken again after each growth
    ActionItem* actions = nullptr;       // actionTable's block, likewise

    Document() = default;
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    int resetDocument(int32_t expectedNames, int32_t expectedActions);
    // Exchanges the whole contents, modified flag included, with other: a
    // merged or reloaded document takes the place of the one on screen.
    void swap(Document& other);
    int addActionItem(const char* text);
    int addActionEntries();
    // The Add action command: the item together with every live name's open
    // entry for it, or nothing at all when memory is short.
    int addActionWithEntries(const char* text);
    int32_t addName(const char* text);
    int addMemo(int32_t nameSlot, const char* text);
    int addCheckbox(int32_t nameSlot, const char* text);
    int commitEntry(NameRecord& record);
    int setEntryText(Entry& entry, const char* text);
    void deleteActionItem(int32_t actionSlot);
    void deleteName(int32_t nameSlot);
    void deleteEntry(int32_t nameSlot, int32_t position);

    // For the undo history: each takes back one of the operations above,
    // made last, or gives back what it deleted.
    // Drops the last name slot with its entries (addName made it).
    void removeLastName();
    // Drops the last action slot and the entry addActionWithEntries gave each
    // live name for it, which is still the last of the name's list.
    void removeLastAction();
    // Drops the last entry of the name's list (addMemo or addCheckbox made it).
    void removeLastEntry(int32_t nameSlot);
    // Empties the name as deleteName does but leaves its entries in the slot,
    // for restoreName; releaseHiddenEntries lets them go for good.
    void hideName(int32_t nameSlot);
    void restoreName(int32_t nameSlot, const char* text);
    void releaseHiddenEntries(int32_t nameSlot);
    // Gives a deleted action slot its text again.
    void restoreAction(int32_t actionSlot, const char* text);
    // A deleted entry becomes kind again, with a copy of text when it is a
    // memo or single checkbox; 0 when memory is short.
    int restoreEntry(int32_t nameSlot, int32_t position, int32_t kind, const char* text);
    // Gives a live name another text (cut to kTextSize - 1 bytes); 0 when
    // memory is short (the name keeps its text then).
    int renameName(int32_t nameSlot, const char* text);

    // Lookups for the views; all of them accept any index.
    NameRecord* nameAt(int32_t slot) const;
    Entry* entryAt(int32_t nameSlot, int32_t position) const;
    // The action's text, or "" for a deleted or unknown slot (a damaged file
    // can leave action entries beyond the action table).
    const char* actionText(int32_t actionSlot) const;
    // Live entries of the live names.
    int64_t liveEntryTotal() const;

    // For the file reader: addName without the entry list, which the reader
    // gives the name later with takeEntryList or giveActionEntries. -1 when
    // the name table is full.
    int32_t appendName(const char* text);
    // The list addName makes, for a name that has none yet; 0 when memory is short.
    int giveActionEntries(NameRecord& record);
    // For the file reader: a list of capacity entries, taken from readBlocks,
    // for a name that has none yet, with counts 0 and undefined contents; the
    // reader writes the entries it stores and then calls finishEntryList.
    // Null when memory is short.
    Entry* takeEntryList(NameRecord& record, int32_t capacity);
    // Counts the first stored entries of the list as live and zero-fills the rest.
    void finishEntryList(NameRecord& record, int32_t stored);
    // For the file reader: a text that lives in readBlocks (length bytes at
    // text, two NULs after them), or null. The entry that holds it edits and
    // deletes it like any other text.
    char* keepText(const char* text, size_t length) { return readBlocks.keepText(text, length); }
    // For the file reader: where the read blocks stand before a list is
    // taken, and whether the list read since holds what lender's person
    // same holds; then record shares that list and gives its own back.
    ReadBlocks::Mark readMark() const { return readBlocks.mark(); }
    bool shareLenderList(NameRecord& record, const NameRecord& same, const ReadBlocks::Mark& mark);
    // Whether an entry list or text lies in the read blocks.
    bool inReadBlocks(const void* block) const { return readBlocks.holds(block); }
    // For a copy read only to be merged: empties this document and gives
    // its read blocks to other, whose entries may point into them. 0 when
    // memory is short: the blocks then stay here until the next reset.
    int handReadBlocks(Document& other);
    // Makes room for the entry at index entryCount when the list is full.
    int ensureEntryRoom(NameRecord& record);
    // A zero-filled heap copy (length + 2 bytes) of text, or null.
    static char* copyText(const char* text);
    // Copies text into a fixed field of size bytes, cutting what does not fit
    // before a whole UTF-8 character.
    static void copyField(char* field, int size, const char* text);

private:
    Entry* newActionList(int32_t* written, int32_t* capacity);
    void releaseText(char* text);
    void releaseList(Entry* list);
    int addOwnEntry(int32_t nameSlot, int32_t kind, const char* text);
    void releaseEntries(NameRecord& record);
    void releaseAll();

    ReadBlocks readBlocks;   // entry lists and texts read from the file; emptied by resetDocument
};
