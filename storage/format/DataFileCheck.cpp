#include "storage/format/DataFileCheck.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "storage/file/LineScan.h"
#include "storage/format/SectionIndex.h"

const char kIncompleteDataFile[] = "Data file is incomplete";

namespace {

// One list of the file as the reader finds it: the first section of its
// name, the count on its first line, the lines below up to an empty line,
// the next header or the end.
struct List {
    bool found = false;    // the section is there
    bool counted = false;  // its first line is a number
    long declared = 0;
    long lines = 0;
    bool whole() const { return found && counted && lines == declared; }
};

bool sameFolded(const char* name, uint32_t length, const char* wanted)
{
    if (strlen(wanted) != length)
        return false;
    for (uint32_t i = 0; i < length; ++i)
        if (LineScan::fold(name[i]) != LineScan::fold(wanted[i]))
            return false;
    return true;
}

// The number a section "0", "1", ... of a name stands for, or -1.
long nameNumber(const char* name, uint32_t length)
{
    if (!length || length > 9 || (name[0] == '0' && length > 1))
        return -1;
    long number = 0;
    for (uint32_t i = 0; i < length; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

}  // namespace

bool isWholeDataFile(const char* data, size_t size)
{
    if (!size || (data[size - 1] != '\n' && data[size - 1] != '\r'))
        return false;
    // One pass over the lines, by the rules of the section search (the first
    // of two equal headers wins) and of the reader's lists.
    List program, actions, names;
    std::vector<List> persons;
    List* current = nullptr;   // the list being counted, if it is one to look at
    bool atFirstLine = false, inList = false;
    const char* end = data + size;
    for (const char* p = data; p < end;) {
        // The line ends at a CR or an LF (LineScan's rule), found with memchr.
        const char* lineEnd = static_cast<const char*>(memchr(p, '\n', size_t(end - p)));
        if (!lineEnd)
            lineEnd = end;
        if (const char* cr = static_cast<const char*>(memchr(p, '\r', size_t(lineEnd - p))))
            lineEnd = cr;
        uint32_t length = 0;
        const char* name = SectionIndex::headerName(p, lineEnd, &length);
        if (name) {
            List* list = nullptr;
            long number = nameNumber(name, length);
            if (number >= 0) {
                if (size_t(number) >= persons.size())
                    persons.resize(size_t(number) + 1);
                list = &persons[size_t(number)];
            } else if (sameFolded(name, length, "Program")) {
                list = &program;
            } else if (sameFolded(name, length, "Action Items")) {
                list = &actions;
            } else if (sameFolded(name, length, "Names")) {
                list = &names;
            }
            current = list && !list->found ? list : nullptr;
            if (current)
                current->found = true;
            atFirstLine = current != nullptr;
            inList = false;
        } else if (atFirstLine) {
            // The count (or, in Program, the magic, which the reader checks).
            atFirstLine = false;
            inList = p < lineEnd && *p;
            if (*p >= '0' && *p <= '9') {
                current->counted = true;
                for (const char* d = p; d < lineEnd && *d >= '0' && *d <= '9' && current->declared < 1000000000L; ++d)
                    current->declared = current->declared * 10 + (*d - '0');
            } else if (current == &program && inList) {
                current->counted = true;
                current->declared = -1;
            }
        } else if (inList) {
            if (p == lineEnd || !*p)
                inList = false;
            else
                current->lines++;
        }
        p = LineScan::nextLine(lineEnd, end);
    }
    if (!program.found || !program.counted || !actions.whole() || !names.whole() || size_t(names.declared) > persons.size())
        return false;
    for (long i = 0; i < names.declared; ++i)
        if (!persons[size_t(i)].whole())
            return false;
    return true;
}
