#pragma once
#include <cstddef>
#include <string>

// Texts of the data file are 8-bit ANSI: the system's ANSI code page in the
// Windows build, Windows-1252 in the native build. These convert between
// that and UTF-8 for rosters and exports.
namespace AnsiText {

// Appends the UTF-8 text (length bytes, valid UTF-8) to out in ANSI; false
// when a character has no ANSI form (out then holds part of the text). No
// best-fit: "Ł" is refused, not turned into "L".
bool fromUtf8(const char* text, size_t length, std::string& out);
// Appends the ANSI text (length bytes) to out as UTF-8.
void toUtf8(const char* text, size_t length, std::string& out);
// The longest start of text (length bytes) of at most limit bytes that does
// not split a character (double-byte code pages have two-byte characters).
size_t cutPoint(const char* text, size_t length, size_t limit);
// Replaces key with a form of the ANSI text in which letters that differ
// only in case are equal, so that "ANN", "Ann" and "ann" share one key.
void caseKey(const char* text, std::string& key);

} // namespace AnsiText
