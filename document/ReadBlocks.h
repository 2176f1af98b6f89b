#pragma once
#include <cstddef>

// What a load reads into the document (entry lists, memo and checkbox
// texts) packed into a few large heap blocks instead of one block each.
// Nothing taken from here is released on its own: an entry list or text
// that is replaced or deleted later is simply no longer pointed at, and the
// bytes go with the blocks when the document is emptied or destroyed.
class ReadBlocks {
public:
    ReadBlocks() = default;
    ~ReadBlocks() { release(); }
    ReadBlocks(const ReadBlocks&) = delete;
    ReadBlocks& operator=(const ReadBlocks&) = delete;

    // bytes with undefined contents, aligned for any of the document's
    // structures; null when memory is short.
    void* take(size_t bytes);
    // A copy of the length bytes at text followed by two NULs (as a heap
    // copy of Document::copyText is laid out), or null when memory is short.
    char* keepText(const char* text, size_t length);
    // Where the next bytes will be taken; giveBack(mark) returns what was
    // taken since, when it all came from the block taken from then (else it
    // stays taken, unused).
    struct Mark {
        const void* block;
        size_t left;
    };
    Mark mark() const { return Mark{last_, left_}; }
    void giveBack(const Mark& mark);
    // Whether block points into one of the blocks.
    bool holds(const void* block) const;
    // Frees every block; everything taken so far becomes invalid.
    void release();
    // Exchanges the blocks of two documents that exchange their contents.
    void swap(ReadBlocks& other);
    // Takes every block of other, which is left empty: what points into
    // them stays valid as long as this lives. False (nothing moved) when
    // memory is short.
    bool adopt(ReadBlocks& other);

private:
    // The blocks form a chain; each starts with this header.
    struct Block {
        Block* previous;
        size_t size;     // bytes after the header
    };
    char* room(size_t bytes, size_t alignment);

    static const size_t kFirstSize = 64 * 1024;
    static const size_t kLargestSize = 256 * 1024;

    bool addStart(Block* block);

    Block* last_ = nullptr;   // owned chain, newest first
    char* free_ = nullptr;    // next unused byte of last_
    size_t left_ = 0;         // unused bytes of last_
    // The blocks by address, for holds: a binary search instead of a walk
    // of the chain for every list and text a reset releases.
    Block** sorted_ = nullptr;   // owned heap block
    size_t count_ = 0;
    size_t capacity_ = 0;
};
