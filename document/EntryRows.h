// The rule that ties a row of the Entries view to its entry: the view shows
// one row per entry that is not deleted, newest first.
#pragma once
#include <cstdint>

struct NameRecord;

namespace EntryRows {

// Position in the person's entry list of row (0 = the newest live entry),
// or -1 when there is no such row.
int32_t positionOfRow(const NameRecord& person, int row);
// The row that shows the entry at position, or -1 when it is deleted or
// there is none.
int rowOfPosition(const NameRecord& person, int32_t position);

}  // namespace EntryRows
