#include "ExportCommand.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "ConsoleView.h"
#include "CsvExport.h"
#include "HtmlExport.h"
#include "OutputFile.h"
#include "ReportTable.h"
#include "document/Document.h"
#include "storage/DataFile.h"
#include "storage/FileName.h"

int runExport(const char* file, bool html, const char* outPath)
{
    Document doc;
    ConsoleView view(stderr);
    if (!loadDataFile(doc, view, file)) {
        view.reportError(file, "Failed to open the existing file");
        return 1;
    }

    ReportTable table(doc);
    OutputFile out;
    if (!out.open(outPath)) {
        view.reportError(outPath, "Failed to save the file");
        return 1;
    }
    if (html) {
        // The program's own date and time form: 12/08/26 06:54 PM.
        char date[32] = "";
        time_t now = time(nullptr);
        if (const tm* local = localtime(&now))
            strftime(date, sizeof date, "%m/%d/%y %I:%M %p", local);
        exportHtml(table, fileNamePart(file), date, out);
    } else {
        exportCsv(table, out);
    }
    if (!out.finish()) {
        view.reportError(outPath, "Failed to save the file");
        return 1;
    }
    return 0;
}
