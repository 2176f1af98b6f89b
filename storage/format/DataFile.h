#pragma once

class Document;
class DocumentView;
class SectionFile;

// The data file (*.tvd): sections "Program" (the magic), "Action Items",
// "Names" and one section per name, numbered from 0.

// How a write of the data file ended.
enum class SaveResult {
    Saved,        // complete; the modified flag is cleared
    NotCreated,   // the file could not be created; nothing reported
    Corrupt,      // the document failed the writer's count checks
    WriteFailed,  // a write, the flush or the close failed (disk full, I/O error)
};

// Replaces doc's content with the file's and fills the Names list of view.
// Reports its own format errors (caption "Tallyvane"); a file that can't be
// opened is left to the caller to report. 1 when loaded (a damaged but
// readable file loads in read-only mode), 0 otherwise.
int loadDataFile(Document& doc, DocumentView& view, const char* path);

// loadDataFile of a data file's size bytes at data (a base or a recovered
// copy kept in memory); "path" for the recent-file list is left alone.
int loadDataBytes(Document& doc, DocumentView& view, const char* data, size_t size);

// loadDataBytes that also tells, in *whole, what isWholeDataFile
// (DataFileCheck.h) says of the bytes, without a pass of its own. A copy
// can be whole and still damaged: the view hears of that as ever.
int loadDataBytes(Document& doc, DocumentView& view, const char* data, size_t size, bool* whole);

// Writes doc to path, dropping deleted slots and entries. Reports "Data is
// corrupt - file not saved" when the counts don't add up; a file that can't
// be created or written is not reported here. 1 when saved.
int saveDataFile(Document& doc, DocumentView& view, const char* path);

// saveDataFile without any message, telling why it failed.
SaveResult writeDataFile(Document& doc, const char* path);

// The lines writeDataFile writes (the Program section and everything after
// it), into a file the caller opened for writing and closes; doc.modified is
// left as it is. false when the counts don't match what was written.
bool writeDataLines(Document& doc, SectionFile& file);
