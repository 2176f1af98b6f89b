#pragma once
#include <cstddef>
#include <cstdint>
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

// Appends the character code (below 0x110000) to out as UTF-8.
inline void appendUtf8(uint32_t code, std::string& out)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

} // namespace AnsiText
