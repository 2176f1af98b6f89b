#include "storage/sharing/SharedFile.h"

#include <cstring>
#include <utility>

#include "storage/format/SectionFile.h"

int SharedFile::remember(const char* path)
{
    FileStamp stamp = FileStamp::of(path);
    HeapBlock block;
    *block.receive() = SectionFile::readWhole(path, block.length());
    if (!block)
        return 0;
    adopt(block.release(), block.size(), stamp);
    return 1;
}

void SharedFile::adopt(char* block, int32_t size, const FileStamp& stamp)
{
    base_.reset(block, size);
    stamp_ = stamp;
}

void SharedFile::forget()
{
    base_.reset();
    stamp_ = FileStamp();
}

void SharedFile::swap(SharedFile& other)
{
    base_.swap(other.base_);
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
    if (base_ && read.size() == base_.size() && memcmp(read.data(), base_.data(), size_t(read.size())) == 0) {
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
