// Stand-in for the base of a shared file (storage/SharedFile.h) and for
// MainWindow::adoptDocument, until those land: the bytes of the data file
// as last loaded or saved.
#pragma once
#include <cstddef>
#include <string>

#include "SectionFile.h"
#include "document/Heap.h"

class SharedFile {
public:
    const char* baseData() const { return bytes_.data(); }
    size_t baseSize() const { return bytes_.size(); }
    bool hasBase() const { return has_; }
    void readBase(const char* path)
    {
        int32_t length = 0;
        char* block = path[0] ? SectionFile::readWhole(path, &length) : nullptr;
        has_ = block != nullptr;
        bytes_.assign(block ? block : "", block ? size_t(length) : 0);
        releaseBlock(block);
    }

private:
    std::string bytes_;
    bool has_ = false;
};
