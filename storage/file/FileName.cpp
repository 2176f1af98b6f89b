#include "storage/file/FileName.h"

#include <cstring>

namespace {

bool isStop(char c)
{
    return c == '.' || c == '\\' || c == '/' || c == ':';
}

// The character where the backward scan stops (the first character when
// nothing stops it earlier); path must not be empty.
const char* scanBack(const char* path)
{
    const char* p = path + strlen(path) - 1;
    while (p > path && !isStop(*p))
        --p;
    return p;
}

} // namespace

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
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return name;
}
