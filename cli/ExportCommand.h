#pragma once

#include "export/ExportWriter.h"

// tvd export FILE --csv OUT / --html OUT: loads FILE as the program opens it
// (a damaged file as far as it loads, after its messages on stderr) and
// writes it to OUT ("-" for standard output) as a spreadsheet or a printable
// page. Returns the exit status: 0 done, 1 not loaded or not written, 2 when
// OUT is refused by exportRefusal.
int runExport(const char* file, bool html, const char* outPath);
