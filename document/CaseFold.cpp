#include "document/CaseFold.h"

#include <algorithm>
#include <cstring>

#include "document/Utf8.h"

namespace {

#include "document/CaseFoldTable.inc"

const size_t kFoldCount = sizeof kCaseFolds / sizeof kCaseFolds[0];

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
        uint32_t code = Utf8::decode(p, end, &size);
        if (!size) {
            key += char(*p++);
            continue;
        }
        Utf8::append(foldChar(code), key);
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
