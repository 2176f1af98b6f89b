#pragma once

// Line boundaries shared by SectionFile and SectionIndex: a line ends at CR,
// at LF or at the end of the data; CR LF is one terminator, LF CR two.
namespace LineScan {

// The terminator (or the end) of the line that starts at p.
inline const char* lineEnd(const char* p, const char* end)
{
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

// The start of the next line: over one CR, then over one LF, each if present.
inline const char* nextLine(const char* p, const char* end)
{
    if (p < end && *p == '\r')
        ++p;
    if (p < end && *p == '\n')
        ++p;
    return p;
}

inline char fold(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace LineScan
