#pragma once
#include <cstddef>

#include "storage/file/FileHandle.h"
#include "storage/file/MappedView.h"
#include "document/HeapBlock.h"
#include "storage/format/SectionIndex.h"

// One sectioned text file, mapped (or read) whole into memory and walked
// line by line, or being written. Sections start with a "[Name]" line; see SectionIndex
// for how headers are recognised. Used by the data file and the settings file.
class SectionFile {
public:
    static const int kLineSize = 160;                       // data lines: at most 159 characters
    static const int kUtf8LineSize = 640;                   // lines of a UTF-8 data file: 159 characters
                                                            // of up to four bytes
    static const int kSearchSize = SectionIndex::kSearchSize;

    SectionFile() = default;
    ~SectionFile() { close(); }
    SectionFile(const SectionFile&) = delete;
    SectionFile& operator=(const SectionFile&) = delete;

    // Maps the whole file into memory for reading (an empty file, or one
    // the system won't map, is read into a zero-filled block instead); 0
    // when the file can't be opened, sized, read or held in memory.
    int openRead(const char* path);
    // The same reading for any whole file: a zero-filled block one byte longer
    // than the data, for the caller to take into a HeapBlock, and the data's
    // length in *length; null when openRead would fail. Rosters are read
    // with sharing, as the spreadsheet that shows one keeps it open.
    static char* readWhole(const char* path, int32_t* length,
                           FileHandle::Sharing sharing = FileHandle::ShareRead);
    // Reads size bytes at data as openRead reads a file. The caller keeps
    // data (it need not end in a NUL) until close.
    int openBuffer(const char* data, size_t size);
    // Creates or empties path for writing; 0 when it can't be created.
    int openWrite(const char* path);
    // Creates path for writing only when nothing of that name is there yet
    // (nor a link); 0 otherwise.
    int openWriteNew(const char* path);
    // Copies the next line (cut to size - 1 characters) into line and steps
    // over its terminator; 0 at the end of the data.
    int readLine(char* line, int size = kLineSize);
    // Puts the cursor on the first line after the first header called name
    // (a-z matched as A-Z) and returns 1; else the cursor goes to the end and 0.
    int findSection(const char* name);
    // The same result, by reading the file from the start line by line: the
    // path taken when the header index can't be built.
    int findSectionByScan(const char* name);
    // readLine within the current section: 0 at the end of the data, and 0
    // with an empty line when it read the next header.
    int readValue(char* line, int size = kLineSize);
    // readValue without the copy: *text points at the line in the buffer and
    // *length is what readValue would have copied, up to the first NUL (the
    // line is not NUL-terminated there). Same results as readValue; a header
    // or an empty line gives length 0.
    int readValueInPlace(const char** text, size_t* length, int size = kLineSize);
    // The number of lines readValue can still return before the section or
    // the list ends (at a header, an empty line or the end); for sizing tables.
    int countValues() const;
    void writeSection(const char* name);
    void writeLine(const char* text);
    // Writes length bytes as they are, line ends and all.
    void writeBytes(const char* data, size_t length) { put(data, length); }
    // Read mode: unmaps or frees the buffer and closes the file. Write mode: writes what is buffered,
    // flushes and closes; 0 when any write, the flush or the close failed.
    int close();
    // A write failed since openWrite.
    bool writeFailed() const { return failed_ != 0; }
    // Read mode: the cursor's offset from the start of the data.
    size_t position() const { return size_t(cursor_ - buffer_); }

private:
    void put(const char* data, size_t length);
    void drain();

    const char* buffer_ = nullptr;    // read mode: the data: view_'s, copy_'s or the caller's (openBuffer)
    const char* cursor_ = nullptr;    // read mode: start of the next unread line
    const char* end_ = nullptr;       // read mode: buffer_ + bytes read
    FileHandle handle_;               // the open file: in read mode while it is mapped
    MappedView view_;                 // read mode: the file mapped
    HeapBlock copy_;                  // read mode: the file read into the heap, with a NUL after it,
                                      // where it can't be mapped
    int reading_ = 0;
    int failed_ = 0;                  // write mode: a write failed
    SectionIndex index_;
    int indexState_ = 0;              // 0 not built yet, 1 built, -1 could not be built
    char out_[64 * 1024];             // write mode: lines waiting for the next write
    size_t outUsed_ = 0;
};
