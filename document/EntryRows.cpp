#include "document/EntryRows.h"

#include "document/EntryKind.h"
#include "document/NameRecord.h"

namespace EntryRows {

int32_t positionOfRow(const NameRecord& person, int row) {
    if (row < 0 || !person.entries) return -1;
    for (int32_t position = person.entryCount - 1; position >= 0; --position) {
        if (person.entries[position].kind == EntryDeleted) continue;
        if (row-- == 0) return position;
    }
    return -1;
}

int rowOfPosition(const NameRecord& person, int32_t position) {
    if (!person.entries || position < 0 || position >= person.entryCount ||
        person.entries[position].kind == EntryDeleted)
        return -1;
    int row = 0;
    for (int32_t later = person.entryCount - 1; later > position; --later)
        if (person.entries[later].kind != EntryDeleted) ++row;
    return row;
}

}  // namespace EntryRows
