#include "cli/MergeCommand.h"

#include <string>

#include "cli/ConsoleView.h"
#include "document/Document.h"
#include "document/Heap.h"
#include "document/Merge.h"
#include "storage/file/FileHandle.h"
#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"
#include "storage/format/SectionFile.h"
#include "storage/sharing/BackupFolder.h"
#include "storage/sharing/DocumentFile.h"

namespace {

// Owns a block from SectionFile::readWhole.
struct BlockOwner {
    char* block = nullptr;
    ~BlockOwner() { releaseBlock(block); }
};

// Loads path for the merge; 0 after saying why when it can't be merged: it
// can't be read, it is damaged, or it is not whole (cut off by a write that
// never ended). An empty base is git's common ancestor of a file added on
// two branches: no ancestor at all, so nothing of either copy is deleted.
int loadInput(Document& doc, const char* path, bool isBase, FILE* out)
{
    ConsoleView view(out);
    setFileError("");
    BlockOwner bytes;
    int32_t length = 0;
    bytes.block = SectionFile::readWhole(path, &length);
    if (!bytes.block) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    if (isBase && length == 0) {
        if (doc.resetDocument(0, 0))
            return 1;
        view.reportError("Tallyvane", "Out of memory");
        return 0;
    }
    bool whole = false;
    if (!loadDataBytes(doc, view, bytes.block, size_t(length), &whole)) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    if (!view.readOnly() && !whole) {
        view.reportError("Tallyvane", kIncompleteDataFile);
        view.enterReadOnly();
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
    ConsoleView view(out);
    // Refused before anything is read, as add-names and the program refuse it.
    if (isReadOnlyFile(saveTarget(outPath).c_str())) {
        setFileError("the file is read-only");
        view.reportError(outPath, "Failed to save the file");
        return 1;
    }
    Document baseDoc, mineDoc, theirDoc, result;
    // Three copies and the result are held at once: the copies get no room
    // to grow, as nobody edits them.
    baseDoc.readRoom = mineDoc.readRoom = theirDoc.readRoom = 0;
    // Persons that mine or theirs left as in the base share its lists.
    mineDoc.lender = theirDoc.lender = &baseDoc;
    if (!loadInput(baseDoc, base, true, out) || !loadInput(mineDoc, mine, false, out) ||
        !loadInput(theirDoc, theirs, false, out))
        return 1;
    MergeReport report;
    // The copies are used up: the result takes the lists it keeps as they are.
    if (!mergeReadCopies(baseDoc, mineDoc, theirDoc, result, report)) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }
    // The report goes out before OUT is replaced: when it can't be written,
    // OUT stays as it was and the exit status says so.
    std::string text = report.text();
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    fprintf(out, "%s\n", text.c_str());
    if (fflush(out) != 0 || ferror(out)) {
        fprintf(stderr, "tvd: the report could not be written; %s not saved\n", outPath);
        return 1;
    }
    // The OUT replaced is kept in the backups folder, as every save of the program keeps it.
    BackupFolder backups(BackupFolder::standard());
    if (!backups.keepFile(outPath))
        fprintf(stderr, "%s: no backup kept - %s\n", outPath, backups.problem().c_str());
    setFileError("");
    if (!saveDocumentFile(result, view, outPath))
        return 1;
    return 0;
}
