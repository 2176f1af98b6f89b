// Strict UTF-8, one character at a time: no overlong forms, no surrogates,
// nothing above U+10FFFF. Shared by case folding and the text conversions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace Utf8 {

// The character of the valid sequence at p (before end) and its length in
// *size; 0 in *size when p does not start a valid sequence.
inline uint32_t decode(const unsigned char* p, const unsigned char* end, int* size)
{
    *size = 0;
    unsigned char c = *p;
    if (c < 0x80) {
        *size = 1;
        return c;
    }
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
        return 0;
    }
    if (end - p <= more)
        return 0;
    for (int i = 1; i <= more; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
        || (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
        return 0;
    *size = more + 1;
    return code;
}

// Whether all of text (length bytes) is strict UTF-8.
inline bool isValid(const char* text, size_t length)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        int size;
        decode(p, end, &size);
        if (!size)
            return false;
        p += size;
    }
    return true;
}

// Appends the character code (below 0x110000) to out.
inline void append(uint32_t code, std::string& out)
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

// The longest start of text (length bytes) of at most limit bytes that does
// not end inside a character's sequence: the character the limit falls in
// goes whole to the part after the cut.
inline size_t cutPoint(const char* text, size_t length, size_t limit)
{
    if (length <= limit)
        return length;
    size_t at = limit;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
        --at;
    return at;
}

// The bytes of the first characters characters of text (length bytes); a
// byte that does not start a valid sequence counts as one character.
inline size_t bytesOfCharacters(const char* text, size_t length, size_t characters)
{
    const unsigned char* start = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* p = start;
    const unsigned char* end = start + length;
    for (; p < end && characters > 0; --characters) {
        int size;
        decode(p, end, &size);
        p += size ? size : 1;
    }
    return size_t(p - start);
}

}  // namespace Utf8
