#pragma once
#include <cstddef>

// Heap blocks for the document and the file buffers, zero-filled unless
// the caller writes every byte itself.
// Every block of the document model goes through here, so tests can make
// the Nth allocation fail and the benchmark can read the peak in use.
struct HeapHooks {
    long failAt = 0;          // the failAt-th allocation from now fails (1 = the next); 0 = never
    long allocations = 0;     // allocations counted since the last reset()
    size_t bytesInUse = 0;    // usable bytes of the live blocks
    size_t peakBytes = 0;     // highest bytesInUse since the last resetPeak()

    void reset() { failAt = 0; allocations = 0; }
    void resetPeak() { peakBytes = bytesInUse; }
};

extern HeapHooks heapHooks;

// A zero-filled block of size bytes, or null.
void* allocZeroed(size_t size);
// A block of size bytes with undefined contents, or null: for callers that
// write every byte before reading any.
void* allocBlock(size_t size);
// Resizes block (oldSize bytes) to newSize bytes; the old contents stay and
// the new tail is zero-filled. Null on failure, and the old block stays valid.
void* reallocZeroed(void* block, size_t oldSize, size_t newSize);
// Releases a block from allocZeroed or reallocZeroed; null is ignored.
void releaseBlock(void* block);
// count * size, or 0 when the product would not fit a size_t.
size_t blockSize(size_t count, size_t size);
