// Text of the Windows build, through UTF-16: the program's text is in the
// process's ANSI code page (UTF-8 where the manifest's activeCodePage is
// honoured), the legacy code page is the user locale's ANSI code page.
#include "storage/file/AnsiText.h"

#include <windows.h>

#include <cstdlib>

namespace {

// text (length bytes in codePage) as UTF-16; false when it does not convert.
bool toWide(UINT codePage, DWORD flags, const char* text, size_t length, std::wstring& wide)
{
    wide.clear();
    if (!length)
        return true;
    int count = MultiByteToWideChar(codePage, flags, text, int(length), nullptr, 0);
    if (count <= 0)
        return false;
    wide.resize(size_t(count));
    return MultiByteToWideChar(codePage, flags, text, int(length), &wide[0], count) == count;
}

// Appends wide to out in codePage; false when a character has no form there.
// WC_NO_BEST_FIT_CHARS and the used-default flag together catch every
// character that would come out as "?" or as a look-alike letter (UTF-8
// takes neither and holds every character).
bool fromWide(UINT codePage, const std::wstring& wide, std::string& out)
{
    if (wide.empty())
        return true;
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    int count = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, used);
    if (count <= 0 || usedDefault)
        return false;
    size_t start = out.size();
    out.resize(start + size_t(count));
    count = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), &out[start], count, nullptr, used);
    return count > 0 && !usedDefault;
}

// Converts between two code pages; false when the text is not valid in
// from (with MB_ERR_INVALID_CHARS) or has no form in to.
bool convert(UINT from, DWORD flags, const char* text, size_t length, UINT to, std::string& out)
{
    std::wstring wide;
    return toWide(from, flags, text, length, wide) && fromWide(to, wide, out);
}

}  // namespace

namespace AnsiText {
unsigned programCodePage() { return GetACP(); }
}

bool AnsiText::programIsUtf8()
{
    return GetACP() == CP_UTF8;
}

unsigned AnsiText::legacyCodePage()
{
    // The locale does not change while the program runs.
    static unsigned codePage = [] {
        char number[8] = "";
        unsigned value = 0;
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, number, sizeof number) > 0)
            value = unsigned(strtoul(number, nullptr, 10));
        // Locales without an ANSI code page of their own (Hindi, Georgian)
        // say 0; the program's code page is the legacy one where it is not UTF-8.
        if (!value || !IsValidCodePage(value))
            value = GetACP() == CP_UTF8 ? 1252 : GetACP();
        return value;
    }();
    return codePage;
}

bool AnsiText::legacyCodePageKnown()
{
    return true;
}

bool AnsiText::fromUtf8(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || programIsUtf8()) {
        out.append(text, length);
        return true;
    }
    return convert(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, CP_ACP, out);
}

void AnsiText::toUtf8(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || programIsUtf8() || !convert(CP_ACP, 0, text, length, CP_UTF8, out))
        out.append(text, length);
}

void AnsiText::legacyToUtf8(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || legacyCodePage() == CP_UTF8 || !convert(legacyCodePage(), 0, text, length, CP_UTF8, out))
        out.append(text, length);
}

bool AnsiText::utf8ToLegacy(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || legacyCodePage() == CP_UTF8) {
        out.append(text, length);
        return true;
    }
    return convert(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, legacyCodePage(), out);
}

namespace {

size_t doubleByteCut(UINT codePage, const char* text, size_t length, size_t limit)
{
    if (length <= limit)
        return length;
    size_t at = 0;
    while (at < limit) {
        size_t step = IsDBCSLeadByteEx(codePage, BYTE(text[at])) ? 2 : 1;
        if (at + step > limit)
            break;
        at += step;
    }
    return at;
}

}  // namespace

size_t AnsiText::cutPoint(const char* text, size_t length, size_t limit)
{
    if (programIsUtf8())
        return Utf8::cutPoint(text, length, limit);
    return doubleByteCut(CP_ACP, text, length, limit);
}

size_t AnsiText::legacyCutPoint(const char* text, size_t length, size_t limit)
{
    if (legacyCodePage() == CP_UTF8)
        return Utf8::cutPoint(text, length, limit);
    return doubleByteCut(legacyCodePage(), text, length, limit);
}
