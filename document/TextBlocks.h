#pragma once
#include <cstddef>

// Memo and checkbox texts read from a file, packed into a few large heap
// blocks instead of one block each. A text kept here is never released on
// its own: an entry that drops it (edit, delete) just stops pointing at it,
// and the bytes go with the blocks when the document is emptied or destroyed.
class TextBlocks {
public:
    TextBlocks() = default;
    ~TextBlocks() { release(); }
    TextBlocks(const TextBlocks&) = delete;
    TextBlocks& operator=(const TextBlocks&) = delete;

    // A copy of the length bytes at text followed by two NULs (as a heap
    // copy of Document::copyText is laid out), or null when memory is short.
    char* keep(const char* text, size_t length);
    // Whether text points into one of the blocks.
    bool holds(const char* text) const;
    // Frees every block; texts kept so far become invalid.
    void release();

private:
    // The blocks form a chain; each starts with this header.
    struct Block {
        Block* previous;
        size_t size;     // bytes after the header
    };
    static const size_t kFirstSize = 64 * 1024;
    static const size_t kLargestSize = 1024 * 1024;

    Block* last_ = nullptr;   // owned chain, newest first
    char* free_ = nullptr;    // next unused byte of last_
    size_t room_ = 0;         // unused bytes of last_
};
