#include "ReadBlocks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Heap.h"

namespace {

const size_t kAlignment = alignof(std::max_align_t);

// Bytes before the first usable one of a block: the header, padded so that
// what follows it is aligned.
size_t headerSize(size_t header)
{
    return (header + kAlignment - 1) / kAlignment * kAlignment;
}

} // namespace

char* ReadBlocks::room(size_t bytes, size_t alignment)
{
    size_t skip = (alignment - reinterpret_cast<uintptr_t>(free_) % alignment) % alignment;
    if (!last_ || skip > left_ || bytes > left_ - skip) {
        // Blocks double up to kLargestSize; a larger request gets a block of its own.
        size_t size = last_ ? last_->size * 2 : kFirstSize;
        if (size > kLargestSize)
            size = kLargestSize;
        if (bytes > SIZE_MAX - sizeof(Block) - kAlignment)
            return nullptr;
        if (size < bytes)
            size = bytes;
        const size_t header = headerSize(sizeof(Block));
        auto* block = static_cast<Block*>(allocBlock(header + size));
        if (!block)
            return nullptr;
        block->previous = last_;
        block->size = size;
        last_ = block;
        free_ = reinterpret_cast<char*>(block) + header;
        left_ = size;
        skip = 0;
    }
    char* start = free_ + skip;
    free_ = start + bytes;
    left_ -= skip + bytes;
    return start;
}

void* ReadBlocks::take(size_t bytes)
{
    return room(bytes, kAlignment);
}

char* ReadBlocks::keepText(const char* text, size_t length)
{
    if (length > SIZE_MAX - 2)
        return nullptr;
    char* copy = room(length + 2, 1);
    if (!copy)
        return nullptr;
    memcpy(copy, text, length);
    copy[length] = 0;
    copy[length + 1] = 0;
    return copy;
}

bool ReadBlocks::holds(const void* pointer) const
{
    auto address = reinterpret_cast<uintptr_t>(pointer);
    for (const Block* block = last_; block; block = block->previous) {
        auto start = reinterpret_cast<uintptr_t>(block) + headerSize(sizeof(Block));
        if (address >= start && address - start < block->size)
            return true;
    }
    return false;
}

void ReadBlocks::release()
{
    while (last_) {
        Block* previous = last_->previous;
        releaseBlock(last_);
        last_ = previous;
    }
    free_ = nullptr;
    left_ = 0;
}
