#pragma once
#include <cstdio>

// tvd add-names FILE ROSTER: adds the roster's new names to FILE as the Add
// name command adds them, and saves FILE as the program saves. A FILE that
// does not exist is created; one that loads read-only or is a read-only
// file is not touched. Prints "ROSTER:LINE: reason" for each skipped or cut
// line, then "added=N present=M skipped=K", on out. Returns the exit
// status: 0 done, 1 not loaded or not saved (or the roster refused), 2 when
// ROSTER is FILE itself.
int runAddNames(const char* file, const char* roster, FILE* out);
