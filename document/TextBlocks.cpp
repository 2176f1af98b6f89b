#include "TextBlocks.h"

#include <cstdint>
#include <cstring>

#include "Heap.h"

char* TextBlocks::keep(const char* text, size_t length)
{
    if (length > SIZE_MAX / 2)
        return nullptr;
    size_t needed = length + 2;
    if (needed > room_) {
        // Blocks double up to kLargestSize; a text larger than that gets a block of its own.
        size_t size = last_ ? last_->size * 2 : kFirstSize;
        if (size > kLargestSize)
            size = kLargestSize;
        if (size < needed)
            size = needed;
        auto* block = static_cast<Block*>(allocBlock(sizeof(Block) + size));
        if (!block)
            return nullptr;
        block->previous = last_;
        block->size = size;
        last_ = block;
        free_ = reinterpret_cast<char*>(block + 1);
        room_ = size;
    }
    char* copy = free_;
    memcpy(copy, text, length);
    copy[length] = 0;
    copy[length + 1] = 0;
    free_ += needed;
    room_ -= needed;
    return copy;
}

bool TextBlocks::holds(const char* text) const
{
    auto address = reinterpret_cast<uintptr_t>(text);
    for (const Block* block = last_; block; block = block->previous) {
        auto start = reinterpret_cast<uintptr_t>(block + 1);
        if (address >= start && address - start < block->size)
            return true;
    }
    return false;
}

void TextBlocks::release()
{
    while (last_) {
        Block* previous = last_->previous;
        releaseBlock(last_);
        last_ = previous;
    }
    free_ = nullptr;
    room_ = 0;
}
