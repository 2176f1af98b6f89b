#include "storage/file/FileStamp.h"

#include <windows.h>

#include <cstdio>

FileStamp FileStamp::of(const char* path)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return stamp;
    stamp.exists = true;
    stamp.size = (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = (int64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

namespace {

SYSTEMTIME localTimeOf(int64_t writeTime)
{
    FILETIME utc, local;
    utc.dwLowDateTime = DWORD(writeTime & 0xffffffff);
    utc.dwHighDateTime = DWORD(uint64_t(writeTime) >> 32);
    SYSTEMTIME time = {};
    if (FileTimeToLocalFileTime(&utc, &local))
        FileTimeToSystemTime(&local, &time);
    return time;
}

}  // namespace

void FileStamp::writeTimeText(char* text) const
{
    SYSTEMTIME t = localTimeOf(writeTime);
    int hour = t.wHour % 12 ? t.wHour % 12 : 12;
    sprintf(text, "%02d/%02d/%02d %02d:%02d %s", t.wMonth % 100, t.wDay % 100, t.wYear % 100, hour,
            t.wMinute % 100, t.wHour < 12 ? "AM" : "PM");
}

void FileStamp::writeClockText(char* text) const
{
    SYSTEMTIME t = localTimeOf(writeTime);
    int hour = t.wHour % 12 ? t.wHour % 12 : 12;
    sprintf(text, "%02d:%02d %s", hour, t.wMinute % 100, t.wHour < 12 ? "AM" : "PM");
}
