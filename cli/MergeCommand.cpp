#include "cli/MergeCommand.h"

#include <string>

#include "cli/ConsoleView.h"
#include "document/Document.h"
#include "document/Merge.h"
#include "storage/sharing/BackupFolder.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"

namespace {

// Loads path for the merge; 0 after saying why when it can't be merged.
int loadInput(Document& doc, const char* path, FILE* out)
{
    ConsoleView view(out);
    if (!loadDataFile(doc, view, path)) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    if (view.readOnly()) {
        view.reportError(path, "Damaged data file - not merged");
        return 0;
    }
    return 1;
}

}  // namespace

int runMerge(const char* base, const char* mine, const char* theirs, const char* outPath, FILE* out)
{
    Document baseDoc, mineDoc, theirDoc, result;
    if (!loadInput(baseDoc, base, out) || !loadInput(mineDoc, mine, out) || !loadInput(theirDoc, theirs, out))
        return 1;
    ConsoleView view(out);
    MergeReport report;
    if (!mergeDocuments(baseDoc, mineDoc, theirDoc, result, report)) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }
    // The OUT replaced is kept in the backups folder, as every save of the program keeps it.
    BackupFolder backups(BackupFolder::standard());
    if (!backups.keepFile(outPath))
        fprintf(stderr, "%s: no backup kept - %s\n", outPath, backups.problem().c_str());
    if (!saveDocumentFile(result, view, outPath))
        return 1;
    std::string text = report.text();
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    fprintf(out, "%s\n", text.c_str());
    fflush(out);
    return 0;
}
