// The data-file writer: saveDataFile.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <string>

#include "storage/file/AnsiText.h"
#include "storage/format/DataFile.h"
#include "storage/format/MessageSink.h"
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

// The texts of the document in the file's encoding: the legacy code page
// with today's line limit, or UTF-8 with lines four times as long, cut only
// before a whole character.
class TextWriter {
public:
    explicit TextWriter(bool utf8) : utf8_(utf8) {}

    bool utf8() const { return utf8_; }
    int most() const { return (utf8_ ? SectionFile::kUtf8LineSize : SectionFile::kLineSize) - 1; }

    // The program's text in the file's encoding, valid until the next call.
    // Every text converts: dataFileInUtf8 chose the encoding so.
    const char* convert(const char* text)
    {
        size_t length = strlen(text);
        if (AnsiText::isAscii(text, length))
            return text;
        converted_.clear();
        if (utf8_)
            AnsiText::toUtf8(text, length, converted_);
        else
            AnsiText::toLegacy(text, length, converted_);
        return converted_.c_str();
    }

private:
    bool utf8_;
    std::string converted_;
};

// Composes one line into a kUtf8LineSize buffer, cutting it at the file's
// line limit as snprintf into a buffer of that size would (a UTF-8 line
// before a whole character); cheaper than snprintf for the million entry
// lines of a large file.
class LineBuilder {
public:
    LineBuilder(char* line, const TextWriter& texts) : line_(line), most_(texts.most()), utf8_(texts.utf8())
    {
        line_[0] = 0;
    }
    void add(const char* text)
    {
        while (*text && used_ < most_)
            line_[used_++] = *text++;
        // Cut inside a character: the whole character goes.
        while (utf8_ && *text && used_ > 0 && (static_cast<unsigned char>(*text) & 0xC0) == 0x80) {
            --used_;
            --text;
        }
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
        while (count && used_ < most_)
            line_[used_++] = digits[--count];
        line_[used_] = 0;
    }

    // Characters that still fit.
    size_t room() const { return size_t(most_ - used_); }

private:
    char* line_;
    int most_;
    bool utf8_;
    int used_ = 0;
};

// Composes one entry line into line (kUtf8LineSize bytes), cut to fit.
void composeEntry(const Entry& entry, char* line, TextWriter& texts)
{
    LineBuilder out(line, texts);
    out.addNumber(entry.kind);
    out.add(" ");
    if (hasOwnText(entry.kind)) {
        out.add(entry.text ? texts.convert(entry.text) : "");
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
bool writeBody(Document& doc, SectionFile& file, TextWriter& texts)
{
    char line[SectionFile::kUtf8LineSize];

    file.writeSection("Action Items");
    snprintf(line, sizeof line, "%d", int(doc.liveActions));
    file.writeLine(line);
    int32_t written = 0;
    for (int32_t i = 0; i < doc.actionCount; ++i) {
        if (!doc.actions[i].text[0])
            continue;
        // An action line starting with "[" would read back as a section
        // header and end the list: such a text is written after a blank.
        const char* text = texts.convert(doc.actions[i].text);
        LineBuilder out(line, texts);
        out.add(text[0] == '[' ? " " : "");
        out.add(text);
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
        LineBuilder out(line, texts);
        out.addNumber(position);
        out.add(" ");
        out.add(texts.convert(doc.names[i].name));
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
        LineBuilder(line, texts).addNumber(position);
        file.writeSection(line);
        LineBuilder(line, texts).addNumber(record.liveEntries);
        file.writeLine(line);
        int32_t lines = 0;
        for (int32_t k = 0; record.entries && k < record.entryCount; ++k) {
            if (record.entries[k].kind == EntryDeleted)
                continue;
            composeEntry(record.entries[k], line, texts);
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

bool dataFileInUtf8(const Document& doc)
{
    if (doc.utf8File)
        return true;
    for (int32_t i = 0; i < doc.actionCount; ++i)
        if (!AnsiText::fitsLegacy(doc.actions[i].text, strlen(doc.actions[i].text)))
            return true;
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        const NameRecord& record = doc.names[i];
        if (!record.name[0])
            continue;
        if (!AnsiText::fitsLegacy(record.name, strlen(record.name)))
            return true;
        for (int32_t k = 0; record.entries && k < record.entryCount; ++k) {
            const Entry& entry = record.entries[k];
            if (entry.kind != EntryDeleted && hasOwnText(entry.kind) && entry.text
                && !AnsiText::fitsLegacy(entry.text, strlen(entry.text)))
                return true;
        }
    }
    return false;
}

bool writeDataLines(Document& doc, SectionFile& file)
{
    TextWriter texts(dataFileInUtf8(doc));
    file.writeSection("Program");
    file.writeLine("Tallyvane");
    if (texts.utf8())
        file.writeLine(kUtf8Marker);
    file.writeLine("");
    return writeBody(doc, file, texts);
}

SaveResult writeDataFile(Document& doc, const char* path)
{
    SectionFile file;
    if (!file.openWrite(path))
        return SaveResult::NotCreated;
    bool utf8 = dataFileInUtf8(doc);
    bool consistent = writeDataLines(doc, file);
    bool written = file.close() != 0;
    if (!consistent)
        return SaveResult::Corrupt;
    if (!written)
        return SaveResult::WriteFailed;
    doc.modified = 0;
    // Once written in UTF-8 the file stays so, whatever its texts become.
    if (utf8)
        doc.utf8File = 1;
    return SaveResult::Saved;
}

int saveDataFile(Document& doc, MessageSink& view, const char* path)
{
    SaveResult result = writeDataFile(doc, path);
    if (result == SaveResult::Corrupt)
        view.reportError("Tallyvane", "Data is corrupt - file not saved");
    return result == SaveResult::Saved;
}
