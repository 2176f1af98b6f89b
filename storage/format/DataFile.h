#pragma once

#include <cstddef>

#include "storage/format/LoadReport.h"

class Document;
class MessageSink;
class SectionFile;

// The data file (*.tvd): sections "Program" (the magic), "Action Items",
// "Names" and one section per name, numbered from 0. A file in UTF-8 has
// the line kUtf8Marker right after the magic (an older version ignores it);
// a file without it is in the legacy code page (see AnsiText).

const char kUtf8Marker[] = "UTF-8";

// How a write of the data file ended.
enum class SaveResult {
    Saved,        // complete; the modified flag is cleared
    NotCreated,   // the file could not be created; nothing reported
    Corrupt,      // the document failed the writer's count checks
    WriteFailed,  // a write, the flush or the close failed (disk full, I/O error)
};

// Replaces doc's content with the file's and shows nothing: the report
// holds the format's messages (caption "Tallyvane") for the caller to show.
// A file that can't be opened fails without a message, left to the caller
// to report. A damaged but readable file loads, to be opened read-only.
LoadReport loadDataFile(Document& doc, const char* path);

// loadDataFile of a data file's size bytes at data (a base or a recovered
// copy kept in memory).
LoadReport loadDataBytes(Document& doc, const char* data, size_t size);

// loadDataBytes that also tells, in *whole, what isWholeDataFile
// (DataFileCheck.h) says of the bytes, without a pass of its own. A copy
// can be whole and still damaged: the report tells of that as ever.
LoadReport loadDataBytes(Document& doc, const char* data, size_t size, bool* whole);

// Writes doc to path, dropping deleted slots and entries. Reports "Data is
// corrupt - file not saved" when the counts don't add up; a file that can't
// be created or written is not reported here. 1 when saved.
int saveDataFile(Document& doc, MessageSink& view, const char* path);

// The file is to be written in UTF-8: it was read or written so, or a text
// of doc does not fit the legacy code page. Else the legacy code page keeps
// the bytes of every file that needs nothing else.
bool dataFileInUtf8(const Document& doc);

// saveDataFile without any message, telling why it failed; once saved in
// UTF-8, doc.utf8File is set.
SaveResult writeDataFile(Document& doc, const char* path);

// The lines writeDataFile writes (the Program section and everything after
// it), into a file the caller opened for writing and closes; doc.modified is
// left as it is. false when the counts don't match what was written.
bool writeDataLines(Document& doc, SectionFile& file);
