// Owns a movable memory block of GlobalAlloc and frees it with GlobalFree,
// unless it was handed on: SetClipboardData owns the block from a
// successful call on, so the caller then lets go of it with release().
#pragma once
#include <windows.h>

class GlobalBlock {
public:
    GlobalBlock() = default;
    ~GlobalBlock() { reset(); }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }

    // Frees what is held and takes block.
    void reset(HGLOBAL block = nullptr)
    {
        if (block_)
            GlobalFree(block_);
        block_ = block;
    }
    HGLOBAL release()
    {
        HGLOBAL block = block_;
        block_ = nullptr;
        return block;
    }

private:
    HGLOBAL block_ = nullptr;
};
