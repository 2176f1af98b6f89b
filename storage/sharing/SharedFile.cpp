#include "storage/sharing/SharedFile.h"

#include <cstring>
#include <utility>

#include "storage/format/SectionFile.h"
#include "document/Heap.h"
#include "document/HeapBlock.h"

int SharedFile::remember(const char* path)
{
    FileStamp stamp = FileStamp::of(path);
    int32_t length = 0;
    char* block = SectionFile::readWhole(path, &length);
    if (!block)
        return 0;
    adopt(block, length, stamp);
    return 1;
}

void SharedFile::adopt(char* block, int32_t size, const FileStamp& stamp)
{
    forget();
    base_ = block;
    size_ = size;
    stamp_ = stamp;
}

void SharedFile::forget()
{
    releaseBlock(base_);
    base_ = nullptr;
    size_ = 0;
    stamp_ = FileStamp();
}

void SharedFile::swap(SharedFile& other)
{
    std::swap(base_, other.base_);
    std::swap(size_, other.size_);
    std::swap(stamp_, other.stamp_);
}

SharedFile::Disk SharedFile::compare(const char* path, bool quick, char** theirs, int32_t* theirsSize,
                                     FileStamp* theirsStamp)
{
    FileStamp now = FileStamp::of(path);
    if (!now.exists)
        return Missing;
    if (base_ && quick && now == stamp_)
        return Same;
    HeapBlock read;
    *read.receive() = SectionFile::readWhole(path, read.length());
    if (!read)
        return Unreadable;
    if (base_ && read.size() == size_ && memcmp(read.data(), base_, size_t(size_)) == 0) {
        // Touched, copied back or synced without a change: the new stamp
        // spares the next quick look a read.
        stamp_ = now;
        return Same;
    }
    if (theirsStamp)
        *theirsStamp = now;
    if (theirs) {
        *theirsSize = read.size();
        *theirs = read.release();
    }
    return Changed;
}
