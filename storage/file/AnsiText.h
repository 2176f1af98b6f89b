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

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// Text that passes is taken as UTF-8 wherever the encoding is not known
// (a roster line, a file name in the native build), other text as ANSI.
inline bool isUtf8(const char* text, size_t length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        unsigned char c = *p++;
        if (c < 0x80)
            continue;
        int more;
        uint32_t code;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        p += more;
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            || (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
    }
    return true;
}

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
