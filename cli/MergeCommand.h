#pragma once
#include <cstdio>

// tvd merge BASE MINE THEIRS OUT: merges the changes of MINE and THEIRS,
// two copies of the data file BASE, as the program's Save does when the
// file changed on disk, and saves the result to OUT as the program saves.
// A damaged input is refused, never merged. Prints the report, one line
// each, on out. Returns the exit status: 0 merged, 1 an input did not load
// or OUT was not saved. Usable as a git merge driver: tvd merge %O %A %B %A.
int runMerge(const char* base, const char* mine, const char* theirs, const char* outPath, FILE* out);
