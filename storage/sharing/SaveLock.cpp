#include "storage/sharing/SaveLock.h"

#include "storage/file/FileName.h"

std::string SaveLock::lockPathFor(const char* path)
{
    const char* name = fileNamePart(path);
    if (!*name)
        return std::string();
    return std::string(path, name) + "~$" + name + ".lock";
}
