#include "EntryRows.h"

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

}  // namespace EntryRows
