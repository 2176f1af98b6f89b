#include "tests/support/MessageRecorder.h"

#include <cstdarg>
#include <cstdio>

void MessageRecorder::add(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    entries_.push_back(line);
}

std::vector<std::string> MessageRecorder::take()
{
    std::vector<std::string> taken;
    taken.swap(entries_);
    return taken;
}

int MessageRecorder::count(const std::string& prefix) const
{
    int n = 0;
    for (const std::string& entry : entries_)
        if (entry.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}
