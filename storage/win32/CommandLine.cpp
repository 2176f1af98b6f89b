#include "storage/win32/CommandLine.h"

int splitCommandLine(char* line, char** tokens, int n)
{
    int found = 0;
    char* p = line;
    for (int i = 0; i < n; ++i) {
        while (*p == ' ')
            ++p;
        char end = ' ';
        if (*p == '"') {
            end = '"';
            ++p;
        }
        tokens[i] = p;
        while (*p && *p != end)
            ++p;
        if (p != tokens[i])
            ++found;
        if (*p)
            *p++ = '\0';
    }
    return found;
}
