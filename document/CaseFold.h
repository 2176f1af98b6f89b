// Matching text ignoring case the same way everywhere (names on Add and in
// rosters, Find, the merge's matching): Unicode's simple case folding, one
// character to one character, from a table generated from CaseFolding.txt.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace CaseFold {

// The character code folds to (U+0141 "Ł" to U+0142 "ł", "A" to "a"); itself when it has no folding.
uint32_t foldChar(uint32_t code);
// The folded form of UTF-8 text (length bytes): each whole character folded,
// any byte that is not part of a valid sequence kept as it is.
void foldKey(const char* text, size_t length, std::string& key);
std::string foldKey(const char* text);
// a and b (NUL-terminated UTF-8) are equal once folded.
bool foldEqual(const char* a, const char* b);
// The number of characters the table folds to another one, for the
// agreement test with the system's own tables.
size_t tableSize();
// The table's i-th pair.
void tableEntry(size_t i, uint32_t* from, uint32_t* to);

}  // namespace CaseFold
