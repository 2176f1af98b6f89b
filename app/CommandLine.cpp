#include "CommandLine.h"

namespace CommandLine {

namespace {

// Skips one token (quoted or not) and the blanks after it.
const char* skipToken(const char* p) {
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

}  // namespace

int firstArgument(const char* commandLine, char* path, int size) {
    if (size <= 0) return 0;
    path[0] = '\0';
    if (!commandLine) return 0;
    const char* p = commandLine;
    while (*p == ' ' || *p == '\t') ++p;
    p = skipToken(p);
    bool quoted = *p == '"';
    if (quoted) ++p;
    int n = 0;
    while (*p && n < size - 1) {
        if (quoted ? *p == '"' : (*p == ' ' || *p == '\t')) break;
        path[n++] = *p++;
    }
    path[n] = '\0';
    return n > 0;
}

}  // namespace CommandLine
