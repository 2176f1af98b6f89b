// The data-file reader: loadDataFile.
#include <climits>
#include <cstdio>
#include <cstring>

#include "DataFile.h"
#include "DocumentView.h"
#include "SectionFile.h"
#include "document/Document.h"

namespace {

const char kCaption[] = "Tallyvane";

// atoi's reading of a count: white space, a sign, digits; kept within int32.
int32_t parseCount(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    while (*text >= '0' && *text <= '9') {
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

// The text after the leading digits and the blanks that follow them.
const char* afterNumber(const char* line)
{
    while (*line >= '0' && *line <= '9')
        ++line;
    while (*line == ' ')
        ++line;
    return line;
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
// line). Notes inconsistencies 3, 5 and 6 in *inconsistency. 0 when memory ran out.
int readEntries(Document& doc, SectionFile& file, NameRecord& record, int* inconsistency)
{
    char line[SectionFile::kLineSize];
    file.readValue(line);
    int32_t declared = parseCount(line);
    // The declared count only sizes the list: never more than the lines
    // that follow, so a damaged count can't ask for gigabytes.
    int32_t limit = clampCount(declared, file.countValues()) + Document::kEntryStep;
    if (!doc.replaceEntryList(record, limit))
        return 0;

    int32_t stored = 0;
    int32_t actionEntries = 0;
    int ok = 1;
    while (stored < limit && file.readValue(line) && line[0]) {
        Entry& entry = record.entries[stored];
        int32_t kind = parseCount(line);
        entry.kind = kind;
        const char* rest = afterNumber(line);
        if (kind < 0 || kind > 4) {
            *inconsistency = 3;
        } else if (isActionKind(kind)) {
            entry.actionIndex = actionEntries++;
            size_t length = strlen(rest);
            if (length > 0 && length < 18)
                memcpy(entry.date, rest, length + 1);
        } else {
            char text[SectionFile::kLineSize];
            strcpy(text, rest);
            if (kind != EntryMemo) {
                char* tab = strchr(text, '\t');
                if (tab) {
                    *tab = 0;
                    Document::copyField(entry.date, sizeof entry.date, tab + 1);
                }
            }
            entry.text = Document::copyText(text);
            if (!entry.text)
                ok = 0;
        }
        stored++;
        if (!ok)
            break;
    }
    record.entryCount = record.liveEntries = stored;
    // A list read up to its capacity grows now, so the next entry has room.
    if (ok && !doc.ensureEntryRoom(record))
        ok = 0;
    if (!ok)
        return 0;
    if (stored != declared)
        *inconsistency = 5;
    if (actionEntries != doc.actionCount)
        *inconsistency = 6;
    return 1;
}

// The part of the load between the magic check and the final messages.
// Returns 1 on success, else 0 after reporting why.
int readDocument(Document& doc, DocumentView& view, SectionFile& file, int* inconsistency)
{
    char line[SectionFile::kLineSize];
    int32_t declaredNames = 0, nameRoom = 0;
    int32_t declaredActions = 0, actionRoom = 0;
    if (file.findSection("Names")) {
        file.readValue(line);
        declaredNames = parseCount(line);
        nameRoom = file.countValues();
    }
    if (file.findSection("Action Items")) {
        file.readValue(line);
        declaredActions = parseCount(line);
        actionRoom = file.countValues();
    }
    // The counts only size the tables: never beyond the lines that follow.
    if (!doc.resetDocument(clampCount(declaredNames, nameRoom), clampCount(declaredActions, actionRoom))) {
        view.reportError(kCaption, "Out of memory");
        return 0;
    }

    int32_t actionsRead = 0;
    while (file.readValue(line) && line[0]) {
        if (!doc.addActionItem(line)) {
            view.reportError(kCaption, "Out of memory");
            return 0;
        }
        actionsRead++;
    }
    if (actionsRead != declaredActions)
        *inconsistency = 1;

    if (file.findSection("Names")) {
        file.readValue(line);
        while (file.readValue(line) && line[0]) {
            if (line[0] < '0' || line[0] > '9' || parseCount(line) != doc.namesCount) {
                view.reportError(kCaption, "Data file is corrupt");
                return 0;
            }
            int32_t slot = doc.addName(afterNumber(line));
            if (slot < 0) {
                view.reportError(kCaption, "Out of memory");
                return 0;
            }
            // A line without a name keeps its slot, so the later lines keep
            // their numbers, but counts as deleted: no blank row, and a save
            // writes a consistent file without it.
            if (!doc.names[slot].name[0]) {
                doc.deleteName(slot);
                *inconsistency = 7;
                continue;
            }
            view.addNameRow(doc.names[slot].name, slot);
        }
    }
    if (doc.namesCount != declaredNames)
        *inconsistency = 2;

    for (int32_t i = 0; i < doc.namesCount; ++i) {
        if (!doc.names[i].name[0])
            continue;
        char number[16];
        snprintf(number, sizeof number, "%d", int(i));
        if (!file.findSection(number)) {
            *inconsistency = 4;
            continue;
        }
        if (!readEntries(doc, file, doc.names[i], inconsistency)) {
            view.reportError(kCaption, "Out of memory");
            return 0;
        }
    }
    return 1;
}

} // namespace

int loadDataFile(Document& doc, DocumentView& view, const char* path)
{
    SectionFile file;
    if (!file.openRead(path))
        return 0;
    view.clearNames();
    view.clearReadOnlyPrompt();

    char line[SectionFile::kLineSize];
    if (!file.findSection("Program") || !file.readValue(line) || !sameIgnoringCase(line, "Tallyvane")) {
        file.close();
        view.reportError(kCaption, "Not a Tallyvane data file");
        return 0;
    }

    int inconsistency = 0;
    int ok = readDocument(doc, view, file, &inconsistency);
    file.close();
    if (!ok)
        return 0;
    view.setViewTitle("Names");
    if (inconsistency) {
        char text[64];
        snprintf(text, sizeof text, "Data file is corrupt - Err# %d", inconsistency);
        view.reportError(kCaption, text);
        view.enterReadOnly();
    }
    view.addRecentFile(path);
    return 1;
}
