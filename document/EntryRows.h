// The rule that ties a row of the Entries view to its entry: the view lists
// the entries that are not deleted, newest first, so row r stands for the
// r-th such entry counted back from the end of the list.
#pragma once
#include <cstdint>

#include "NameRecord.h"

namespace EntryRows {

// Position in record's entry list of the entry shown in row, or -1 when the
// list has no such row.
inline int32_t positionOf(const NameRecord& record, int32_t row)
{
    if (!record.entries || row < 0)
        return -1;
    int32_t last = record.entryCount < record.entryCapacity ? record.entryCount : record.entryCapacity;
    for (int32_t position = last - 1; position >= 0; --position) {
        if (record.entries[position].kind == EntryDeleted)
            continue;
        if (row-- == 0)
            return position;
    }
    return -1;
}

}  // namespace EntryRows
