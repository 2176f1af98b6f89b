#include "storage/format/BackupName.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "storage/file/FileName.h"

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }

// The time part "2026-12-09 10.02.05.123" is 23 characters of fixed shape.
const size_t kTimeLength = 23;

bool hasTimeShape(const std::string& name, size_t at)
{
    static const char shape[] = "dddd-dd-dd dd.dd.dd.ddd";
    if (name.size() < at + kTimeLength)
        return false;
    for (size_t i = 0; i < kTimeLength; ++i) {
        char c = name[at + i];
        if (shape[i] == 'd' ? !(c >= '0' && c <= '9') : c != shape[i])
            return false;
    }
    return true;
}

bool startsWithIgnoringCase(const std::string& text, const std::string& start)
{
    if (text.size() < start.size())
        return false;
    for (size_t i = 0; i < start.size(); ++i)
        if (upper(text[i]) != upper(start[i]))
            return false;
    return true;
}

} // namespace

std::string BackupName::prefixFor(const char* dataPath)
{
    const char* name = fileNamePart(dataPath);
    uint32_t key = 2166136261u;
    for (const char* p = dataPath; p < name; ++p) {
        char c = *p == '/' ? '\\' : upper(*p);
        key = (key ^ uint8_t(c)) * 16777619u;
    }
    const char* dot = findExtension(name);
    std::string prefix(name, dot ? size_t(dot - name) : strlen(name));
    char hex[16];
    snprintf(hex, sizeof hex, " (%08X) ", static_cast<unsigned>(key));
    return prefix + hex;
}

std::string BackupName::compose(const char* dataPath, const Time& t)
{
    char stamp[40];
    snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d.%02d.%02d.%03d", t.year % 10000, t.month % 100, t.day % 100,
             t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000);
    const char* name = fileNamePart(dataPath);
    const char* dot = findExtension(name);
    std::string extension = dot && *dot ? dot : ".tvd";
    return prefixFor(dataPath) + stamp + extension;
}

std::vector<std::string> BackupName::surplus(const std::vector<std::string>& names, const std::string& prefix,
                                             int keep)
{
    std::vector<std::string> mine;
    for (const std::string& name : names)
        if (startsWithIgnoringCase(name, prefix) && hasTimeShape(name, prefix.size()))
            mine.push_back(name);
    // Equal prefixes: the time decides, and it sorts as text.
    std::sort(mine.begin(), mine.end(), [&](const std::string& a, const std::string& b) {
        return a.compare(prefix.size(), kTimeLength, b, prefix.size(), kTimeLength) < 0;
    });
    if (keep < 0)
        keep = 0;
    if (mine.size() <= size_t(keep))
        return {};
    mine.resize(mine.size() - size_t(keep));
    return mine;
}
