#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/Utf8.h"

// The encodings of the program's texts.
//
// The program's own text (what the document holds and the windows show) is
// UTF-8 wherever the system runs the program in the UTF-8 code page (Windows
// 10 1903 and later with the manifest's activeCodePage, Wine 8, and always in
// the native build); on older Windows it is the system's ANSI code page.
//
// The legacy code page is the 8-bit code page of data files without the
// "UTF-8" marker, of rosters that are not UTF-8 and of the clipboard's
// CF_TEXT: the user's locale's ANSI code page in the Windows build (no
// longer GetACP() once that is UTF-8), TVD_CODEPAGE (default 1252) in the
// native one.
namespace AnsiText {

// The program's text is UTF-8.
bool programIsUtf8();
// The legacy code page's number (1252, 1250, 932, ...).
unsigned legacyCodePage();
// The native build: false when TVD_CODEPAGE names no code page it knows
// (the legacy code page is then 1252). Always true in the Windows build.
bool legacyCodePageKnown();

// Appends the UTF-8 text (length bytes, valid UTF-8) to out as the
// program's text; false when a character has no form there (out then holds
// part of the text). No best-fit: "Ł" (U+0141) is refused, not turned into "L".
bool fromUtf8(const char* text, size_t length, std::string& out);
// Appends the program's text (length bytes) to out as UTF-8.
void toUtf8(const char* text, size_t length, std::string& out);

// Appends the legacy text to out as UTF-8.
void legacyToUtf8(const char* text, size_t length, std::string& out);
// Appends the UTF-8 text to out in the legacy code page; false when a
// character has no form there (no best-fit either).
bool utf8ToLegacy(const char* text, size_t length, std::string& out);
// Legacy text to the program's text and back; false when a character has no
// form on the other side. Both copy the text as it is when the two
// encodings are one.
bool fromLegacy(const char* text, size_t length, std::string& out);
bool toLegacy(const char* text, size_t length, std::string& out);
// The program's text converts to the legacy code page without a change.
bool fitsLegacy(const char* text, size_t length);

// The longest start of the program's text (length bytes) of at most limit
// bytes that ends at a whole character.
size_t cutPoint(const char* text, size_t length, size_t limit);
// The same for legacy text (double-byte code pages have two-byte characters).
size_t legacyCutPoint(const char* text, size_t length, size_t limit);

// Replaces key with the simple case folding of the program's text, so that
// "ANN", "Ann" and "ann" share one key, as do "ŁUKASZ" and "łukasz".
void caseKey(const char* text, std::string& key);

inline bool isAscii(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// Text that passes is taken as UTF-8 wherever the encoding is not known
// (a roster line, a file name in the native build), other text as ANSI.
inline bool isUtf8(const char* text, size_t length) { return Utf8::isValid(text, length); }

// Appends the character code (below 0x110000) to out as UTF-8.
inline void appendUtf8(uint32_t code, std::string& out) { Utf8::append(code, out); }

} // namespace AnsiText
