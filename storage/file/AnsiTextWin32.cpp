// ANSI text of the Windows build: the system's ANSI code page, through UTF-16.
#include "storage/file/AnsiText.h"

#include <windows.h>

namespace {

bool isAscii(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

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

} // namespace

bool AnsiText::fromUtf8(const char* text, size_t length, std::string& out)
{
    if (isAscii(text, length) || GetACP() == CP_UTF8) {
        out.append(text, length);
        return true;
    }
    std::wstring wide;
    if (!toWide(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, wide))
        return false;
    // WC_NO_BEST_FIT_CHARS and the used-default flag together catch every
    // character that would come out as "?" or as a look-alike letter.
    BOOL usedDefault = FALSE;
    int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), nullptr, 0,
                                    nullptr, &usedDefault);
    if (count <= 0 || usedDefault)
        return false;
    size_t start = out.size();
    out.resize(start + size_t(count));
    count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()), &out[start], count,
                                nullptr, &usedDefault);
    return count > 0 && !usedDefault;
}

void AnsiText::toUtf8(const char* text, size_t length, std::string& out)
{
    std::wstring wide;
    if (isAscii(text, length) || GetACP() == CP_UTF8 || !toWide(CP_ACP, 0, text, length, wide)) {
        out.append(text, length);
        return;
    }
    int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (count <= 0)
        return;
    size_t start = out.size();
    out.resize(start + size_t(count));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &out[start], count, nullptr, nullptr);
}

size_t AnsiText::cutPoint(const char* text, size_t length, size_t limit)
{
    if (length <= limit)
        return length;
    size_t at = 0;
    while (at < limit) {
        size_t step = IsDBCSLeadByteEx(CP_ACP, BYTE(text[at])) ? 2 : 1;
        if (at + step > limit)
            break;
        at += step;
    }
    return at;
}

void AnsiText::caseKey(const char* text, std::string& key)
{
    key.clear();
    std::wstring wide;
    size_t length = strlen(text);
    if (!toWide(CP_ACP, 0, text, length, wide) || wide.empty()) {
        key = text;
        return;
    }
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &wide[0], int(wide.size()), &wide[0], int(wide.size()));
    key.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}
