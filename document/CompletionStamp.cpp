#include "document/CompletionStamp.h"

namespace {

// The two digits at text as a number, or -1.
int twoDigits(const char* text)
{
    if (text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return -1;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

int64_t CompletionStamp::minutesOf(const char* stamp)
{
    // MM/DD/YY hh:mm AM
    // 0123456789012345678
    for (int i = 0; i < 17; ++i)
        if (!stamp[i])
            return -1;
    if (stamp[17] || stamp[2] != '/' || stamp[5] != '/' || stamp[8] != ' ' || stamp[11] != ':' ||
        stamp[14] != ' ' || stamp[16] != 'M' || (stamp[15] != 'A' && stamp[15] != 'P'))
        return -1;
    int month = twoDigits(stamp), day = twoDigits(stamp + 3), year = twoDigits(stamp + 6);
    int hour = twoDigits(stamp + 9), minute = twoDigits(stamp + 12);
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0 || hour < 1 || hour > 12 || minute < 0 ||
        minute > 59)
        return -1;
    hour %= 12;
    if (stamp[15] == 'P')
        hour += 12;
    // Days are counted as if every month had 31: enough to put stamps in order.
    int64_t days = (int64_t(year) * 12 + (month - 1)) * 31 + (day - 1);
    return (days * 24 + hour) * 60 + minute;
}
