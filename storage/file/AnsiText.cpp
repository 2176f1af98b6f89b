// The parts of AnsiText both builds share: conversions between the legacy
// code page and the program's text, made of the platform's own ones.
#include "storage/file/AnsiText.h"

#include "document/CaseFold.h"

namespace AnsiText {
// The program's code page number (65001 for UTF-8); AnsiTextPosix.cpp and
// AnsiTextWin32.cpp.
unsigned programCodePage();
}

bool AnsiText::fromLegacy(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || programCodePage() == legacyCodePage()) {
        out.append(text, length);
        return true;
    }
    if (programIsUtf8()) {
        legacyToUtf8(text, length, out);
        return true;
    }
    std::string utf8;
    legacyToUtf8(text, length, utf8);
    return fromUtf8(utf8.data(), utf8.size(), out);
}

bool AnsiText::toLegacy(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || programCodePage() == legacyCodePage()) {
        out.append(text, length);
        return true;
    }
    if (programIsUtf8())
        return utf8ToLegacy(text, length, out);
    std::string utf8;
    toUtf8(text, length, utf8);
    return utf8ToLegacy(utf8.data(), utf8.size(), out);
}

bool AnsiText::fitsLegacy(const char* text, size_t length)
{
    if (isAscii(text, length))
        return true;
    std::string legacy;
    return toLegacy(text, length, legacy);
}

void AnsiText::caseKey(const char* text, std::string& key)
{
    size_t length = 0;
    while (text[length])
        ++length;
    if (programIsUtf8() || isAscii(text, length)) {
        CaseFold::foldKey(text, length, key);
        return;
    }
    std::string utf8;
    toUtf8(text, length, utf8);
    CaseFold::foldKey(utf8.data(), utf8.size(), key);
}
