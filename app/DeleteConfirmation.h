// The question the warning window asks before a name, an action item or an
// entry is deleted: "Ok to Delete?" and the item's text on a line of its own.
#pragma once

namespace DeleteConfirmation {

// Size of the buffer the question is built in, NUL included.
const int BufferSize = 148;
// The longest item text that is shown whole; longer texts (memos read from a
// file can be) are cut and end in "...".
const int MaxItemLength = BufferSize - 1 - 14;

// Writes "Ok to Delete?\n" and itemText (cut as above) into question.
void compose(const char* itemText, char (&question)[BufferSize]);

}  // namespace DeleteConfirmation
