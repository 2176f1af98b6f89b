#include "app/DeleteConfirmation.h"

#include <windows.h>

#include <cstring>

namespace DeleteConfirmation {

namespace {

// The bytes of the first count characters of text (or all of it): UTF-8
// continuation bytes belong to the character before them where the program
// runs in the UTF-8 code page, else each byte is a character.
size_t bytesOf(const char* text, size_t count)
{
    bool utf8 = GetACP() == CP_UTF8;
    size_t at = 0;
    for (size_t characters = 0; text[at] && characters < count; ++characters) {
        ++at;
        while (utf8 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            ++at;
    }
    return at;
}

}  // namespace

void compose(const char* itemText, char (&question)[BufferSize])
{
    static const char kHead[] = "Ok to Delete?\n";
    static const char kEllipsis[] = "...";
    static_assert(sizeof kHead - 1 + 4 * MaxItemLength + 1 == BufferSize, "the head and the longest text fill the buffer");

    const char* text = itemText ? itemText : "";
    size_t whole = bytesOf(text, size_t(MaxItemLength));
    char* out = question;
    memcpy(out, kHead, sizeof kHead - 1);
    out += sizeof kHead - 1;
    if (!text[whole]) {
        memcpy(out, text, whole);
        out += whole;
    } else {
        size_t kept = bytesOf(text, size_t(MaxItemLength) - (sizeof kEllipsis - 1));
        memcpy(out, text, kept);
        out += kept;
        memcpy(out, kEllipsis, sizeof kEllipsis - 1);
        out += sizeof kEllipsis - 1;
    }
    *out = 0;
}

}  // namespace DeleteConfirmation
