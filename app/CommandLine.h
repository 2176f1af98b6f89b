#pragma once

namespace CommandLine {

// Copies the first argument after the program's own path (quoted or not,
// without its quotes) into path (size bytes, cut to fit). 1 when there is
// one, else 0 and path is empty.
int firstArgument(const char* commandLine, char* path, int size);

}  // namespace CommandLine
