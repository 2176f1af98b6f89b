#include "document/CaseFold.h"

#include <algorithm>
#include <cstring>

namespace {

#include "document/CaseFoldTable.inc"

const size_t kFoldCount = sizeof kCaseFolds / sizeof kCaseFolds[0];

// The character of the valid UTF-8 sequence at p (before end) and its
// length in *size; 0 in *size when p does not start a valid sequence.
uint32_t decode(const unsigned char* p, const unsigned char* end, int* size)
{
    unsigned char c = *p;
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
        *size = 0;
        return 0;
    }
    if (end - p <= more) {
        *size = 0;
        return 0;
    }
    for (int i = 1; i <= more; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *size = 0;
            return 0;
        }
        code = (code << 6) | (p[i] & 0x3F);
    }
    if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
        || (more == 3 && (code < 0x10000 || code > 0x10FFFF))) {
        *size = 0;
        return 0;
    }
    *size = more + 1;
    return code;
}

void append(uint32_t code, std::string& out)
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

}  // namespace

uint32_t CaseFold::foldChar(uint32_t code)
{
    if (code < 0x80)
        return code >= 'A' && code <= 'Z' ? code + 32 : code;
    const uint32_t(*found)[2] = std::lower_bound(kCaseFolds, kCaseFolds + kFoldCount, code,
                                                 [](const uint32_t(&pair)[2], uint32_t value) { return pair[0] < value; });
    return found != kCaseFolds + kFoldCount && (*found)[0] == code ? (*found)[1] : code;
}

void CaseFold::foldKey(const char* text, size_t length, std::string& key)
{
    key.clear();
    key.reserve(length);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        if (*p < 0x80) {
            key += char(*p >= 'A' && *p <= 'Z' ? *p + 32 : *p);
            ++p;
            continue;
        }
        int size;
        uint32_t code = decode(p, end, &size);
        if (!size) {
            key += char(*p++);
            continue;
        }
        append(foldChar(code), key);
        p += size;
    }
}

std::string CaseFold::foldKey(const char* text)
{
    std::string key;
    foldKey(text, strlen(text), key);
    return key;
}

bool CaseFold::foldEqual(const char* a, const char* b)
{
    return foldKey(a) == foldKey(b);
}

size_t CaseFold::tableSize()
{
    return kFoldCount;
}

void CaseFold::tableEntry(size_t i, uint32_t* from, uint32_t* to)
{
    *from = kCaseFolds[i][0];
    *to = kCaseFolds[i][1];
}
