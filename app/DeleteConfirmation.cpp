#include "app/DeleteConfirmation.h"

#include <cstring>

namespace DeleteConfirmation {

void compose(const char* itemText, char (&question)[BufferSize])
{
    static const char kHead[] = "Ok to Delete?\n";
    static const char kEllipsis[] = "...";
    static_assert(sizeof kHead - 1 + MaxItemLength + 1 == BufferSize, "the head and the longest text fill the buffer");

    const char* text = itemText ? itemText : "";
    size_t length = strlen(text);
    char* out = question;
    memcpy(out, kHead, sizeof kHead - 1);
    out += sizeof kHead - 1;
    if (length <= size_t(MaxItemLength)) {
        memcpy(out, text, length);
        out += length;
    } else {
        size_t kept = size_t(MaxItemLength) - (sizeof kEllipsis - 1);
        memcpy(out, text, kept);
        out += kept;
        memcpy(out, kEllipsis, sizeof kEllipsis - 1);
        out += sizeof kEllipsis - 1;
    }
    *out = 0;
}

}  // namespace DeleteConfirmation
