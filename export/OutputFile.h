#pragma once
#include <cstddef>
#include <string>

#include "storage/file/FileHandle.h"

// Where an export goes: standard output ("-"), or a file. A file is written
// into a temporary file of its own beside it ("report.html.tmp", or
// "report.html.2.tmp" when that name is taken), created new so that it is
// never a file that another program writes or one the user keeps; it takes
// the file's place only once it is complete and flushed, so a failed export
// leaves no half file behind and touches no file it did not create. A
// read-only file is not replaced. Text is gathered and written in large
// pieces.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // 0 when the file can't be created or is read-only; error() tells why.
    int open(const char* path);
    void put(const char* text, size_t length);
    void put(const char* text);
    void put(const std::string& text) { put(text.data(), text.size()); }
    // Writes the rest and puts the file in place; 0 when any write, the
    // flush or the replacement failed (the temporary file is then removed).
    int finish();
    // Why open or finish failed, as the user is told it: "the disk is full".
    const std::string& error() const { return error_; }

private:
    void drain();
    void fail();

    std::string pending_;
    FileHandle file_;
    bool toStdout_ = false;
    bool failed_ = false;
    bool open_ = false;
    std::string target_;   // the file replaced: the path, or the file its link leads to
    std::string temp_;     // created by open; removed unless it took target_'s place
    std::string error_;
};
