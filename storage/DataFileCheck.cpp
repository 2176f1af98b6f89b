#include "DataFileCheck.h"

#include <cstdio>

#include "SectionFile.h"

const char kIncompleteDataFile[] = "Data file is incomplete";

namespace {

// Finds the section name and reads its count line: a number, and as many
// lines in the list below it.
bool listIsWhole(SectionFile& file, const char* name, long* declared)
{
    char line[SectionFile::kLineSize];
    if (!file.findSection(name) || !file.readValue(line) || line[0] < '0' || line[0] > '9')
        return false;
    long count = 0;
    for (const char* p = line; *p >= '0' && *p <= '9'; ++p) {
        count = count * 10 + (*p - '0');
        if (count > 1000000000L)
            return false;
    }
    *declared = count;
    return file.countValues() == count;
}

}  // namespace

bool isWholeDataFile(const char* data, size_t size)
{
    if (!size || (data[size - 1] != '\n' && data[size - 1] != '\r'))
        return false;
    SectionFile file;
    char line[SectionFile::kLineSize];
    if (!file.openBuffer(data, size) || !file.findSection("Program") || !file.readValue(line))
        return false;
    long actions = 0, names = 0;
    if (!listIsWhole(file, "Action Items", &actions) || !listIsWhole(file, "Names", &names))
        return false;
    for (long i = 0; i < names; ++i) {
        char number[24];
        snprintf(number, sizeof number, "%ld", i);
        long entries = 0;
        if (!listIsWhole(file, number, &entries))
            return false;
    }
    return true;
}
