// The data file as this program last read or wrote it (the base of a
// merge), and how the file on disk compares with it now. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

#include "storage/file/FileStamp.h"
#include "document/HeapBlock.h"

class SharedFile {
public:
    enum Disk {
        Same,        // the file holds the base's bytes
        Changed,     // someone else wrote it (or there is no base and a file is there): its bytes are handed back
        Missing,     // deleted or moved away
        Unreadable,  // there, but can't be opened now (another program writing it)
    };

    SharedFile() = default;
    SharedFile(const SharedFile&) = delete;
    SharedFile& operator=(const SharedFile&) = delete;

    // Reads the file at path whole as the new base; 0 when it can't be read,
    // and the base stays as it was.
    int remember(const char* path);
    // Takes block (from SectionFile::readWhole, size bytes) as the base of
    // the file whose stamp is stamp.
    void adopt(char* block, int32_t size, const FileStamp& stamp);
    void forget();
    // Exchanges bases with other.
    void swap(SharedFile& other);

    bool hasBase() const { return bool(base_); }
    const char* baseData() const { return base_.data(); }
    size_t baseSize() const { return size_t(base_.size()); }
    const FileStamp& stamp() const { return stamp_; }

    // Compares the file at path with the base. quick: equal stamps count as
    // the same file without reading it (for a look at every activation);
    // otherwise the bytes decide. Without a base every file found is
    // someone else's: a merge then takes an empty base, so nothing in it is
    // lost. On Changed, *theirs is the file's content (for the caller to take
    // into a HeapBlock), *theirsSize its length and *theirsStamp the stamp the
    // file had before those bytes were read: a change landing after it is a
    // change of its own, and the next look sees it.
    Disk compare(const char* path, bool quick, char** theirs = nullptr, int32_t* theirsSize = nullptr,
                 FileStamp* theirsStamp = nullptr);

private:
    HeapBlock base_;   // a block from SectionFile::readWhole
    FileStamp stamp_;
};
