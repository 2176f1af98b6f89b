#include "export/ExportWriter.h"

#include <cstring>
#include <ctime>

#include "export/CsvExport.h"
#include "export/HtmlExport.h"
#include "export/OutputFile.h"
#include "export/ReportTable.h"
#include "storage/file/FileName.h"

const char* exportRefusal(const char* outPath, const char* dataPath)
{
    if (strcmp(outPath, "-") == 0)
        return nullptr;
    if (dataPath && dataPath[0] && isSameFile(outPath, dataPath))
        return "an export is not written over the data file it comes from";
    std::string spelled = outPath;
    while (!spelled.empty() && (spelled.back() == '.' || spelled.back() == ' '))
        spelled.pop_back();
    if (hasExtension(spelled.c_str(), ".tvd"))
        return "an export is not written over a .tvd file";
    return nullptr;
}

int writeExport(const Document& doc, ExportKind kind, const char* title, const char* outPath, std::string& reason)
{
    ReportTable table(doc);
    OutputFile out;
    if (!out.open(outPath)) {
        reason = out.error();
        return 0;
    }
    if (kind == ExportKind::Html) {
        // The program's own date and time form: 12/08/26 06:54 PM.
        char date[32] = "";
        time_t now = time(nullptr);
        if (const tm* local = localtime(&now))
            strftime(date, sizeof date, "%m/%d/%y %I:%M %p", local);
        exportHtml(table, title, date, out);
    } else {
        exportCsv(table, out);
    }
    if (!out.finish()) {
        reason = out.error();
        return 0;
    }
    return 1;
}
