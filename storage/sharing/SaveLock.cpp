#include "storage/sharing/SaveLock.h"

#include <cstring>

#include "storage/file/FileName.h"

int SaveLock::lockPathFor(const char* path, char* lockPath, int size)
{
    const char* name = fileNamePart(path);
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
