#pragma once
#include <cstddef>
#include <string>

#include "storage/FileHandle.h"

// Where an export goes: standard output ("-"), or a file written the way
// the program saves a data file (into the ".$$$" file beside it, which takes
// the file's place only once it is complete), so a failed export never
// leaves half a file behind. Text is gathered and written in large pieces.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // 0 when the file can't be created (or path has no file-name part).
    int open(const char* path);
    void put(const char* text, size_t length);
    void put(const char* text);
    void put(const std::string& text) { put(text.data(), text.size()); }
    // Writes the rest and puts the file in place; 0 when any write, the
    // flush or the replacement failed (the ".$$$" file is then removed).
    int finish();

private:
    void drain();

    std::string pending_;
    FileHandle file_;
    bool toStdout_ = false;
    bool failed_ = false;
    bool open_ = false;
    std::string path_;
    char temp_[320] = {};
};
