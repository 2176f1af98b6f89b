#pragma once
#include <cstdint>

// Descriptor of one growable table of fixed-size elements in one zero-filled
// heap block. The descriptor owns the block; the element count lives with
// whoever uses the table.
class GrowArray {
public:
    int32_t ok = 0;            // 1 after initArray; 0 when initArray or growArray ran out of memory
    int32_t capacity = 0;      // elements the block holds
    int32_t step = 0;          // elements added by each growArray
    int32_t elementSize = 0;   // bytes per element
    void* block = nullptr;     // the elements; null before the first initArray

    GrowArray() = default;
    ~GrowArray() { release(); }
    GrowArray(const GrowArray&) = delete;
    GrowArray& operator=(const GrowArray&) = delete;

    // Replaces the block with a zero-filled one of capacity elements; returns it or null.
    void* initArray(int32_t capacity, int32_t step, int32_t elementSize);
    // Adds step zero-filled elements; returns the (possibly moved) block. On
    // failure ok becomes 0 and block and capacity stay as they were.
    void* growArray();
    void release();
    void swap(GrowArray& other);
};
