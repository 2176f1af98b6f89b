// The data-file writer: saveDataFile.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "storage/format/DataFile.h"
#include "storage/format/DocumentView.h"
#include "storage/format/SectionFile.h"
#include "document/Document.h"

namespace {

// Writes one composed line. A line break inside a text would split the line
// in two on reading, so breaks (which no editor produces) become blanks.
void writeText(SectionFile& file, char* line)
{
    for (char* p = line; *p; ++p)
        if (*p == '\r' || *p == '\n')
            *p = ' ';
    file.writeLine(line);
}

// Composes one line into a kLineSize buffer, cutting it at kLineSize - 1
// characters as snprintf into that buffer would; cheaper than snprintf for
// the million entry lines of a large file.
class LineBuilder {
public:
    explicit LineBuilder(char* line) : line_(line) { line_[0] = 0; }
    void add(const char* text)
    {
        while (*text && used_ < kMost)
            line_[used_++] = *text++;
        line_[used_] = 0;
    }
    void addNumber(int32_t value)
    {
        char digits[12];
        int count = 0;
        uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
        do {
            digits[count++] = char('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0)
            digits[count++] = '-';
        while (count && used_ < kMost)
            line_[used_++] = digits[--count];
        line_[used_] = 0;
    }

    // Characters that still fit.
    size_t room() const { return size_t(kMost - used_); }

private:
    static const int kMost = SectionFile::kLineSize - 1;
    char* line_;
    int used_ = 0;
};

// Composes one entry line into line (kLineSize bytes), cut to fit.
void composeEntry(const Entry& entry, char* line)
{
    LineBuilder out(line);
    out.addNumber(entry.kind);
    out.add(" ");
    if (hasOwnText(entry.kind)) {
        out.add(entry.text ? entry.text : "");
        if (entry.kind != EntryMemo) {
            // The first tab of a checkbox line starts its date on reading:
            // tabs inside the text (pasted into the prompt) become blanks.
            for (char* p = line; *p; ++p)
                if (*p == '\t')
                    *p = ' ';
            // A date that would be cut is left out with its tab: a tab at the
            // very end would read back as an empty date and the next save
            // would differ from this one.
            if (entry.date[0] && out.room() > strlen(entry.date)) {
                out.add("\t");
                out.add(entry.date);
            }
        }
    } else {
        out.add(entry.date);
    }
}

// Writes everything after the Program section; false when the counts
// don't match what was written.
bool writeBody(Document& doc, SectionFile& file)
{
    char line[SectionFile::kLineSize];

    file.writeSection("Action Items");
    snprintf(line, sizeof line, "%d", int(doc.liveActions));
    file.writeLine(line);
    int32_t written = 0;
    for (int32_t i = 0; i < doc.actionCount; ++i) {
        if (!doc.actions[i].text[0])
            continue;
        // An action line starting with "[" would read back as a section
        // header and end the list: such a text is written after a blank.
        const char* text = doc.actions[i].text;
        snprintf(line, sizeof line, "%s%s", text[0] == '[' ? " " : "", text);
        writeText(file, line);
        written++;
    }
    if (written != doc.liveActions)
        return false;

    file.writeLine("");
    file.writeSection("Names");
    snprintf(line, sizeof line, "%d", int(doc.liveNames));
    file.writeLine(line);
    int32_t position = 0;
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        if (!doc.names[i].name[0])
            continue;
        LineBuilder out(line);
        out.addNumber(position);
        out.add(" ");
        out.add(doc.names[i].name);
        writeText(file, line);
        position++;
    }
    if (position != doc.liveNames)
        return false;

    file.writeLine("");
    position = 0;
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        const NameRecord& record = doc.names[i];
        if (!record.name[0])
            continue;
        LineBuilder(line).addNumber(position);
        file.writeSection(line);
        LineBuilder(line).addNumber(record.liveEntries);
        file.writeLine(line);
        int32_t lines = 0;
        for (int32_t k = 0; record.entries && k < record.entryCount; ++k) {
            if (record.entries[k].kind == EntryDeleted)
                continue;
            composeEntry(record.entries[k], line);
            writeText(file, line);
            lines++;
        }
        if (lines != record.liveEntries)
            return false;
        position++;
    }
    return true;
}

} // namespace

bool writeDataLines(Document& doc, SectionFile& file)
{
    file.writeSection("Program");
    file.writeLine("Tallyvane");
    file.writeLine("");
    return writeBody(doc, file);
}

SaveResult writeDataFile(Document& doc, const char* path)
{
    SectionFile file;
    if (!file.openWrite(path))
        return SaveResult::NotCreated;
    bool consistent = writeDataLines(doc, file);
    bool written = file.close() != 0;
    if (!consistent)
        return SaveResult::Corrupt;
    if (!written)
        return SaveResult::WriteFailed;
    doc.modified = 0;
    return SaveResult::Saved;
}

int saveDataFile(Document& doc, DocumentView& view, const char* path)
{
    SaveResult result = writeDataFile(doc, path);
    if (result == SaveResult::Corrupt)
        view.reportError("Tallyvane", "Data is corrupt - file not saved");
    return result == SaveResult::Saved;
}
