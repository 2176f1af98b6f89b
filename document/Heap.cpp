#include "document/Heap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <malloc.h>

HeapHooks heapHooks;

namespace {

size_t usableSize(void* block)
{
#ifdef _WIN32
    return _msize(block);
#else
    return malloc_usable_size(block);
#endif
}

bool injectedFailure()
{
    heapHooks.allocations++;
    if (heapHooks.failAt > 0 && --heapHooks.failAt == 0)
        return true;
    return false;
}

void countIn(void* block)
{
    heapHooks.bytesInUse += usableSize(block);
    if (heapHooks.bytesInUse > heapHooks.peakBytes)
        heapHooks.peakBytes = heapHooks.bytesInUse;
}

} // namespace

void* allocZeroed(size_t size)
{
    if (size == 0 || injectedFailure())
        return nullptr;
    void* block = calloc(1, size);
    if (block)
        countIn(block);
    return block;
}

void* allocBlock(size_t size)
{
    if (size == 0 || injectedFailure())
        return nullptr;
    void* block = malloc(size);
    if (block)
        countIn(block);
    return block;
}

void* reallocZeroed(void* block, size_t oldSize, size_t newSize)
{
    if (!block)
        return allocZeroed(newSize);
    if (newSize == 0 || injectedFailure())
        return nullptr;
    size_t before = usableSize(block);
    void* grown = realloc(block, newSize);
    if (!grown)
        return nullptr;
    heapHooks.bytesInUse -= before;
    countIn(grown);
    if (newSize > oldSize)
        memset(static_cast<char*>(grown) + oldSize, 0, newSize - oldSize);
    return grown;
}

void releaseBlock(void* block)
{
    if (!block)
        return;
    heapHooks.bytesInUse -= usableSize(block);
    free(block);
}

size_t blockSize(size_t count, size_t size)
{
    if (size != 0 && count > SIZE_MAX / size)
        return 0;
    return count * size;
}
