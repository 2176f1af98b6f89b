#include "storage/file/FileName.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// The system's ANSI code page: in 932, 936, 949 and 950 the second byte of
// a character can be a backslash ("表" is 0x95 0x5C in 932).
bool systemLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != 0;
}
#else
// Windows-1252 has no two-byte characters.
bool systemLeadByte(unsigned char)
{
    return false;
}
#endif

bool (*isLeadByte)(unsigned char) = systemLeadByte;

bool isStop(char c)
{
    return c == '.' || c == '\\' || c == '/' || c == ':';
}

// The character where a scan from the end back to the last dot, separator
// or colon stops (the first character when nothing stops it earlier); path
// must not be empty. Scanned forwards, so that the second byte of a
// double-byte character is never taken for a separator.
const char* scanBack(const char* path)
{
    const char* stop = path;
    for (const char* p = path; *p; ++p) {
        if (p > path && isStop(*p))
            stop = p;
        if (isLeadByte(static_cast<unsigned char>(*p)) && p[1])
            ++p;
    }
    return stop;
}

} // namespace

void setLeadBytesForTest(bool (*leadByte)(unsigned char))
{
    isLeadByte = leadByte ? leadByte : systemLeadByte;
}

const char* findExtension(const char* path)
{
    if (!path || !*path)
        return nullptr;
    const char* stop = scanBack(path);
    if (*stop == '.')
        return stop;
    if (isStop(*stop) && stop[1] == 0)
        return nullptr;
    return path + strlen(path);
}

char* findExtension(char* path)
{
    return const_cast<char*>(findExtension(static_cast<const char*>(path)));
}

void stripExtension(char* path)
{
    if (!path || !*path)
        return;
    char* stop = const_cast<char*>(scanBack(path));
    if (*stop == '.')
        *stop = 0;
}

int replaceExtension(char* path, int size, const char* extension)
{
    char* at = findExtension(path);
    if (!at)
        return 0;
    size_t keep = size_t(at - path);
    size_t dot = extension[0] == '.' ? 0 : 1;
    size_t length = strlen(extension);
    if (keep + dot + length + 1 > size_t(size))
        return 0;
    if (dot)
        *at++ = '.';
    memcpy(at, extension, length + 1);
    return 1;
}

bool hasExtension(const char* path, const char* extension)
{
    const char* own = findExtension(path);
    if (!own)
        return false;
    for (; *own && *extension; ++own, ++extension) {
        char a = *own >= 'A' && *own <= 'Z' ? char(*own + 32) : *own;
        char b = *extension >= 'A' && *extension <= 'Z' ? char(*extension + 32) : *extension;
        if (a != b)
            return false;
    }
    return *own == *extension;
}

const char* fileNamePart(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
        else if (isLeadByte(static_cast<unsigned char>(*p)) && p[1])
            ++p;
    }
    return name;
}
