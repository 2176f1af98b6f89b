// Text of the native build: the program's text is UTF-8; the legacy code
// page is the Windows single-byte code page named by TVD_CODEPAGE (1252 when
// unset), so that data files read and written here match those of a Windows
// of that language.
#include "storage/file/AnsiText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

#include "storage/file/CodePageTables.inc"

const CodePageTable* named(const char* number)
{
    if (!number || !*number)
        return nullptr;
    char* end = nullptr;
    unsigned long value = strtoul(number, &end, 10);
    if (*end)
        return nullptr;
    for (const CodePageTable& table : kCodePages)
        if (table.number == value)
            return &table;
    return nullptr;
}

// Read at each use, so that a test can change it; only texts that are not
// ASCII ask for it.
const CodePageTable& legacyTable()
{
    const CodePageTable* table = named(getenv("TVD_CODEPAGE"));
    if (table)
        return *table;
    for (const CodePageTable& known : kCodePages)
        if (known.number == 1252)
            return known;
    return kCodePages[0];
}

// The byte of a character in table, or -1.
int byteOf(const CodePageTable& table, uint32_t code)
{
    if (code < 0x80)
        return int(code);
    for (int i = 0; i < 128; ++i)
        if (table.high[i] == code)
            return 0x80 + i;
    return -1;
}

}  // namespace

namespace AnsiText {
unsigned programCodePage() { return 65001; }
}

bool AnsiText::programIsUtf8()
{
    return true;
}

unsigned AnsiText::legacyCodePage()
{
    return legacyTable().number;
}

bool AnsiText::legacyCodePageKnown()
{
    const char* value = getenv("TVD_CODEPAGE");
    return !value || !*value || named(value);
}

bool AnsiText::fromUtf8(const char* text, size_t length, std::string& out)
{
    out.append(text, length);
    return true;
}

void AnsiText::toUtf8(const char* text, size_t length, std::string& out)
{
    out.append(text, length);
}

void AnsiText::legacyToUtf8(const char* text, size_t length, std::string& out)
{
    const CodePageTable& table = legacyTable();
    for (size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        appendUtf8(byte < 0x80 ? byte : table.high[byte - 0x80], out);
    }
}

bool AnsiText::utf8ToLegacy(const char* text, size_t length, std::string& out)
{
    const CodePageTable& table = legacyTable();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        uint32_t code = *p++;
        int more = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
        if (more)
            code &= 0x3F >> more;
        for (; more > 0 && p < end; --more)
            code = (code << 6) | (*p++ & 0x3F);
        int byte = byteOf(table, code);
        if (byte < 0)
            return false;
        out += char(byte);
    }
    return true;
}

size_t AnsiText::cutPoint(const char* text, size_t length, size_t limit)
{
    return Utf8::cutPoint(text, length, limit);
}

size_t AnsiText::legacyCutPoint(const char*, size_t length, size_t limit)
{
    return length < limit ? length : limit;
}
