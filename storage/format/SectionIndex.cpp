#include "storage/format/SectionIndex.h"

#include <cstring>

#include "storage/file/LineScan.h"
#include "document/Heap.h"

const char* SectionIndex::headerName(const char* line, const char* end, uint32_t* length)
{
    if (line >= end || *line != '[')
        return nullptr;
    const char* lineStop = LineScan::lineEnd(line, end);
    if (lineStop - line > kSearchSize - 1)
        lineStop = line + kSearchSize - 1;
    const char* name = line + 1;
    const char* p = name;
    while (p < lineStop && *p != ']' && *p != 0)
        ++p;
    *length = uint32_t(p - name);
    return name;
}

uint32_t SectionIndex::hashFolded(const char* name, uint32_t length)
{
    uint32_t hash = 2166136261u;
    for (uint32_t i = 0; i < length; ++i)
        hash = (hash ^ uint8_t(LineScan::fold(name[i]))) * 16777619u;
    return hash;
}

bool SectionIndex::sameFolded(const char* a, const char* b, uint32_t length)
{
    for (uint32_t i = 0; i < length; ++i)
        if (LineScan::fold(a[i]) != LineScan::fold(b[i]))
            return false;
    return true;
}

int SectionIndex::build(const char* data, const char* end)
{
    release();
    int32_t capacity = 0;
    // A header starts with "[" at the start of the data or right after a CR
    // or LF: every such position starts a line, so looking at each "[" finds
    // the same headers as walking the lines, without visiting every byte.
    for (const char* p = data; p < end; ++p) {
        p = static_cast<const char*>(memchr(p, '[', size_t(end - p)));
        if (!p)
            break;
        if (p != data && p[-1] != '\r' && p[-1] != '\n')
            continue;
        const char* line = p;
        uint32_t length = 0;
        const char* name = headerName(line, end, &length);
        if (count_ == capacity) {
            int32_t grown = capacity ? capacity * 2 : 64;
            void* block = reallocZeroed(headers_, size_t(capacity) * sizeof(Header), blockSize(size_t(grown), sizeof(Header)));
            if (!block) {
                release();
                return 0;
            }
            headers_ = static_cast<Header*>(block);
            capacity = grown;
        }
        const char* body = LineScan::nextLine(LineScan::lineEnd(line, end), end);
        headers_[count_++] = Header{name, length, hashFolded(name, length), body};
    }

    // The doubling left up to half the array unused: give it back before the
    // document's lists are allocated beside it.
    if (count_ > 0 && count_ < capacity) {
        void* block = reallocZeroed(headers_, size_t(capacity) * sizeof(Header), size_t(count_) * sizeof(Header));
        if (block)
            headers_ = static_cast<Header*>(block);
    }

    uint32_t size = 16;
    while (size < uint32_t(count_) * 2)
        size *= 2;
    slots_ = static_cast<int32_t*>(allocZeroed(blockSize(size, sizeof(int32_t))));
    if (!slots_) {
        release();
        return 0;
    }
    memset(slots_, 0xff, size * sizeof(int32_t));
    mask_ = size - 1;
    for (int32_t i = 0; i < count_; ++i) {
        const Header& header = headers_[i];
        uint32_t slot = header.hash & mask_;
        bool seen = false;
        while (slots_[slot] != -1) {
            const Header& other = headers_[slots_[slot]];
            if (other.hash == header.hash && other.length == header.length
                && sameFolded(other.name, header.name, header.length)) {
                seen = true;   // the first occurrence wins
                break;
            }
            slot = (slot + 1) & mask_;
        }
        if (!seen)
            slots_[slot] = i;
    }
    return 1;
}

const char* SectionIndex::find(const char* name) const
{
    if (!slots_)
        return nullptr;
    uint32_t length = uint32_t(strlen(name));
    uint32_t hash = hashFolded(name, length);
    for (uint32_t slot = hash & mask_; slots_[slot] != -1; slot = (slot + 1) & mask_) {
        const Header& header = headers_[slots_[slot]];
        if (header.hash == hash && header.length == length && sameFolded(header.name, name, length))
            return header.body;
    }
    return nullptr;
}

void SectionIndex::release()
{
    releaseBlock(headers_);
    releaseBlock(slots_);
    headers_ = nullptr;
    slots_ = nullptr;
    count_ = 0;
    mask_ = 0;
}
