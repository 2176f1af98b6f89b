#pragma once
#include <cstdint>

// What one item of a name's entry list is. Checked and unchecked codes of a
// checkbox differ by one (0/1, 3/4); the grid toggles between those pairs.
// A damaged file can leave other values in Entry::kind; they are kept as read.
enum EntryKind : int32_t {
    EntryDeleted = -1,  // stays in place so that positions do not move
    ActionOpen = 0,     // this person's checkbox for one action item
    ActionDone = 1,
    EntryMemo = 2,      // a memo line with its own text
    CheckboxOpen = 3,   // a single checkbox of this person alone
    CheckboxDone = 4,
};

inline bool isActionKind(int32_t kind) { return kind == ActionOpen || kind == ActionDone; }
inline bool hasOwnText(int32_t kind) { return kind == EntryMemo || kind == CheckboxOpen || kind == CheckboxDone; }
