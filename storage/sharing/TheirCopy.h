// Another program's copy of the data file: the file on disk before a save
// merges with it, when the program becomes active again, and when changes
// recovered after a crash are merged into it. One rule for all three: a
// copy is taken only when it is whole (isWholeDataFile) and loads
// undamaged; anything else (half written by a sync client, cut short by a
// power cut, not a data file) is refused, and nothing is merged with it or
// written over it.
#pragma once
#include <cstddef>
#include <string>

class Document;

// Loads the size bytes at data into doc. 1 when the copy can be merged
// with; 0 otherwise, with "CAPTION: TEXT" of the reader's first message
// (or a description of its own) in *problem.
int loadTheirCopy(Document& doc, const char* data, size_t size, std::string* problem = nullptr);
