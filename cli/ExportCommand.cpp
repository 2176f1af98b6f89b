#include "cli/ExportCommand.h"

#include <cstdio>

#include "cli/ConsoleView.h"
#include "document/Document.h"
#include "storage/format/DataFile.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"

int runExport(const char* file, bool html, const char* outPath)
{
    if (const char* refusal = exportRefusal(outPath, file)) {
        fprintf(stderr, "tvd: %s: %s\n", outPath, refusal);
        return 2;
    }
    Document doc;
    ConsoleView view(stderr);
    setFileError("");
    if (!view.show(loadDataFile(doc, file))) {
        view.reportError(file, "Failed to open the existing file");
        return 1;
    }
    std::string reason;
    if (!writeExport(doc, html ? ExportKind::Html : ExportKind::Csv, fileNamePart(file), outPath, reason)) {
        fprintf(stderr, "%s: Failed to save the file - %s\n", outPath, reason.c_str());
        fflush(stderr);
        return 1;
    }
    return 0;
}
