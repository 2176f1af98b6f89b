#include "storage/format/PresenceFile.h"

#include <cstdio>
#include <cstring>

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
    if (length > size_t(PresenceFile::kFieldSize - 1))
        length = PresenceFile::kFieldSize - 1;
    memcpy(field, text, length);
    field[length] = '\0';
}

} // namespace

int PresenceFile::pathFor(const char* dataPath, char* out, int size)
{
    const char* name = fileNamePart(dataPath);
    if (!*name)
        return 0;
    size_t folder = size_t(name - dataPath);
    size_t total = strlen(dataPath) + 2;
    if (total + 1 > size_t(size))
        return 0;
    memcpy(out, dataPath, folder);
    memcpy(out + folder, "~$", 2);
    strcpy(out + folder + 2, name);
    return 1;
}

int PresenceFile::compose(char* out, int size) const
{
    int length = snprintf(out, size_t(size), "user=%s\r\ncomputer=%s\r\npid=%lu\r\nsince=%s\r\n", user, computer,
                          static_cast<unsigned long>(pid), since);
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
            else if (keyLength == 3 && !memcmp(line, "pid", 3) && valueLength && valueLength <= 10) {
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

PresenceFile::Owner PresenceFile::ownerFor(const char* ownComputer, uint32_t ownPid,
                                           int (*liveTallyvane)(uint32_t pid)) const
{
    // Without a computer there is nobody to name in a question.
    if (!computer[0])
        return Stale;
    if (!sameText(computer, ownComputer))
        return Other;
    if (pid == ownPid)
        return Mine;
    return liveTallyvane(pid) ? Other : Stale;
}
