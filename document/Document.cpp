#include "document/Document.h"

#include <cstring>
#include <utility>

#include "document/Heap.h"
#include "document/HeapBlock.h"

Document::~Document()
{
    releaseAll();
}

// Lists and texts read from a file stay in readBlocks until the document is
// emptied; every other list and text is a heap block of its own.
void Document::releaseText(char* text)
{
    if (text && !readBlocks.holds(text) && !(lender && lender->readBlocks.holds(text)))
        releaseBlock(text);
}

void Document::releaseList(Entry* list)
{
    if (list && !readBlocks.holds(list) && !(lender && lender->readBlocks.holds(list)))
        releaseBlock(list);
}

void Document::releaseEntries(NameRecord& record)
{
    if (!record.entries)
        return;
    for (int32_t i = 0; i < record.entryCount && i < record.entryCapacity; ++i)
        releaseText(record.entries[i].text);
    releaseList(record.entries);
    record.entries = nullptr;
    record.entryCapacity = 0;
}

void Document::releaseAll()
{
    for (int32_t i = 0; names && i < namesCount; ++i) {
        releaseEntries(names[i]);
        releaseText(names[i].name);
        names[i].name = nullptr;
    }
}

namespace {

// The length of text cut to fit a text of size bytes, NUL included, before
// a whole UTF-8 character (Document::copyField's cut).
size_t fittingLength(const char* text, int size)
{
    size_t length = strlen(text);
    if (length > size_t(size - 1)) {
        length = size_t(size - 1);
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    return length;
}

}  // namespace

int Document::resetDocument(int32_t expectedNames, int32_t expectedActions)
{
    releaseAll();
    readBlocks.release();
    namesCount = actionCount = liveNames = liveActions = 0;
    utf8File = 0;
    if (expectedNames < 0)
        expectedNames = 0;
    if (expectedActions < 0)
        expectedActions = 0;
    if (expectedNames > INT32_MAX - kTableStep || expectedActions > INT32_MAX - kTableStep) {
        names = nullptr;
        actions = nullptr;
        return 0;
    }
    names = static_cast<NameRecord*>(nameTable.initArray(expectedNames + kTableStep, kTableStep, sizeof(NameRecord)));
    actions = static_cast<ActionItem*>(actionTable.initArray(expectedActions + kTableStep, kTableStep, sizeof(ActionItem)));
    return nameTable.capacity != 0 && actionTable.capacity != 0;
}

void Document::swap(Document& other)
{
    std::swap(modified, other.modified);
    std::swap(namesCount, other.namesCount);
    std::swap(actionCount, other.actionCount);
    std::swap(liveNames, other.liveNames);
    std::swap(liveActions, other.liveActions);
    std::swap(utf8File, other.utf8File);
    std::swap(lender, other.lender);
    nameTable.swap(other.nameTable);
    actionTable.swap(other.actionTable);
    std::swap(names, other.names);
    std::swap(actions, other.actions);
    readBlocks.swap(other.readBlocks);
}

bool Document::shareLenderList(NameRecord& record, const NameRecord& same, const ReadBlocks::Mark& mark)
{
    if (!lender || !same.entries || !lender->readBlocks.holds(same.entries) || same.entryCount != record.entryCount ||
        same.liveEntries != record.liveEntries || strcmp(same.name, record.name) != 0)
        return false;
    for (int32_t k = 0; k < record.entryCount; ++k) {
        const Entry& a = record.entries[k];
        const Entry& b = same.entries[k];
        if (a.kind != b.kind || a.actionIndex != b.actionIndex || strcmp(a.date, b.date) != 0 || !a.text != !b.text ||
            (b.text && (strcmp(a.text, b.text) != 0 || !lender->readBlocks.holds(b.text))))
            return false;
    }
    readBlocks.giveBack(mark);
    record.entries = same.entries;
    record.entryCapacity = same.entryCapacity;
    return true;
}

int Document::handReadBlocks(Document& other)
{
    // What lies outside the blocks goes now (other points at none of it).
    releaseAll();
    namesCount = actionCount = liveNames = liveActions = 0;
    return other.readBlocks.adopt(readBlocks);
}

void Document::copyField(char* field, int size, const char* text)
{
    size_t length = fittingLength(text, size);
    memcpy(field, text, length);
    field[length] = 0;
}

char* Document::copyText(const char* text)
{
    size_t length = strlen(text);
    char* copy = static_cast<char*>(allocZeroed(length + 2));
    if (copy)
        memcpy(copy, text, length);
    return copy;
}

int Document::addActionItem(const char* text)
{
    // A table whose growth failed earlier is full: try again before storing.
    if (actionCount >= actionTable.capacity) {
        actions = static_cast<ActionItem*>(actionTable.growArray());
        if (actionCount >= actionTable.capacity)
            return 0;
    }
    copyField(actions[actionCount].text, kTextSize, text);
    liveActions++;
    actionCount++;
    if (actionCount == actionTable.capacity) {
        actions = static_cast<ActionItem*>(actionTable.growArray());
        if (actionCount == actionTable.capacity)
            return 0;
    }
    return 1;
}

int Document::ensureEntryRoom(NameRecord& record)
{
    if (record.entryCount < record.entryCapacity)
        return 1;
    if (record.entryCapacity > INT32_MAX - kEntryStep)
        return 0;
    int32_t capacity = record.entryCapacity + kEntryStep;
    size_t bytes = blockSize(size_t(capacity), sizeof(Entry));
    Entry* grown = static_cast<Entry*>(bytes ? allocZeroed(bytes) : nullptr);
    if (!grown)
        return 0;
    if (record.entries)
        memcpy(grown, record.entries, size_t(record.entryCapacity) * sizeof(Entry));
    releaseList(record.entries);
    record.entries = grown;
    record.entryCapacity = capacity;
    return 1;
}

int Document::commitEntry(NameRecord& record)
{
    record.liveEntries++;
    record.entryCount++;
    if (record.entryCount == record.entryCapacity)
        return ensureEntryRoom(record);
    return 1;
}

int Document::addActionEntries()
{
    for (int32_t i = 0; i < namesCount; ++i) {
        NameRecord& record = names[i];
        if (!record.name[0])
            continue;
        if (!record.entries || !ensureEntryRoom(record))
            return 0;
        Entry& entry = record.entries[record.entryCount];
        entry.kind = ActionOpen;
        entry.actionIndex = actionCount - 1;
        if (!commitEntry(record))
            return 0;
    }
    return 1;
}

int Document::addActionWithEntries(const char* text)
{
    // Room first, in the action table and in every live name's list, so
    // that nothing can fail once the item is stored.
    if (actionCount >= actionTable.capacity) {
        actions = static_cast<ActionItem*>(actionTable.growArray());
        if (actionCount >= actionTable.capacity)
            return 0;
    }
    for (int32_t i = 0; i < namesCount; ++i) {
        NameRecord& record = names[i];
        if (record.name[0] && (!record.entries || !ensureEntryRoom(record)))
            return 0;
    }
    // A growth that fails after an element was stored leaves its table full;
    // the next addition grows it first.
    addActionItem(text);
    for (int32_t i = 0; i < namesCount; ++i) {
        NameRecord& record = names[i];
        if (!record.name[0])
            continue;
        Entry& entry = record.entries[record.entryCount];
        entry.kind = ActionOpen;
        entry.actionIndex = actionCount - 1;
        commitEntry(record);
    }
    return 1;
}

Entry* Document::newActionList(int32_t* written, int32_t* capacity)
{
    if (actionCount > INT32_MAX - kEntryStep)
        return nullptr;
    *capacity = actionCount + kEntryStep;
    size_t bytes = blockSize(size_t(*capacity), sizeof(Entry));
    Entry* entries = static_cast<Entry*>(bytes ? allocZeroed(bytes) : nullptr);
    if (!entries)
        return nullptr;
    *written = 0;
    for (int32_t i = 0; i < actionCount; ++i) {
        if (!actions[i].text[0])
            continue;
        entries[*written].kind = ActionOpen;
        entries[*written].actionIndex = i;
        ++*written;
    }
    return entries;
}

int32_t Document::appendName(const char* text)
{
    if (namesCount >= nameTable.capacity) {
        names = static_cast<NameRecord*>(nameTable.growArray());
        if (namesCount >= nameTable.capacity)
            return -1;
    }
    int32_t slot = namesCount;
    NameRecord& record = names[slot];
    // Kept in the read blocks, as the file's entry texts are.
    record.name = readBlocks.keepText(text, fittingLength(text, kTextSize));
    if (!record.name)
        return -1;
    record.entries = nullptr;
    record.entryCount = record.liveEntries = record.entryCapacity = 0;
    liveNames++;
    namesCount++;
    if (namesCount == nameTable.capacity) {
        names = static_cast<NameRecord*>(nameTable.growArray());
        if (namesCount == nameTable.capacity)
            return -1;
    }
    return slot;
}

int32_t Document::addName(const char* text)
{
    if (namesCount >= nameTable.capacity) {
        names = static_cast<NameRecord*>(nameTable.growArray());
        if (namesCount >= nameTable.capacity)
            return -1;
    }
    int32_t written = 0, capacity = 0;
    // Held here until the name is stored: a name whose text finds no room
    // is not stored, and its list goes with it.
    HeapBlock list;
    list.reset(reinterpret_cast<char*>(newActionList(&written, &capacity)));
    if (!list)
        return -1;
    // The table has room, so the name is stored even when the growth after
    // it fails; the slot then has its list and the result is -1.
    int32_t slot = namesCount;
    int32_t result = appendName(text);
    if (namesCount == slot)
        return -1;
    NameRecord& record = names[slot];
    record.entries = reinterpret_cast<Entry*>(list.release());
    record.entryCount = record.liveEntries = written;
    record.entryCapacity = capacity;
    return result;
}

int Document::giveActionEntries(NameRecord& record)
{
    int32_t written = 0, capacity = 0;
    Entry* entries = newActionList(&written, &capacity);
    if (!entries)
        return 0;
    record.entries = entries;
    record.entryCount = record.liveEntries = written;
    record.entryCapacity = capacity;
    return 1;
}

// The copy is made before the old text goes, so a failed allocation leaves
// the entry as it was instead of losing its text.
int Document::setEntryText(Entry& entry, const char* text)
{
    char* copy = copyText(text);
    if (!copy)
        return 0;
    releaseText(entry.text);
    entry.text = copy;
    modified = 1;
    return 1;
}

int Document::addOwnEntry(int32_t nameSlot, int32_t kind, const char* text)
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || !record->name[0] || !record->entries || !ensureEntryRoom(*record))
        return 0;
    Entry& entry = record->entries[record->entryCount];
    entry.text = nullptr;
    entry.kind = kind;
    if (!setEntryText(entry, text)) {
        entry.kind = 0;
        return 0;
    }
    return commitEntry(*record);
}

int Document::addMemo(int32_t nameSlot, const char* text)
{
    return addOwnEntry(nameSlot, EntryMemo, text);
}

int Document::addCheckbox(int32_t nameSlot, const char* text)
{
    return addOwnEntry(nameSlot, CheckboxOpen, text);
}

void Document::deleteActionItem(int32_t actionSlot)
{
    if (actionSlot < 0 || actionSlot >= actionCount || !actions[actionSlot].text[0])
        return;
    actions[actionSlot].text[0] = 0;
    liveActions--;
    for (int32_t i = 0; i < namesCount; ++i) {
        NameRecord& record = names[i];
        if (!record.name[0] || !record.entries)
            continue;
        for (int32_t k = 0; k < record.entryCount; ++k) {
            Entry& entry = record.entries[k];
            if (isActionKind(entry.kind) && entry.actionIndex == actionSlot) {
                entry.kind = EntryDeleted;
                record.liveEntries--;
                break;
            }
        }
    }
}

void Document::deleteName(int32_t nameSlot)
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || !record->name[0])
        return;
    record->name[0] = 0;
    releaseEntries(*record);
    liveNames--;
}

void Document::deleteEntry(int32_t nameSlot, int32_t position)
{
    NameRecord* record = nameAt(nameSlot);
    Entry* entry = entryAt(nameSlot, position);
    if (!entry || entry->kind == EntryDeleted)
        return;
    entry->kind = EntryDeleted;
    releaseText(entry->text);
    entry->text = nullptr;
    record->liveEntries--;
}

void Document::removeLastName()
{
    if (namesCount == 0)
        return;
    NameRecord& record = names[namesCount - 1];
    if (record.name[0])
        liveNames--;
    releaseEntries(record);
    memset(&record, 0, sizeof record);
    namesCount--;
}

void Document::removeLastAction()
{
    if (actionCount == 0)
        return;
    int32_t slot = actionCount - 1;
    for (int32_t i = 0; i < namesCount; ++i) {
        NameRecord& record = names[i];
        if (!record.name[0] || !record.entries || record.entryCount == 0)
            continue;
        Entry& last = record.entries[record.entryCount - 1];
        if (isActionKind(last.kind) && last.actionIndex == slot)
            removeLastEntry(i);
    }
    if (actions[slot].text[0])
        liveActions--;
    memset(&actions[slot], 0, sizeof actions[slot]);
    actionCount--;
}

void Document::removeLastEntry(int32_t nameSlot)
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || !record->entries || record->entryCount == 0)
        return;
    Entry& last = record->entries[record->entryCount - 1];
    if (last.kind != EntryDeleted)
        record->liveEntries--;
    releaseText(last.text);
    memset(&last, 0, sizeof last);
    record->entryCount--;
}

void Document::hideName(int32_t nameSlot)
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || !record->name[0])
        return;
    record->name[0] = 0;
    liveNames--;
}

void Document::restoreName(int32_t nameSlot, const char* text)
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || record->name[0] || !text[0])
        return;
    // Hiding emptied only the first byte: the text that was hidden comes
    // back without a new block.
    if (strcmp(record->name + 1, text + 1) == 0) {
        record->name[0] = text[0];
    } else {
        char* copy = static_cast<char*>(allocZeroed(fittingLength(text, kTextSize) + 2));
        if (!copy)
            return;
        memcpy(copy, text, fittingLength(text, kTextSize));
        releaseText(record->name);
        record->name = copy;
    }
    liveNames++;
}

int Document::renameName(int32_t nameSlot, const char* text)
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || !record->name[0] || !text[0])
        return 0;
    size_t length = fittingLength(text, kTextSize);
    char* copy = static_cast<char*>(allocZeroed(length + 2));
    if (!copy)
        return 0;
    memcpy(copy, text, length);
    releaseText(record->name);
    record->name = copy;
    return 1;
}

void Document::releaseHiddenEntries(int32_t nameSlot)
{
    NameRecord* record = nameAt(nameSlot);
    if (record && !record->name[0])
        releaseEntries(*record);
}

void Document::restoreAction(int32_t actionSlot, const char* text)
{
    if (actionSlot < 0 || actionSlot >= actionCount || actions[actionSlot].text[0] || !text[0])
        return;
    copyField(actions[actionSlot].text, kTextSize, text);
    liveActions++;
}

int Document::restoreEntry(int32_t nameSlot, int32_t position, int32_t kind, const char* text)
{
    NameRecord* record = nameAt(nameSlot);
    Entry* entry = entryAt(nameSlot, position);
    if (!entry || entry->kind != EntryDeleted)
        return 1;
    if (hasOwnText(kind)) {
        char* copy = copyText(text ? text : "");
        if (!copy)
            return 0;
        releaseText(entry->text);
        entry->text = copy;
    }
    entry->kind = kind;
    record->liveEntries++;
    return 1;
}

NameRecord* Document::nameAt(int32_t slot) const
{
    if (!names || slot < 0 || slot >= namesCount)
        return nullptr;
    return &names[slot];
}

Entry* Document::entryAt(int32_t nameSlot, int32_t position) const
{
    NameRecord* record = nameAt(nameSlot);
    if (!record || !record->entries || position < 0 || position >= record->entryCount)
        return nullptr;
    return &record->entries[position];
}

const char* Document::actionText(int32_t actionSlot) const
{
    if (!actions || actionSlot < 0 || actionSlot >= actionCount)
        return "";
    return actions[actionSlot].text;
}

int64_t Document::liveEntryTotal() const
{
    int64_t total = 0;
    for (int32_t i = 0; i < namesCount; ++i)
        if (names[i].name[0])
            total += names[i].liveEntries;
    return total;
}

Entry* Document::takeEntryList(NameRecord& record, int32_t capacity)
{
    size_t bytes = capacity > 0 ? blockSize(size_t(capacity), sizeof(Entry)) : 0;
    auto* list = static_cast<Entry*>(bytes ? readBlocks.take(bytes) : nullptr);
    if (!list)
        return nullptr;
    record.entries = list;
    record.entryCount = record.liveEntries = 0;
    record.entryCapacity = capacity;
    return list;
}

void Document::finishEntryList(NameRecord& record, int32_t stored)
{
    record.entryCount = record.liveEntries = stored;
    memset(record.entries + stored, 0, size_t(record.entryCapacity - stored) * sizeof(Entry));
}
