#include "document/RowSearch.h"

namespace RowSearch {

namespace {

// Lower case of an ANSI character: A-Z, and the accented capitals of code
// page 1252 (0xC0-0xDE but the multiplication sign), plus its three
// capitals outside that range (Š, Œ, Ž; Ÿ goes to ÿ).
unsigned char lower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

bool startsWith(const unsigned char* text, const unsigned char* part) {
    for (; *part; ++text, ++part)
        if (!*text || lower(*text) != lower(*part)) return false;
    return true;
}

}  // namespace

bool containsIgnoringCase(const char* text, const char* part) {
    if (!text || !part || !*part) return false;
    auto* t = reinterpret_cast<const unsigned char*>(text);
    auto* p = reinterpret_cast<const unsigned char*>(part);
    for (; *t; ++t)
        if (startsWith(t, p)) return true;
    return false;
}

int nextMatch(int count, int from, const std::function<const char*(int row)>& textOf, const char* part) {
    if (count <= 0) return -1;
    if (from < -1 || from >= count) from = -1;
    for (int step = 1; step <= count; ++step) {
        int row = (from + step) % count;
        if (containsIgnoringCase(textOf(row), part)) return row;
    }
    return -1;
}

}  // namespace RowSearch
