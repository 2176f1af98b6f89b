#include "document/GrowArray.h"

#include <utility>

#include "document/Heap.h"

void* GrowArray::initArray(int32_t newCapacity, int32_t newStep, int32_t newElementSize)
{
    capacity = newCapacity;
    step = newStep;
    elementSize = newElementSize;
    ok = 1;
    release();
    size_t bytes = newCapacity > 0 && newElementSize > 0 ? blockSize(size_t(newCapacity), size_t(newElementSize)) : 0;
    block = bytes ? allocZeroed(bytes) : nullptr;
    if (!block) {
        capacity = 0;
        ok = 0;
    }
    return block;
}

void* GrowArray::growArray()
{
    if (step <= 0 || elementSize <= 0 || capacity > INT32_MAX - step) {
        ok = 0;
        return block;
    }
    size_t oldBytes = blockSize(size_t(capacity), size_t(elementSize));
    size_t newBytes = blockSize(size_t(capacity) + size_t(step), size_t(elementSize));
    void* grown = newBytes ? reallocZeroed(block, oldBytes, newBytes) : nullptr;
    if (!grown) {
        ok = 0;
        return block;
    }
    block = grown;
    capacity += step;
    return block;
}

void GrowArray::release()
{
    releaseBlock(block);
    block = nullptr;
}

void GrowArray::swap(GrowArray& other)
{
    std::swap(ok, other.ok);
    std::swap(capacity, other.capacity);
    std::swap(step, other.step);
    std::swap(elementSize, other.elementSize);
    std::swap(block, other.block);
}
