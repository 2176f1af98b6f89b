// The main window's title: the open file's last path component, or
// "Untitled", followed by " - Tallyvane".
#pragma once
#include <cstddef>

namespace WindowTitle {

// Room for the longest title: 259 characters of file name, the suffix and the NUL.
const size_t MaxLength = 259 + 12 + 1;

// The part of path after its last '\\', ':' or '/'. A separator that is the
// very first character stays part of the name; a path without one is its
// own name.
const char* fileNamePart(const char* path);

// Writes the title for path (null or empty: untitled) into title, which has
// room for size bytes; the text is cut to fit and always ends with a NUL.
void compose(const char* path, char* title, size_t size);

}  // namespace WindowTitle
