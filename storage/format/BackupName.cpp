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

std::string BackupName::compose(const char* dataPath, const Time& t, uint32_t sequence)
{
    char stamp[48];
    snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d.%02d.%02d.%03dZ %06lu", t.year % 10000, t.month % 100,
             t.day % 100, t.hour % 100, t.minute % 100, t.second % 100, t.millisecond % 1000,
             static_cast<unsigned long>(sequence));
    const char* name = fileNamePart(dataPath);
    const char* dot = findExtension(name);
    std::string extension = dot && *dot ? dot : ".tvd";
    return prefixFor(dataPath) + stamp + extension;
}

namespace {

// A backup of the data file of prefix: its sequence (0 for the earlier
// shape) and where its time starts.
struct Found {
    std::string name;
    uint32_t sequence;
};

bool parse(const std::string& name, const std::string& prefix, uint32_t& sequence)
{
    if (!startsWithIgnoringCase(name, prefix) || !hasTimeShape(name, prefix.size()))
        return false;
    sequence = 0;
    size_t at = prefix.size() + kTimeLength;
    if (name.compare(at, 2, "Z ") != 0)
        return true;
    at += 2;
    uint64_t number = 0;
    size_t digits = 0;
    for (; at < name.size() && name[at] >= '0' && name[at] <= '9' && digits < 10; ++at, ++digits)
        number = number * 10 + uint64_t(name[at] - '0');
    if (!digits || number > 0xFFFFFFFFu)
        return false;
    sequence = uint32_t(number);
    return true;
}

std::vector<Found> backupsOf(const std::vector<std::string>& names, const std::string& prefix)
{
    std::vector<Found> mine;
    uint32_t sequence = 0;
    for (const std::string& name : names)
        if (parse(name, prefix, sequence))
            mine.push_back({name, sequence});
    return mine;
}

} // namespace

uint32_t BackupName::nextSequence(const std::vector<std::string>& names, const std::string& prefix)
{
    uint32_t highest = 0;
    for (const Found& found : backupsOf(names, prefix))
        if (found.sequence > highest)
            highest = found.sequence;
    return highest == 0xFFFFFFFFu ? highest : highest + 1;
}

std::vector<std::string> BackupName::surplus(const std::vector<std::string>& names, const std::string& prefix,
                                             int keep, const std::string& justMade)
{
    std::vector<Found> mine = backupsOf(names, prefix);
    // The sequence decides; among equal ones (the earlier shape, or two
    // saves at once) the time, which sorts as text.
    std::sort(mine.begin(), mine.end(), [&](const Found& a, const Found& b) {
        if (a.sequence != b.sequence)
            return a.sequence < b.sequence;
        return a.name.compare(prefix.size(), kTimeLength, b.name, prefix.size(), kTimeLength) < 0;
    });
    if (keep < 0)
        keep = 0;
    std::vector<std::string> doomed;
    size_t beyond = mine.size() > size_t(keep) ? mine.size() - size_t(keep) : 0;
    for (size_t i = 0; i < mine.size() && doomed.size() < beyond; ++i)
        if (mine[i].name != justMade)
            doomed.push_back(mine[i].name);
    return doomed;
}
