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
