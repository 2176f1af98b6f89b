#include "storage/format/RosterFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "storage/file/AnsiText.h"
#include "storage/format/SectionFile.h"
#include "storage/file/FileName.h"
#include "document/Document.h"
#include "document/HeapBlock.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// UTF-16 from start (after a byte-order mark, or 0 without one) as UTF-8;
// a lone surrogate becomes U+FFFD, which has no ANSI form.
void utf16ToUtf8(const unsigned char* data, size_t size, size_t start, bool little, std::string& out)
{
    out.clear();
    for (size_t i = start; i + 1 < size; i += 2) {
        uint32_t unit = little ? data[i] | (data[i + 1] << 8) : (data[i] << 8) | data[i + 1];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < size) {
            uint32_t low = little ? data[i + 2] | (data[i + 3] << 8) : (data[i + 2] << 8) | data[i + 3];
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AnsiText::appendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
                i += 2;
                continue;
            }
        }
        AnsiText::appendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit, out);
    }
}

// Text with NUL bytes is UTF-16 without a byte-order mark when the NULs are
// the high bytes of mostly Latin characters: all in one column of the byte
// pairs, in at least half of them. 1 little-endian, 2 big-endian, else 0.
int utf16Order(const unsigned char* data, size_t size)
{
    size_t pairs = size / 2, evenNuls = 0, oddNuls = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        evenNuls += data[i] == 0;
        oddNuls += data[i + 1] == 0;
    }
    if (size % 2 == 0 && evenNuls == 0 && oddNuls * 2 >= pairs)
        return 1;
    if (size % 2 == 0 && oddNuls == 0 && evenNuls * 2 >= pairs)
        return 2;
    return 0;
}

// What a file with NUL bytes most likely is, for the message that refuses it.
std::string binaryKind(const char* data, size_t size)
{
    // Workbooks: .xlsx and .ods are zip files, .xls a compound document.
    if ((size >= 4 && memcmp(data, "PK\x03\x04", 4) == 0) || (size >= 4 && memcmp(data, "\xD0\xCF\x11\xE0", 4) == 0))
        return "it looks like a spreadsheet workbook: save it as CSV first";
    if (size >= 2 && memcmp(data, "MZ", 2) == 0)
        return "it looks like a program";
    return "it is not a text file";
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Steps over one line end (CR LF, CR or LF) at p; counts it in *line.
const char* skipLineEnd(const char* p, const char* end, int32_t* line)
{
    if (p < end && *p == '\r')
        ++p;
    if (p < end && *p == '\n')
        ++p;
    ++*line;
    return p;
}

// One line of a text roster: the text up to the line end.
const char* readTextLine(const char* p, const char* end, std::string& cell)
{
    const char* start = p;
    while (p < end && !isLineBreak(*p))
        ++p;
    cell.assign(start, p);
    return p;
}

// Excel's first line "sep=;" names the separator: its character, or 0.
char excelSeparator(const char* p, const char* end)
{
    if (end - p < 5 || (p[0] | 0x20) != 's' || (p[1] | 0x20) != 'e' || (p[2] | 0x20) != 'p' || p[3] != '=')
        return 0;
    return end - p == 5 || isLineBreak(p[5]) ? p[4] : 0;
}

// The separator of a CSV roster without a "sep=" line: ';' or a tab when
// the first line has one outside quotes and no comma, else ','.
char guessSeparator(const char* p, const char* end)
{
    bool quoted = false, semicolon = false, tab = false;
    for (; p < end && (quoted || !isLineBreak(*p)); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else if (!quoted && *p == ',')
            return ',';
        else if (!quoted && *p == ';')
            semicolon = true;
        else if (!quoted && *p == '\t')
            tab = true;
    }
    return semicolon ? ';' : tab ? '\t' : ',';
}

// One record of a CSV roster.
struct CsvRecord {
    std::string cell;          // its first field
    bool otherText = false;    // another field holds something but blanks
    int32_t openQuote = 0;     // the line of a quote still open at the end, else 0
};

// Reads one record from p: its first field into record.cell, the other
// fields read over (they may hold quoted line breaks too). Counts the line
// breaks inside quotes in *line. Stops at the record's line end.
const char* readCsvRecord(const char* p, const char* end, char separator, CsvRecord& record, int32_t* line)
{
    record.cell.clear();
    record.otherText = false;
    record.openQuote = 0;
    std::string field;
    for (bool first = true;; first = false) {
        field.clear();
        if (p < end && *p == '"') {
            int32_t opened = *line;
            bool closed = false;
            ++p;
            while (p < end) {
                if (*p == '"') {
                    if (p + 1 < end && p[1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    closed = true;
                    break;
                }
                if (*p == '\r' || *p == '\n') {
                    // A CR LF inside quotes is one line break of the file.
                    if (*p == '\r' && p + 1 < end && p[1] == '\n') {
                        field += '\r';
                        ++p;
                    }
                    ++*line;
                }
                field += *p++;
            }
            if (!closed) {
                record.openQuote = opened;
                return p;
            }
        }
        // Unquoted text, or what follows a closing quote, up to the separator.
        while (p < end && *p != separator && !isLineBreak(*p))
            field += *p++;
        if (first)
            record.cell.swap(field);
        else if (field.find_first_not_of(" \t") != std::string::npos)
            record.otherText = true;
        if (p < end && *p == separator) {
            ++p;
            continue;
        }
        return p;
    }
}

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < ' ' || c == 0x7F;
}

// Length of the blank (a space, or U+00A0 in UTF-8 when utf8) at text[i], or 0.
size_t blankAt(const std::string& text, size_t i, bool utf8)
{
    if (text[i] == ' ')
        return 1;
    return utf8 && i + 1 < text.size() && text[i] == '\xC2' && text[i + 1] == '\xA0' ? 2 : 0;
}

// A run of control characters (a quoted line break, a tab) becomes one
// blank, and the blanks around the text go (non-breaking spaces too in UTF-8
// text): a data-file line holds no line break.
void tidy(std::string& text, bool utf8)
{
    std::string tidied;
    tidied.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isControl(text[i]))
            tidied += text[i];
        else if (i == 0 || !isControl(text[i - 1]))
            tidied += ' ';
    }
    size_t first = 0, last = tidied.size();
    while (first < last && blankAt(tidied, first, utf8))
        first += blankAt(tidied, first, utf8);
    for (;;) {
        if (last > first && tidied[last - 1] == ' ')
            last -= 1;
        else if (utf8 && last >= first + 2 && blankAt(tidied, last - 2, true) == 2)
            last -= 2;
        else
            break;
    }
    text = tidied.substr(first, last - first);
}

// The name as a roster name is tidied (ANSI in, ANSI out): what the
// document holds may have been typed with blanks around it or a tab.
void tidyAnsi(const char* name, std::string& out)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name);
    size_t length = strlen(name);
    bool plain = length > 0 && p[0] != ' ' && p[length - 1] != ' ';
    for (size_t i = 0; plain && i < length; ++i)
        plain = p[i] >= 0x20 && p[i] < 0x7F;
    out.assign(name, length);
    if (plain)
        return;
    std::string utf8;
    AnsiText::toUtf8(name, length, utf8);
    tidy(utf8, true);
    std::string back;
    if (AnsiText::fromUtf8(utf8.data(), utf8.size(), back))
        out.swap(back);
    else
        tidy(out, false);
}

// cell is tidied.
bool isHeader(const std::string& cell)
{
    if (cell.size() != 4)
        return false;
    for (size_t i = 0; i < 4; ++i)
        if ((cell[i] | 0x20) != "name"[i])
            return false;
    return true;
}

// The guard against formulas that the CSV export puts before a cell.
void dropFormulaGuard(std::string& cell)
{
    if (cell.size() >= 2 && cell[0] == '\'' && strchr("=+-@\t\r", cell[1]))
        cell.erase(0, 1);
}

} // namespace

int RosterFile::read(const char* path)
{
    setFileError("");
    HeapBlock data;
    *data.receive() = SectionFile::readWhole(path, data.length(), FileHandle::ShareReadWrite);
    if (!data) {
        names_.clear();
        notes_.clear();
        keys_.clear();
        presentCount_ = skipped_ = 0;
        const char* reason = *lastFileError() ? lastFileError() : "it is too large";
        error_ = std::string("Failed to open the existing file - ") + reason;
        return 0;
    }
    return parse(data.data(), size_t(data.size()), hasExtension(path, ".csv"));
}

int RosterFile::refuse(const std::string& reason)
{
    names_.clear();
    notes_.clear();
    keys_.clear();
    presentCount_ = skipped_ = 0;
    error_ = "Not a roster of names - " + reason;
    return 0;
}

int RosterFile::parse(const char* data, size_t size, bool csv)
{
    names_.clear();
    notes_.clear();
    keys_.clear();
    error_.clear();
    presentCount_ = skipped_ = 0;

    // "Unicode text" of some editors is UTF-16, with its byte-order mark or
    // without; any other NUL byte means the file holds no text at all.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    std::string fromUtf16;
    bool utf16 = true;
    if (size >= 2 && (memcmp(data, "\xFF\xFE", 2) == 0 || memcmp(data, "\xFE\xFF", 2) == 0)) {
        utf16ToUtf8(bytes, size, 2, data[0] == '\xFF', fromUtf16);
    } else if (memchr(data, 0, size)) {
        int order = utf16Order(bytes, size);
        if (!order)
            return refuse(binaryKind(data, size));
        utf16ToUtf8(bytes, size, 0, order == 1, fromUtf16);
    } else {
        utf16 = false;
    }
    if (utf16) {
        data = fromUtf16.data();
        size = fromUtf16.size();
    }
    const char* p = size >= 3 && memcmp(data, kBom, 3) == 0 ? data + 3 : data;
    const char* end = data + size;

    std::unordered_map<std::string, int32_t> seen;   // caseKey -> line of its first name
    CsvRecord record;
    bool headerChecked = false;
    int32_t line = 1;
    char separator = ',';
    if (csv) {
        separator = excelSeparator(p, end);
        if (separator) {
            p = skipLineEnd(readTextLine(p, end, record.cell), end, &line);
        } else {
            separator = guessSeparator(p, end);
        }
    }
    while (p < end) {
        int32_t rowLine = line;
        if (csv) {
            p = readCsvRecord(p, end, separator, record, &line);
            if (record.openQuote)
                return refuse("the quote opened on line " + std::to_string(record.openQuote) + " is never closed");
            dropFormulaGuard(record.cell);
        } else {
            p = readTextLine(p, end, record.cell);
        }
        p = skipLineEnd(p, end, &line);

        // Each line is UTF-8 when it can be, else in the legacy code page;
        // tidied as UTF-8.
        std::string cell;
        if (AnsiText::isUtf8(record.cell.data(), record.cell.size()))
            cell.swap(record.cell);
        else
            AnsiText::legacyToUtf8(record.cell.data(), record.cell.size(), cell);
        tidy(cell, true);
        if (cell.empty()) {
            if (csv && record.otherText) {
                notes_.push_back({rowLine, NoName, 0});
                skipped_++;
            }
            continue;
        }
        if (!headerChecked) {
            headerChecked = true;
            if (isHeader(cell))
                continue;
        }
        takeName(cell, rowLine, seen);
    }
    return 1;
}

// The length of the start of text (the program's) of at most limit
// characters: UTF-8 counted by characters, ANSI by bytes.
static size_t characterCut(const std::string& text, size_t limit)
{
    if (!AnsiText::programIsUtf8())
        return AnsiText::cutPoint(text.data(), text.size(), limit);
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (characters++ == limit)
            return i;
    }
    return text.size();
}

// Converts and cuts one tidied UTF-8 cell and appends it to names_, unless
// it has no ANSI form or an earlier row had the same name.
void RosterFile::takeName(const std::string& cell, int32_t line, std::unordered_map<std::string, int32_t>& seen)
{
    std::string text;
    if (!AnsiText::fromUtf8(cell.data(), cell.size(), text)) {
        notes_.push_back({line, NoAnsiForm, 0});
        skipped_++;
        return;
    }
    size_t whole = characterCut(text, kNameLimit);
    bool cut = whole < text.size();
    if (cut) {
        text.resize(whole);
        tidy(text, false);
    }
    std::string key;
    AnsiText::caseKey(text.c_str(), key);
    auto first = seen.emplace(key, line);
    if (!first.second) {
        notes_.push_back({line, Repeated, first.first->second});
        skipped_++;
        return;
    }
    if (cut)
        notes_.push_back({line, NameCut, 0});
    names_.push_back({text, line, false});
    keys_.push_back(key);
}

int32_t RosterFile::sortOut(const Document& doc)
{
    std::unordered_set<std::string> held;
    held.reserve(size_t(doc.liveNames > 0 ? doc.liveNames : 0));
    std::string key, tidied;
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        const NameRecord* record = doc.nameAt(i);
        if (!record || !record->name[0])
            continue;
        tidyAnsi(record->name, tidied);
        AnsiText::caseKey(tidied.c_str(), key);
        held.insert(key);
    }
    notes_.erase(std::remove_if(notes_.begin(), notes_.end(), [](const Note& n) { return n.kind == Present; }),
                 notes_.end());
    presentCount_ = 0;
    for (size_t i = 0; i < names_.size(); ++i) {
        names_[i].present = held.count(keys_[i]) != 0;
        if (names_[i].present) {
            notes_.push_back({names_[i].line, Present, 0});
            presentCount_++;
        }
    }
    return newCount();
}

namespace {

// The key sortOut compares names by.
std::string heldKey(const char* text)
{
    std::string tidied, key;
    tidyAnsi(text, tidied);
    AnsiText::caseKey(tidied.c_str(), key);
    return key;
}

}  // namespace

bool RosterFile::holdsName(const Document& doc, const char* name)
{
    const std::string wanted = heldKey(name);
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        const NameRecord* record = doc.nameAt(i);
        if (record && record->name[0] && heldKey(record->name) == wanted)
            return true;
    }
    return false;
}

bool RosterFile::holdsAction(const Document& doc, const char* text)
{
    const std::string wanted = heldKey(text);
    for (int32_t i = 0; i < doc.actionCount; ++i)
        if (doc.actions[i].text[0] && heldKey(doc.actions[i].text) == wanted)
            return true;
    return false;
}

int32_t RosterFile::addTo(Document& doc, std::vector<int32_t>* slots) const
{
    int32_t added = 0;
    for (const Name& name : names_) {
        if (name.present)
            continue;
        int32_t slot = doc.addName(name.text.c_str());
        if (slot < 0)
            return -1;
        if (slots)
            slots->push_back(slot);
        added++;
    }
    return added;
}

std::vector<RosterFile::Note> RosterFile::notes() const
{
    std::vector<Note> sorted = notes_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Note& a, const Note& b) { return a.line < b.line; });
    return sorted;
}

std::string RosterFile::noteText(const Note& note)
{
    switch (note.kind) {
    case NameCut:
        return "name cut to 127 characters";
    case NoAnsiForm:
        return "a character of the name has no ANSI form - skipped";
    case Repeated:
        return "same name as line " + std::to_string(note.firstLine) + " - skipped";
    case Present:
        return "already in the data file - skipped";
    case NoName:
        return "no name in the first column - skipped";
    }
    return std::string();
}

std::string RosterFile::noteLines(const char* rosterName) const
{
    std::string lines;
    for (const Note& note : notes())
        lines += std::string(rosterName) + ":" + std::to_string(note.line) + ": " + noteText(note) + "\n";
    return lines;
}
