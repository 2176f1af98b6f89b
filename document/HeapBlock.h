// One block of the document heap (allocZeroed, allocBlock,
// SectionFile::readWhole) with its length, released when the owner goes.
#pragma once
#include <cstdint>
#include <utility>

#include "document/Heap.h"

class HeapBlock {
public:
    HeapBlock() = default;
    ~HeapBlock() { releaseBlock(data_); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    char* data() const { return data_; }
    int32_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

    // Takes block (size bytes); what was held is released.
    void reset(char* block = nullptr, int32_t size = 0)
    {
        releaseBlock(data_);
        data_ = block;
        size_ = size;
    }
    // Where a function that hands out a block and its length puts them
    // (*block.receive() = read(..., block.length())): receive() releases the
    // block held first and leaves the length alone, so the two may be
    // evaluated in either order.
    char** receive()
    {
        releaseBlock(data_);
        data_ = nullptr;
        return &data_;
    }
    int32_t* length() { return &size_; }
    void swap(HeapBlock& other)
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
    }
    // Hands the block on (size() stays readable); the taker releases it.
    char* release()
    {
        char* block = data_;
        data_ = nullptr;
        return block;
    }

private:
    char* data_ = nullptr;
    int32_t size_ = 0;
};
