#include "storage/file/FileStamp.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

FileStamp FileStamp::of(const char* path)
{
    FileStamp stamp;
    struct stat data;
    if (stat(path, &data) != 0 || S_ISDIR(data.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = int64_t(data.st_size);
    stamp.writeTime = int64_t(data.st_mtim.tv_sec) * 1000000000 + data.st_mtim.tv_nsec;
    return stamp;
}

namespace {

struct tm localTimeOf(int64_t writeTime)
{
    time_t seconds = time_t(writeTime / 1000000000);
    struct tm local = {};
    localtime_r(&seconds, &local);
    return local;
}

}  // namespace

void FileStamp::writeTimeText(char* text) const
{
    struct tm t = localTimeOf(writeTime);
    int hour = t.tm_hour % 12 ? t.tm_hour % 12 : 12;
    sprintf(text, "%02d/%02d/%02d %02d:%02d %s", (t.tm_mon + 1) % 100, t.tm_mday % 100, t.tm_year % 100, hour,
            t.tm_min % 100, t.tm_hour < 12 ? "AM" : "PM");
}

void FileStamp::writeClockText(char* text) const
{
    struct tm t = localTimeOf(writeTime);
    int hour = t.tm_hour % 12 ? t.tm_hour % 12 : 12;
    sprintf(text, "%02d:%02d %s", hour, t.tm_min % 100, t.tm_hour < 12 ? "AM" : "PM");
}
