#include "document/ReadBlocks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "document/Heap.h"

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
        if (!addStart(block)) {
            releaseBlock(block);
            return nullptr;
        }
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

bool ReadBlocks::addStart(Block* block)
{
    if (count_ == capacity_) {
        size_t grown = capacity_ ? capacity_ * 2 : 64;
        void* larger = reallocZeroed(sorted_, capacity_ * sizeof(Block*), blockSize(grown, sizeof(Block*)));
        if (!larger)
            return false;
        sorted_ = static_cast<Block**>(larger);
        capacity_ = grown;
    }
    auto address = reinterpret_cast<uintptr_t>(block);
    size_t at = count_;
    while (at > 0 && reinterpret_cast<uintptr_t>(sorted_[at - 1]) > address) {
        sorted_[at] = sorted_[at - 1];
        --at;
    }
    sorted_[at] = block;
    count_++;
    return true;
}

void ReadBlocks::giveBack(const Mark& mark)
{
    if (mark.block != last_ || mark.left < left_)
        return;
    free_ -= mark.left - left_;
    left_ = mark.left;
}

bool ReadBlocks::holds(const void* pointer) const
{
    // The last block that starts at or below the address is the only candidate.
    auto address = reinterpret_cast<uintptr_t>(pointer);
    size_t low = 0, high = count_;
    while (low < high) {
        size_t middle = (low + high) / 2;
        if (reinterpret_cast<uintptr_t>(sorted_[middle]) <= address)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return false;
    const Block* block = sorted_[low - 1];
    auto start = reinterpret_cast<uintptr_t>(block) + headerSize(sizeof(Block));
    return address >= start && address - start < block->size;
}

void ReadBlocks::release()
{
    while (last_) {
        Block* previous = last_->previous;
        releaseBlock(last_);
        last_ = previous;
    }
    releaseBlock(sorted_);
    sorted_ = nullptr;
    count_ = capacity_ = 0;
    free_ = nullptr;
    left_ = 0;
}

void ReadBlocks::swap(ReadBlocks& other)
{
    std::swap(last_, other.last_);
    std::swap(free_, other.free_);
    std::swap(left_, other.left_);
    std::swap(sorted_, other.sorted_);
    std::swap(count_, other.count_);
    std::swap(capacity_, other.capacity_);
}

bool ReadBlocks::adopt(ReadBlocks& other)
{
    if (!other.last_)
        return true;
    if (!last_) {
        swap(other);
        return true;
    }
    // Both address lists, merged into one.
    size_t count = count_ + other.count_;
    auto* sorted = static_cast<Block**>(allocBlock(blockSize(count, sizeof(Block*))));
    if (!sorted)
        return false;
    std::merge(sorted_, sorted_ + count_, other.sorted_, other.sorted_ + other.count_, sorted,
               [](const Block* a, const Block* b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); });
    releaseBlock(sorted_);
    sorted_ = sorted;
    count_ = capacity_ = count;
    // Other's chain goes behind the oldest of ours, so new text keeps
    // going into our newest block.
    Block* oldest = last_;
    while (oldest->previous)
        oldest = oldest->previous;
    oldest->previous = other.last_;
    releaseBlock(other.sorted_);
    other.last_ = nullptr;
    other.sorted_ = nullptr;
    other.count_ = other.capacity_ = 0;
    other.free_ = nullptr;
    other.left_ = 0;
    return true;
}
