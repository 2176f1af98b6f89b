#include "storage/format/SectionFile.h"

#include <cstring>

#include "storage/file/LineScan.h"
#include "document/Heap.h"
#include "document/HeapBlock.h"

namespace {

// The size bytes of an open file into block, zero-filled and one byte
// longer than the data, with the bytes read as its size; false (and block
// empty) when they can't be read or held in memory.
bool readAll(FileHandle& file, int32_t size, HeapBlock& block)
{
    block.reset(static_cast<char*>(allocZeroed(size_t(size) + 1)));
    int32_t got = block ? file.read(block.data(), size) : -1;
    if (got < 0) {
        block.reset();
        return false;
    }
    *block.length() = got;
    return true;
}

} // namespace

char* SectionFile::readWhole(const char* path, int32_t* length, FileHandle::Sharing sharing)
{
    FileHandle file;
    int32_t size = file.openRead(path, sharing) ? file.size() : -1;
    HeapBlock block;
    if (size < 0 || !readAll(file, size, block))
        return nullptr;
    *length = block.size();
    return block.release();
}

int SectionFile::openRead(const char* path)
{
    close();
    if (!handle_.openRead(path))
        return 0;
    // The file is mapped rather than copied: a copy needs a block the size
    // of the file, and filling it costs a page fault for every 4 KiB. The
    // handle stays open until close, so on Windows (no sharing) no other
    // program can change the file under the view.
    int32_t size = handle_.size();
    if (size < 0) {
        handle_.close();
        return 0;
    }
    view_.reset(handle_.mapView(size), size);
    int32_t got = size;
    if (view_) {
        buffer_ = view_.data();
    } else {
        // An empty file, or one the system would not map.
        bool read = readAll(handle_, size, copy_);
        handle_.close();
        if (!read)
            return 0;
        buffer_ = copy_.data();
        got = copy_.size();
    }
    cursor_ = buffer_;
    end_ = buffer_ + got;
    reading_ = 1;
    indexState_ = 0;
    return 1;
}

int SectionFile::openBuffer(const char* data, size_t size)
{
    close();
    if (!data || size > size_t(INT32_MAX))
        return 0;
    buffer_ = cursor_ = data;
    end_ = data + size;
    reading_ = 1;
    indexState_ = 0;
    return 1;
}

int SectionFile::openWrite(const char* path)
{
    close();
    if (!handle_.create(path))
        return 0;
    reading_ = 0;
    failed_ = 0;
    outUsed_ = 0;
    return 1;
}

int SectionFile::openWriteNew(const char* path)
{
    close();
    if (!handle_.createNew(path))
        return 0;
    reading_ = 0;
    failed_ = 0;
    outUsed_ = 0;
    return 1;
}

int SectionFile::readLine(char* line, int size)
{
    if (!cursor_ || cursor_ >= end_) {
        if (size > 0)
            line[0] = 0;
        return 0;
    }
    const char* stop = LineScan::lineEnd(cursor_, end_);
    size_t length = size_t(stop - cursor_);
    if (length > size_t(size - 1))
        length = size_t(size - 1);
    memcpy(line, cursor_, length);
    line[length] = 0;
    cursor_ = LineScan::nextLine(stop, end_);
    return 1;
}

int SectionFile::findSection(const char* name)
{
    if (!buffer_)
        return 0;
    if (indexState_ == 0)
        indexState_ = index_.build(buffer_, end_) ? 1 : -1;
    if (indexState_ < 0)
        return findSectionByScan(name);
    const char* body = index_.find(name);
    cursor_ = body ? body : end_;
    return body != nullptr;
}

int SectionFile::findSectionByScan(const char* name)
{
    if (!buffer_)
        return 0;
    size_t wanted = strlen(name);
    char line[kSearchSize];
    cursor_ = buffer_;
    while (readLine(line, kSearchSize)) {
        if (line[0] != '[')
            continue;
        char* bracket = strchr(line, ']');
        if (bracket)
            *bracket = 0;
        if (strlen(line + 1) != wanted)
            continue;
        size_t i = 0;
        while (i < wanted && LineScan::fold(line[1 + i]) == LineScan::fold(name[i]))
            ++i;
        if (i == wanted)
            return 1;
    }
    return 0;
}

int SectionFile::readValue(char* line, int size)
{
    if (!readLine(line, size))
        return 0;
    if (line[0] == '[') {
        line[0] = 0;
        return 0;
    }
    return 1;
}

int SectionFile::readValueInPlace(const char** text, size_t* length, int size)
{
    *text = cursor_;
    *length = 0;
    if (!cursor_ || cursor_ >= end_)
        return 0;
    const char* start = cursor_;
    const char* stop = LineScan::lineEnd(start, end_);
    cursor_ = LineScan::nextLine(stop, end_);
    if (*start == '[')
        return 0;
    size_t cut = size_t(stop - start);
    if (cut > size_t(size - 1))
        cut = size_t(size - 1);
    const void* nul = memchr(start, 0, cut);
    *length = nul ? size_t(static_cast<const char*>(nul) - start) : cut;
    return 1;
}

int SectionFile::countValues() const
{
    int count = 0;
    const char* p = cursor_;
    while (p && p < end_ && *p != '[' && *p != 0 && *p != '\r' && *p != '\n') {
        ++count;
        p = LineScan::nextLine(LineScan::lineEnd(p, end_), end_);
    }
    return count;
}

void SectionFile::drain()
{
    if (outUsed_ && !handle_.write(out_, int32_t(outUsed_)))
        failed_ = 1;
    outUsed_ = 0;
}

void SectionFile::put(const char* data, size_t length)
{
    while (length) {
        if (outUsed_ == sizeof out_)
            drain();
        size_t room = sizeof out_ - outUsed_;
        size_t part = length < room ? length : room;
        memcpy(out_ + outUsed_, data, part);
        outUsed_ += part;
        data += part;
        length -= part;
    }
}

void SectionFile::writeSection(const char* name)
{
    put("[", 1);
    put(name, strlen(name));
    put("]\r\n", 3);
}

void SectionFile::writeLine(const char* text)
{
    put(text, strlen(text));
    put("\r\n", 2);
}

int SectionFile::close()
{
    if (reading_) {
        index_.release();
        view_.reset();
        copy_.reset();
        handle_.close();
        buffer_ = nullptr;
        cursor_ = end_ = nullptr;
        reading_ = 0;
        indexState_ = 0;
        return 1;
    }
    if (!handle_.isOpen())
        return 1;
    drain();
    if (!failed_ && !handle_.flush())
        failed_ = 1;
    if (!handle_.close())
        failed_ = 1;
    return !failed_;
}
