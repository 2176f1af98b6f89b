#include "RosterFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "AnsiText.h"
#include "SectionFile.h"
#include "FileName.h"
#include "document/Document.h"
#include "document/Heap.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isUtf8(const unsigned char* p, size_t size)
{
    const unsigned char* end = p + size;
    while (p < end) {
        unsigned char c = *p++;
        if (c < 0x80)
            continue;
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
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        p += more;
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            || (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
    }
    return true;
}

// UTF-16 after its byte-order mark (either order) as UTF-8 with a BOM; a
// lone surrogate becomes U+FFFD, which has no ANSI form.
void utf16ToUtf8(const unsigned char* data, size_t size, std::string& out)
{
    bool little = data[0] == 0xFF;
    out = kBom;
    for (size_t i = 2; i + 1 < size; i += 2) {
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

// One record of a CSV roster: its first field into cell, the record's other
// fields read over (they may hold quoted line breaks too). Counts the line
// breaks inside quotes in *line. Stops at the record's line end.
const char* readCsvRecord(const char* p, const char* end, std::string& cell, int32_t* line)
{
    cell.clear();
    bool first = true;
    for (;;) {
        std::string field;
        if (p < end && *p == '"') {
            ++p;
            while (p < end) {
                if (*p == '"') {
                    if (p + 1 < end && p[1] == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
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
        }
        // Unquoted text, or what follows a closing quote, up to the comma.
        while (p < end && *p != ',' && !isLineBreak(*p))
            field += *p++;
        if (first)
            cell.swap(field);
        first = false;
        if (p < end && *p == ',') {
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

// A run of control characters (a quoted line break, a tab) becomes one
// blank, and the blanks around the text go: a data-file line holds no line break.
void tidy(std::string& text)
{
    std::string tidied;
    tidied.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isControl(text[i]))
            tidied += text[i];
        else if (i == 0 || !isControl(text[i - 1]))
            tidied += ' ';
    }
    size_t first = tidied.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    size_t last = tidied.find_last_not_of(' ');
    text = tidied.substr(first, last - first + 1);
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

} // namespace

int RosterFile::read(const char* path)
{
    int32_t got = 0;
    char* data = SectionFile::readWhole(path, &got);
    if (!data)
        return 0;
    parse(data, size_t(got), hasExtension(path, ".csv"));
    releaseBlock(data);
    return 1;
}

void RosterFile::parse(const char* data, size_t size, bool csv)
{
    names_.clear();
    notes_.clear();
    keys_.clear();
    presentCount_ = skipped_ = 0;

    // "Unicode text" of some editors is UTF-16 with its byte-order mark.
    std::string fromUtf16;
    if (size >= 2 && (memcmp(data, "\xFF\xFE", 2) == 0 || memcmp(data, "\xFE\xFF", 2) == 0)) {
        utf16ToUtf8(reinterpret_cast<const unsigned char*>(data), size, fromUtf16);
        data = fromUtf16.data();
        size = fromUtf16.size();
    }
    bool utf8 = size >= 3 && memcmp(data, kBom, 3) == 0;
    const char* p = utf8 ? data + 3 : data;
    const char* end = data + size;
    if (!utf8)
        utf8 = isUtf8(reinterpret_cast<const unsigned char*>(p), size_t(end - p));

    std::unordered_map<std::string, int32_t> seen;   // caseKey -> line of its first name
    std::string cell;
    bool headerChecked = false;
    int32_t line = 1;
    while (p < end) {
        int32_t rowLine = line;
        p = csv ? readCsvRecord(p, end, cell, &line) : readTextLine(p, end, cell);
        p = skipLineEnd(p, end, &line);
        tidy(cell);
        if (cell.empty())
            continue;
        if (!headerChecked) {
            headerChecked = true;
            if (isHeader(cell))
                continue;
        }
        takeName(cell, rowLine, utf8, seen);
    }
}

// Converts and cuts one tidied cell and appends it to names_, unless it has
// no ANSI form or an earlier row had the same name.
void RosterFile::takeName(const std::string& cell, int32_t line, bool utf8,
                          std::unordered_map<std::string, int32_t>& seen)
{
    std::string text;
    if (!utf8) {
        text = cell;
    } else if (!isUtf8(reinterpret_cast<const unsigned char*>(cell.data()), cell.size())
               || !AnsiText::fromUtf8(cell.data(), cell.size(), text)) {
        notes_.push_back({line, NoAnsiForm, 0});
        skipped_++;
        return;
    }
    bool cut = text.size() > kNameLimit;
    if (cut) {
        text.resize(AnsiText::cutPoint(text.data(), text.size(), kNameLimit));
        tidy(text);
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
    std::string key;
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        const NameRecord* record = doc.nameAt(i);
        if (!record || !record->name[0])
            continue;
        AnsiText::caseKey(record->name, key);
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
