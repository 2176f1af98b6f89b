#include "storage/sharing/SaveLock.h"

#include <cstring>

int SaveLock::lockPathFor(const char* path, char* lockPath, int size)
{
    // The file name's start: after the last separator of either kind.
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    size_t folder = size_t(name - path);
    size_t length = strlen(name);
    if (!length || folder + 2 + length + 5 + 1 > size_t(size))
        return 0;
    memcpy(lockPath, path, folder);
    memcpy(lockPath + folder, "~$", 2);
    memcpy(lockPath + folder + 2, name, length);
    memcpy(lockPath + folder + 2 + length, ".lock", 6);
    return 1;
}
