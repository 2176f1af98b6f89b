// Whether a copy of a data file is whole: a file that a sync client or a
// power cut left half-written reads as a valid, smaller document, so a copy
// that is to be merged (the file on disk at Save, at activation, at a
// restore; the inputs of tvd merge) is looked at first.
#pragma once
#include <cstddef>

// The reason given for a copy that is not whole.
extern const char kIncompleteDataFile[];   // "Data file is incomplete"

// True when size bytes at data hold every section the format requires
// (Program, Action Items, Names, and one section per name), each list
// holds the count its first line announces, and the last line is ended
// (the writer ends every line). The reader's own checks (Err# 1-7) come on
// top: a copy can be whole and still damaged.
bool isWholeDataFile(const char* data, size_t size);
