// What a quick look tells of a file without reading it: whether it exists,
// its size and its last write time. Two equal stamps don't prove equal
// content (a write time on a network or synced folder can be kept or set
// back by whoever copied the file), so the bytes decide where it matters.
#pragma once
#include <cstdint>

struct FileStamp {
    bool exists = false;
    int64_t size = 0;
    int64_t writeTime = 0;   // FILETIME (Windows) or nanoseconds since 1970 (native)

    // The stamp of the file at path; exists is false when there is none.
    static FileStamp of(const char* path);
    // The write time as local "MM/DD/YY hh:mm AM" text in a buffer of at least 18 bytes.
    void writeTimeText(char* text) const;
    // Only the time, "hh:mm AM", in a buffer of at least 9 bytes.
    void writeClockText(char* text) const;

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && size == other.size && writeTime == other.writeTime;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
