// The data-file reader: loadDataFile.
#include <climits>
#include <cstdio>
#include <cstring>

#include <string>

#include "storage/file/AnsiText.h"
#include "storage/format/DataFile.h"
#include "storage/format/LoadReport.h"
#include "storage/format/SectionFile.h"
#include "document/Document.h"

namespace {

const char kUnshownText[] =
    "Some names of this file can't be shown on this computer, which has no Unicode (UTF-8) "
    "code page for programs (Windows 10 version 1903 or later has it). The file is opened "
    "read-only, so that nothing in it is changed.";

// atoi's reading of a count from text up to end: white space, a sign,
// digits; kept within int32.
int32_t parseCount(const char* text, const char* end)
{
    while (text < end && (*text == ' ' || (*text >= '\t' && *text <= '\r')))
        ++text;
    bool negative = text < end && *text == '-';
    if (text < end && (*text == '-' || *text == '+'))
        ++text;
    long long value = 0;
    while (text < end && *text >= '0' && *text <= '9') {
        if (value < 10000000000LL)
            value = value * 10 + (*text - '0');
        ++text;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

int32_t parseCount(const char* text)
{
    return parseCount(text, text + strlen(text));
}

// The text after the leading digits and the blanks that follow them.
const char* afterNumber(const char* line, const char* end)
{
    while (line < end && *line >= '0' && *line <= '9')
        ++line;
    while (line < end && *line == ' ')
        ++line;
    return line;
}

const char* afterNumber(const char* line)
{
    return afterNumber(line, line + strlen(line));
}

bool sameIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
        char y = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

// The length of UTF-8 text without a character sequence that its end cuts short.
size_t wholeCharacters(const char* text, size_t length)
{
    size_t start = length;
    while (start > 0 && length - start < 3 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return length;
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    if (lead < 0xC0)
        return length;
    size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return length - (start - 1) < need ? start - 1 : length;
}

// The texts of a file as the program's text. A legacy file (no marker) is
// read with today's line and slot limits, counted in its own bytes; a UTF-8
// file's lines may be four times as long, and its texts are cut only at a
// whole character.
class TextReader {
public:
    explicit TextReader(bool utf8) : utf8_(utf8) {}

    bool utf8() const { return utf8_; }
    int lineSize() const { return utf8_ ? SectionFile::kUtf8LineSize : SectionFile::kLineSize; }

    // The text (length bytes) as the program's text, valid until the next
    // call; *size gets its length. The text itself when no conversion is
    // needed (then NUL-terminated only when text was), else a NUL-terminated copy.
    const char* convert(const char* text, size_t length, size_t* size)
    {
        // A line cut at the line size may end inside a character: the
        // character goes, as a legacy line loses its last bytes.
        if (utf8_ && length >= size_t(lineSize() - 1) - 4)
            length = wholeCharacters(text, length);
        if (AnsiText::isAscii(text, length) || sameEncoding()) {
            if (utf8_ && !AnsiText::isUtf8(text, length))
                damaged_ = true;
            return keep(text, length, size);
        }
        converted_.clear();
        bool ok = utf8_ ? AnsiText::isUtf8(text, length) && AnsiText::fromUtf8(text, length, converted_)
                        : AnsiText::fromLegacy(text, length, converted_);
        if (!ok) {
            // Not valid UTF-8 is a damaged file; a character this system
            // can't hold (a UTF-8 file on a Windows without the UTF-8 code
            // page) can't be shown or saved: both keep the text as it is
            // in a read-only document.
            if (utf8_ && !AnsiText::isUtf8(text, length))
                damaged_ = true;
            else
                unshown_ = true;
            return keep(text, length, size);
        }
        *size = converted_.size();
        return converted_.c_str();
    }
    // A name or action item as a slot holds it: a legacy file's cut at the
    // legacy slot size in its own bytes, before the conversion.
    const char* slot(const char* text)
    {
        size_t length = strlen(text);
        if (!utf8_ && length > size_t(Document::kLegacyTextSize - 1)) {
            length = AnsiText::legacyCutPoint(text, length, Document::kLegacyTextSize - 1);
            cut_.assign(text, length);
            text = cut_.c_str();
        }
        size_t size;
        return convert(text, length, &size);
    }

    bool damaged() const { return damaged_; }
    bool unshown() const { return unshown_; }

private:
    bool sameEncoding() const
    {
        return utf8_ ? AnsiText::programIsUtf8() : false;
    }
    static const char* keep(const char* text, size_t length, size_t* size)
    {
        *size = length;
        return text;
    }

    bool utf8_;
    bool damaged_ = false;
    bool unshown_ = false;
    std::string converted_;
    std::string cut_;
};

// A declared count kept within the lines that follow it (and far from overflow).
int32_t clampCount(int32_t declared, int32_t room)
{
    const int32_t most = INT32_MAX - 1000;
    if (room > most)
        room = most;
    if (declared < 0)
        return 0;
    return declared < room ? declared : room;
}

// Reads the entry lines of one name's section (the cursor is on its count
// line). Notes the damages EntryKind, EntryCount and ActionEntries in
// *inconsistency, and in *counted a count line that holds no number or
// another count than the lines below it. same (or null) is the person of that number in
// doc.lender. 0 when memory ran out.
int readEntries(Document& doc, SectionFile& file, TextReader& texts, NameRecord& record, const NameRecord* same,
                LoadReport::Damage* inconsistency, bool* counted)
{
    char line[SectionFile::kUtf8LineSize];
    if (!file.readValue(line, texts.lineSize()) || line[0] < '0' || line[0] > '9')
        *counted = false;
    int32_t declared = parseCount(line);
    // The declared count only sizes the list: never more than the lines
    // that follow, so a damaged count can't ask for gigabytes.
    int32_t lines = file.countValues();
    int32_t limit = clampCount(declared, lines) + Document::kEntryStep;
    int32_t capacity = limit;
    if (doc.readRoom < Document::kEntryStep)
        capacity = (limit < lines ? limit : lines) + (doc.readRoom > 0 ? doc.readRoom : 0) + (lines ? 0 : 1);
    ReadBlocks::Mark mark = doc.readMark();
    Entry* list = doc.takeEntryList(record, capacity);
    if (!list)
        return 0;

    int32_t stored = 0;
    int32_t actionEntries = 0;
    int ok = 1;
    const char* text;
    size_t length;
    // Each line is read where it lies in the file's buffer and its entry is
    // composed whole, every byte of it written once.
    while (stored < limit && stored < capacity && file.readValueInPlace(&text, &length, texts.lineSize()) && length) {
        const char* end = text + length;
        Entry entry = {};
        int32_t kind = parseCount(text, end);
        entry.kind = kind;
        const char* rest = afterNumber(text, end);
        size_t restLength = size_t(end - rest);
        if (kind < 0 || kind > 4) {
            *inconsistency = LoadReport::Damage::EntryKind;
        } else if (isActionKind(kind)) {
            entry.actionIndex = actionEntries++;
            if (restLength > 0 && restLength < 18)
                memcpy(entry.date, rest, restLength);
        } else {
            size_t textLength = restLength;
            if (kind != EntryMemo) {
                const char* tab = static_cast<const char*>(memchr(rest, '\t', restLength));
                if (tab) {
                    textLength = size_t(tab - rest);
                    size_t dateLength = size_t(end - tab - 1);
                    if (dateLength > sizeof entry.date - 1)
                        dateLength = sizeof entry.date - 1;
                    memcpy(entry.date, tab + 1, dateLength);
                }
            }
            rest = texts.convert(rest, textLength, &textLength);
            entry.text = doc.keepText(rest, textLength);
            if (!entry.text)
                ok = 0;
        }
        list[stored++] = entry;
        if (!ok)
            break;
    }
    doc.finishEntryList(record, stored);
    // A list read up to its capacity grows now, so the next entry has room
    // (in a copy that is only read, it has the room asked for); a copy
    // read beside the one it was made from shares the lists alike.
    bool shared = ok && same && doc.shareLenderList(record, *same, mark);
    if (ok && !shared && doc.readRoom && !doc.ensureEntryRoom(record))
        ok = 0;
    if (!ok)
        return 0;
    if (stored != declared) {
        *inconsistency = LoadReport::Damage::EntryCount;
        *counted = false;
    }
    if (actionEntries != doc.actionCount)
        *inconsistency = LoadReport::Damage::ActionEntries;
    return 1;
}

// Names get their entry lists after all of them are read; a load that ends
// early gives the live names read so far the lists a name is added with.
void giveListsUpTo(Document& doc, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        if (doc.names[i].name[0] && !doc.names[i].entries && !doc.giveActionEntries(doc.names[i]))
            return;
}

// The part of the load between the magic check and the final messages.
// Returns 1 on success, else 0 with the message that says why in *failure;
// the caller shows it once the file is closed. *counted becomes false when
// a section the format requires is missing or a list's first line holds
// no count or another than the lines below it (the copy is not whole).
int readDocument(Document& doc, LoadReport& report, SectionFile& file, TextReader& texts,
                 LoadReport::Damage* inconsistency, const char** failure, bool* counted)
{
    char line[SectionFile::kUtf8LineSize];
    const int size = texts.lineSize();
    int32_t declaredNames = 0, nameRoom = 0;
    int32_t declaredActions = 0, actionRoom = 0;
    auto countLine = [&]() {
        if (!file.readValue(line, size) || line[0] < '0' || line[0] > '9')
            *counted = false;
        return parseCount(line);
    };
    if (file.findSection("Names")) {
        declaredNames = countLine();
        nameRoom = file.countValues();
    } else {
        *counted = false;
    }
    if (file.findSection("Action Items")) {
        declaredActions = countLine();
        actionRoom = file.countValues();
    } else {
        *counted = false;
    }
    // The counts only size the tables: never beyond the lines that follow.
    if (!doc.resetDocument(clampCount(declaredNames, nameRoom), clampCount(declaredActions, actionRoom))) {
        *failure = "Out of memory";
        return 0;
    }
    report.markReplaced();

    int32_t actionsRead = 0;
    while (file.readValue(line, size) && line[0]) {
        if (!doc.addActionItem(texts.slot(line))) {
            *failure = "Out of memory";
            return 0;
        }
        actionsRead++;
    }
    if (actionsRead != declaredActions) {
        *inconsistency = LoadReport::Damage::ActionCount;
        *counted = false;
    }

    if (file.findSection("Names")) {
        file.readValue(line, size);
        while (file.readValue(line, size) && line[0]) {
            if (line[0] < '0' || line[0] > '9' || parseCount(line) != doc.namesCount) {
                giveListsUpTo(doc, doc.namesCount);
                *failure = "Data file is corrupt";
                return 0;
            }
            int32_t slot = doc.appendName(texts.slot(afterNumber(line)));
            if (slot < 0) {
                giveListsUpTo(doc, doc.namesCount);
                *failure = "Out of memory";
                return 0;
            }
            // A line without a name keeps its slot, so the later lines keep
            // their numbers, but counts as deleted: no blank row, and a save
            // writes a consistent file without it.
            if (!doc.names[slot].name[0]) {
                // appendName counted it live and gave it no list yet: it
                // stays without one, as a deleted slot does.
                doc.liveNames--;
                *inconsistency = LoadReport::Damage::BlankName;
                continue;
            }
        }
    }
    if (doc.namesCount != declaredNames) {
        *inconsistency = LoadReport::Damage::NameCount;
        *counted = false;
    }
    doc.utf8File = texts.utf8();

    for (int32_t i = 0; i < doc.namesCount; ++i) {
        if (!doc.names[i].name[0])
            continue;
        char number[16];
        snprintf(number, sizeof number, "%d", int(i));
        if (!file.findSection(number)) {
            *inconsistency = LoadReport::Damage::MissingList;
            *counted = false;
            // The name keeps the list it would have been added with.
            if (doc.giveActionEntries(doc.names[i]))
                continue;
        } else if (readEntries(doc, file, texts, doc.names[i], doc.lender ? doc.lender->nameAt(i) : nullptr,
                               inconsistency, counted)) {
            continue;
        }
        giveListsUpTo(doc, doc.namesCount);
        *failure = "Out of memory";
        return 0;
    }
    return 1;
}

} // namespace

namespace {

// The load of an opened file. *whole (when given) tells whether the copy is
// whole, as isWholeDataFile but for its last line.
LoadReport loadOpened(Document& doc, SectionFile& file, bool* whole = nullptr)
{
    LoadReport report;
    char line[SectionFile::kLineSize];
    if (!file.findSection("Program") || !file.readValue(line) || !sameIgnoringCase(line, "Tallyvane")) {
        file.close();
        report.fail("Not a Tallyvane data file");
        return report;
    }

    // A file written in UTF-8 says so on the line after the magic; a legacy
    // file's second line is empty (or anything else an older version wrote).
    TextReader texts(file.readValue(line) && strcmp(line, kUtf8Marker) == 0);

    // Nothing is said while the file is open (and mapped): no other program
    // can open it meanwhile, and a message box can stay up for long.
    LoadReport::Damage inconsistency = LoadReport::Damage::None;
    const char* failure = nullptr;
    bool counted = true;
    int ok = readDocument(doc, report, file, texts, &inconsistency, &failure, &counted);
    file.close();
    if (whole)
        *whole = ok && counted;
    if (!ok) {
        report.fail(failure);
        return report;
    }
    // Text that is not UTF-8 in a UTF-8 file is a damage of its own.
    if (inconsistency == LoadReport::Damage::None && texts.damaged())
        inconsistency = LoadReport::Damage::NotUtf8;
    if (inconsistency != LoadReport::Damage::None)
        report.damage(inconsistency);
    else if (texts.unshown())
        report.unshown(kUnshownText);
    return report;
}

LoadReport notOpened()
{
    LoadReport report;
    report.fail(nullptr);
    return report;
}

} // namespace

LoadReport loadDataFile(Document& doc, const char* path)
{
    SectionFile file;
    if (!file.openRead(path))
        return notOpened();
    return loadOpened(doc, file);
}

LoadReport loadDataBytes(Document& doc, const char* data, size_t size)
{
    SectionFile file;
    if (!file.openBuffer(data, size))
        return notOpened();
    return loadOpened(doc, file);
}

LoadReport loadDataBytes(Document& doc, const char* data, size_t size, bool* whole)
{
    *whole = false;
    SectionFile file;
    if (!file.openBuffer(data, size))
        return notOpened();
    LoadReport report = loadOpened(doc, file, whole);
    if (!size || (data[size - 1] != '\n' && data[size - 1] != '\r'))
        *whole = false;
    return report;
}
