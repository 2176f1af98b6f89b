#pragma once
#include <string>

class Document;

enum class ExportKind { Csv, Html };

// Why an export to outPath would most likely replace a data file by mistake:
// outPath is dataPath itself (however spelled), or is named like a data file
// (".tvd", trailing dots and blanks ignored as Windows ignores them). Null
// when it may be written; dataPath may be empty.
const char* exportRefusal(const char* outPath, const char* dataPath);

// Writes doc to outPath ("-" for standard output) as a spreadsheet or as a
// printable page titled title (the data file's name; UTF-8, else ANSI);
// the tvd command and the program's Export command both write through here.
// 1 when written; else 0, with the reason in reason and no file left behind.
int writeExport(const Document& doc, ExportKind kind, const char* title, const char* outPath, std::string& reason);

// tvd export FILE --csv OUT / --html OUT: loads FILE as the program opens it
// (a damaged file as far as it loads, after its messages on stderr) and
// writes it to OUT ("-" for standard output) as a spreadsheet or a printable
// page. Returns the exit status: 0 done, 1 not loaded or not written, 2 when
// OUT is refused by exportRefusal.
int runExport(const char* file, bool html, const char* outPath);
