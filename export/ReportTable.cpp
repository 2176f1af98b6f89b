#include "export/ReportTable.h"

#include <algorithm>
#include <cstring>

#include "document/Document.h"
#include "storage/file/AnsiText.h"

namespace {

// strcmp with a-z read as A-Z; other bytes compare as they are.
int compareIgnoringAsciiCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a);
        unsigned char y = static_cast<unsigned char>(*b);
        if (x >= 'a' && x <= 'z')
            x -= 32;
        if (y >= 'a' && y <= 'z')
            y -= 32;
        if (x != y || !x)
            return int(x) - int(y);
    }
}

} // namespace

ReportTable::ReportTable(const Document& doc)
    : doc_(doc)
{
    columnOf_.assign(size_t(doc.actionCount > 0 ? doc.actionCount : 0), -1);
    for (int32_t slot = 0; slot < doc.actionCount; ++slot) {
        if (!doc.actions[slot].text[0])
            continue;
        columnOf_[size_t(slot)] = int32_t(actions_.size());
        actions_.push_back(slot);
    }
    for (int32_t slot = 0; slot < doc.namesCount; ++slot)
        if (doc.names[slot].name[0])
            names_.push_back(slot);
    std::stable_sort(names_.begin(), names_.end(), [&doc](int32_t a, int32_t b) {
        return compareIgnoringAsciiCase(doc.names[a].name, doc.names[b].name) < 0;
    });
}

void ReportTable::actionEntries(int32_t nameSlot, std::vector<const Entry*>& cells) const
{
    cells.assign(actions_.size(), nullptr);
    const NameRecord* record = doc_.nameAt(nameSlot);
    if (!record || !record->entries)
        return;
    for (int32_t i = 0; i < record->entryCount; ++i) {
        const Entry& entry = record->entries[i];
        if (!isActionKind(entry.kind) || entry.actionIndex < 0 || entry.actionIndex >= int32_t(columnOf_.size()))
            continue;
        int32_t column = columnOf_[size_t(entry.actionIndex)];
        if (column >= 0 && !cells[size_t(column)])
            cells[size_t(column)] = &entry;
    }
}

void ReportTable::ownEntries(int32_t nameSlot, std::vector<const Entry*>& entries) const
{
    entries.clear();
    const NameRecord* record = doc_.nameAt(nameSlot);
    if (!record || !record->entries)
        return;
    for (int32_t i = 0; i < record->entryCount; ++i)
        if (hasOwnText(record->entries[i].kind) && record->entries[i].text)
            entries.push_back(&record->entries[i]);
}

void ReportTable::appendUtf8(const char* text, std::string& out)
{
    AnsiText::toUtf8(text, strlen(text), out);
}
