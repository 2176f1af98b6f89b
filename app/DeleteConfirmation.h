// The question the warning window asks before a name, an action item or an
// entry is deleted: "Ok to Delete?" and the item's text on a line of its own.
#pragma once

namespace DeleteConfirmation {

// The longest item text, in characters, that is shown whole; longer texts
// (memos read from a file can be) are cut before a whole character and end
// in "...".
const int MaxItemLength = 133;
// Size of the buffer the question is built in, NUL included: the head and
// the longest text in UTF-8, four bytes a character at most.
const int BufferSize = 14 + 4 * MaxItemLength + 1;

// Writes "Ok to Delete?\n" and itemText (cut as above) into question.
void compose(const char* itemText, char (&question)[BufferSize]);

}  // namespace DeleteConfirmation
