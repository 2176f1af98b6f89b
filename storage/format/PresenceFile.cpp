#include "storage/format/PresenceFile.h"

#include <cstdio>
#include <cstring>

#include "document/Utf8.h"
#include "storage/file/FileName.h"

namespace {

bool sameText(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        char x = (*a >= 'a' && *a <= 'z') ? char(*a - 32) : *a;
        char y = (*b >= 'a' && *b <= 'z') ? char(*b - 32) : *b;
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

void copyCut(char* field, const char* text, size_t length)
{
    length = Utf8::cutPoint(text, length, size_t(PresenceFile::kFieldSize - 1));
    memcpy(field, text, length);
    field[length] = '\0';
}

} // namespace

void PresenceFile::setField(char* field, const std::string& text) { copyCut(field, text.data(), text.size()); }

std::string PresenceFile::pathFor(const char* dataPath)
{
    const char* name = fileNamePart(dataPath);
    if (!*name)
        return std::string();
    return std::string(dataPath, name) + "~$" + name;
}

int PresenceFile::compose(char* out, int size) const
{
    int length = snprintf(out, size_t(size), "user=%s\r\ncomputer=%s\r\npid=%lu\r\nstarted=%lld\r\nsince=%s\r\n", user,
                          computer, static_cast<unsigned long>(pid), static_cast<long long>(started), since);
    return length > 0 && length < size ? length : 0;
}

int PresenceFile::parse(const char* text, size_t length)
{
    *this = PresenceFile();
    bool pidFound = false;
    const char* end = text + length;
    for (const char* line = text; line < end;) {
        const char* stop = line;
        while (stop < end && *stop != '\r' && *stop != '\n')
            ++stop;
        const char* equals = static_cast<const char*>(memchr(line, '=', size_t(stop - line)));
        if (equals) {
            size_t keyLength = size_t(equals - line);
            const char* value = equals + 1;
            size_t valueLength = size_t(stop - value);
            if (keyLength == 4 && !memcmp(line, "user", 4))
                copyCut(user, value, valueLength);
            else if (keyLength == 8 && !memcmp(line, "computer", 8))
                copyCut(computer, value, valueLength);
            else if (keyLength == 5 && !memcmp(line, "since", 5))
                copyCut(since, value, valueLength);
            else if (keyLength == 7 && !memcmp(line, "started", 7) && valueLength && valueLength <= 18) {
                int64_t number = 0;
                size_t i = 0;
                while (i < valueLength && value[i] >= '0' && value[i] <= '9')
                    number = number * 10 + int64_t(value[i++] - '0');
                if (i == valueLength)
                    started = number;
            } else if (keyLength == 3 && !memcmp(line, "pid", 3) && valueLength && valueLength <= 10) {
                uint64_t number = 0;
                size_t i = 0;
                while (i < valueLength && value[i] >= '0' && value[i] <= '9')
                    number = number * 10 + uint64_t(value[i++] - '0');
                if (i == valueLength && number <= 0xFFFFFFFFu) {
                    pid = uint32_t(number);
                    pidFound = true;
                }
            }
        }
        line = stop;
        while (line < end && (*line == '\r' || *line == '\n'))
            ++line;
    }
    return computer[0] && pidFound ? 1 : 0;
}

bool PresenceFile::writerGone(int64_t processStart, int64_t recordedStart, int64_t writtenAt)
{
    if (processStart < 0)
        return true;
    if (processStart == 0)
        return false;   // runs, and can't be asked: nobody's open file is taken over
    if (recordedStart)
        return processStart != recordedStart;
    return writtenAt && processStart > writtenAt;
}

PresenceFile::Owner PresenceFile::ownerFor(const char* ownComputer, uint32_t ownPid, int64_t now,
                                           int64_t (*tallyvaneStart)(uint32_t pid)) const
{
    // Without a computer there is nobody to name in a question: an old one
    // is left over, a young one is still being written by its program.
    if (!computer[0]) {
        int64_t age = now - written;
        return written && age < kFreshTicks && age > -kFreshTicks ? Starting : Stale;
    }
    if (!sameText(computer, ownComputer))
        return Other;
    if (pid == ownPid)
        return Mine;
    return writerGone(tallyvaneStart(pid), started, written) ? Stale : Other;
}
