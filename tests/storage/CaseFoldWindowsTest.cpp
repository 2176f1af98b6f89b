// The portable case folding agrees with Windows' own case-insensitive
// comparison (CompareStringOrdinal with ignoreCase, which upper-cases) on
// every character of the Basic Multilingual Plane that both know.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "document/CaseFold.h"

namespace {

using CompareOrdinal = int(WINAPI*)(LPCWCH, int, LPCWCH, int, BOOL);
using MapString = int(WINAPI*)(LPCWSTR, DWORD, LPCWSTR, int, LPWSTR, int, void*, void*, LPARAM);

// Loaded at run time: older MinGW headers and Windows before Vista lack them.
template <typename Function>
Function kernelFunction(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

bool isSurrogate(uint32_t code)
{
    return code >= 0xD800 && code <= 0xDFFF;
}

TEST(CaseFoldWindows, AgreesWithCompareStringOrdinal)
{
    CompareOrdinal compare = kernelFunction<CompareOrdinal>("CompareStringOrdinal");
    MapString map = kernelFunction<MapString>("LCMapStringEx");
    if (!compare || !map)
        GTEST_SKIP() << "CompareStringOrdinal or LCMapStringEx is missing";
    auto mapped = [map](DWORD how, wchar_t c) {
        wchar_t out = c;
        map(L"", how, &c, 1, &out, 1, nullptr, nullptr, 0);
        return out;
    };
    auto upper = [&](wchar_t c) { return mapped(LCMAP_UPPERCASE, c); };
    auto lower = [&](wchar_t c) { return mapped(LCMAP_LOWERCASE, c); };
    // Windows has no folding of its own: two characters are one ignoring
    // case when its ordinal comparison says so, or they share an upper or a
    // lower case (the micro sign and mu, the Kelvin sign and k).
    auto windowsEqual = [&](wchar_t a, wchar_t b) {
        return compare(&a, 1, &b, 1, TRUE) == CSTR_EQUAL || upper(a) == upper(b) || lower(a) == lower(b)
               || lower(upper(a)) == lower(upper(b));
    };

    // Every pair of the table whose first character Windows knows (it has
    // an upper or a lower case there) compares equal there. Wine 8 knows no
    // case of the micro sign, the final sigma, the long s, the Kelvin sign
    // and a few more that fold to another letter; Windows 10 does.
    std::vector<std::string> disagreements;
    for (size_t i = 0; i < CaseFold::tableSize(); ++i) {
        uint32_t from, to;
        CaseFold::tableEntry(i, &from, &to);
        if (from > 0xFFFF || to > 0xFFFF)
            continue;
        wchar_t a = wchar_t(from), b = wchar_t(to);
        if (upper(a) == a && lower(a) == a)
            continue;   // unknown there, or newer than the system's tables
        if (!windowsEqual(a, b))
            disagreements.push_back("table " + std::to_string(from) + " -> " + std::to_string(to));
    }
    // Every character Windows upper-cases to another folds to what its
    // upper case folds to, but for the one case Unicode's simple folding
    // keeps apart on purpose: the Turkish dotless i, whose capital is I.
    for (uint32_t code = 0x80; code <= 0xFFFF; ++code) {
        if (isSurrogate(code) || code == 0x0131)
            continue;
        wchar_t c = wchar_t(code);
        wchar_t u = upper(c);
        if (u == c)
            continue;
        if (CaseFold::foldChar(code) != CaseFold::foldChar(u)
            && (CaseFold::foldChar(code) != code || CaseFold::foldChar(u) != u))
            disagreements.push_back("upper " + std::to_string(code) + " -> " + std::to_string(u));
    }
    std::string all;
    for (const std::string& line : disagreements)
        all += line + "\n";
    EXPECT_TRUE(disagreements.empty()) << all;
}

}  // namespace
