#include "WindowTitle.h"

#include <cstring>

namespace WindowTitle {

namespace {
const char kSuffix[] = " - Tallyvane";
const size_t kMaxNameLength = 259;

bool isSeparator(char c)
{
    return c == '\\' || c == ':' || c == '/';
}
}  // namespace

const char* fileNamePart(const char* path)
{
    const char* name = path;
    for (const char* p = path + (path[0] ? 1 : 0); *p; ++p)
        if (isSeparator(*p))
            name = p + 1;
    return name;
}

void compose(const char* path, char* title, size_t size)
{
    if (size == 0)
        return;
    const char* name = (path && path[0]) ? fileNamePart(path) : "Untitled";
    size_t nameLength = strlen(name);
    if (nameLength > kMaxNameLength)
        nameLength = kMaxNameLength;
    size_t used = 0;
    auto append = [&](const char* text, size_t length) {
        if (length > size - 1 - used)
            length = size - 1 - used;
        memcpy(title + used, text, length);
        used += length;
    };
    append(name, nameLength);
    append(kSuffix, sizeof kSuffix - 1);
    title[used] = 0;
}

}  // namespace WindowTitle
