#pragma once
#include <cstdint>

// The section headers of a file read into memory, found in one pass, so that
// looking a section up costs the same for the first name as for the last.
// Keeps the rules of the plain search: a header is a line starting with "[",
// its name runs to the first "]" (or NUL, or the end of the line, or the
// 259th character of the line), names match with a-z folded to A-Z, and the
// first of two equal headers wins.
class SectionIndex {
public:
    static const int kSearchSize = 260;   // line buffer of the section search

    SectionIndex() = default;
    ~SectionIndex() { release(); }
    SectionIndex(const SectionIndex&) = delete;
    SectionIndex& operator=(const SectionIndex&) = delete;

    // Indexes data..end; 0 when memory is short (the index is then empty).
    int build(const char* data, const char* end);
    // The start of the line after the header named name, or null.
    const char* find(const char* name) const;
    void release();

    // The name of the header line at line (null when it is no header) and its length.
    static const char* headerName(const char* line, const char* end, uint32_t* length);

private:
    struct Header {
        const char* name;   // into the file's buffer, not folded
        uint32_t length;
        uint32_t hash;      // of the folded name
        const char* body;   // first line after the header
    };

    static uint32_t hashFolded(const char* name, uint32_t length);
    static bool sameFolded(const char* a, const char* b, uint32_t length);

    Header* headers_ = nullptr;   // owned, in file order
    int32_t count_ = 0;
    int32_t* slots_ = nullptr;    // owned open-addressing table of header numbers, -1 = empty
    uint32_t mask_ = 0;
};
