// ANSI text of the native build: Windows-1252, so that data files read and
// written here match those of a Western European Windows.
#include "storage/file/AnsiText.h"

#include <cstdint>

namespace {

// Unicode of the bytes 0x80-0x9F; the five bytes Windows-1252 leaves
// unassigned stand for the control characters of the same number, as they
// do in Windows' own conversion.
const uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint32_t unicodeOf(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The 1252 byte of a code point, or -1.
int byteOf(uint32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return int(code);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == code)
            return 0x80 + i;
    return -1;
}

unsigned char upper(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
    }
}

} // namespace

bool AnsiText::fromUtf8(const char* text, size_t length, std::string& out)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        uint32_t code = *p++;
        int more = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
        if (more)
            code &= 0x3F >> more;
        for (; more > 0 && p < end; --more)
            code = (code << 6) | (*p++ & 0x3F);
        int byte = byteOf(code);
        if (byte < 0)
            return false;
        out += char(byte);
    }
    return true;
}

void AnsiText::toUtf8(const char* text, size_t length, std::string& out)
{
    for (size_t i = 0; i < length; ++i)
        AnsiText::appendUtf8(unicodeOf(static_cast<unsigned char>(text[i])), out);
}

size_t AnsiText::cutPoint(const char*, size_t length, size_t limit)
{
    return length < limit ? length : limit;
}

void AnsiText::caseKey(const char* text, std::string& key)
{
    key.clear();
    for (; *text; ++text)
        key += char(upper(static_cast<unsigned char>(*text)));
}
