// A read-only view of a file from FileHandle::mapView, unmapped when the
// owner goes. The view outlives the handle it was made from.
#pragma once
#include <cstdint>

#include "storage/file/FileHandle.h"

class MappedView {
public:
    MappedView() = default;
    ~MappedView() { reset(); }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;

    const char* data() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }

    // Unmaps what is held and takes view (size bytes; null for none).
    void reset(const char* view = nullptr, int32_t size = 0)
    {
        FileHandle::unmapView(view_, size_);
        view_ = view;
        size_ = view ? size : 0;
    }

private:
    const char* view_ = nullptr;
    int32_t size_ = 0;
};
