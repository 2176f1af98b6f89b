#include "cli/MergeCommand.h"

#include <cstring>
#include <string>

#include "cli/ConsoleView.h"
#include "cli/SaveOutcome.h"
#include "document/Document.h"
#include "document/HeapBlock.h"
#include "document/Merge.h"
#include "session/DocumentSession.h"
#include "session/SessionEnvironment.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"
#include "storage/format/SectionFile.h"

namespace {

// Loads path for the merge (from read, when given: OUT's bytes as already
// read); 0 after saying why when it can't be merged: it can't be read, it
// is damaged, or it is not whole (cut off by a write that never ended). An
// empty base is git's common ancestor of a file added on two branches: no
// ancestor at all, so nothing of either copy is deleted.
int loadInput(Document& doc, const char* path, bool isBase, FILE* out, const SharedFile* read = nullptr)
{
    ConsoleView view(out);
    setFileError("");
    HeapBlock bytes;
    int32_t length = 0;
    const char* data = nullptr;
    if (read) {
        data = read->baseData();
        length = int32_t(read->baseSize());
    } else {
        data = *bytes.receive() = SectionFile::readWhole(path, &length);
    }
    if (!data) {
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
    LoadReport report = loadDataBytes(doc, data, size_t(length), &whole);
    if (!view.show(report)) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    if (!report.damaged() && !whole)
        view.reportError("Tallyvane", kIncompleteDataFile);
    if (report.damaged() || !whole) {
        view.reportError(path, "Damaged data file - not merged");
        return 0;
    }
    return 1;
}

std::string lines(std::string text)
{
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
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
    // OUT is saved as the program saves: with the lock, a backup, and a
    // merge with whatever someone else wrote there after it was read here.
    // It is read first; when it is MINE (git's merge driver), those very
    // bytes are MINE.
    Document result;
    DocumentSession session(result, systemEnvironment());
    session.announce = false;
    // Git runs its merge driver on a temporary copy (".merge_file_XXXXXX")
    // whose every version git keeps itself: backups of it would pile up
    // under a new name at each merge, never pruned.
    session.keepBackups = std::strncmp(fileNamePart(outPath), ".merge_file_", 12) != 0;
    if (!session.startUntitled()) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }
    session.bindTo(outPath);
    const SharedFile* mineRead = session.base().hasBase() && isSameFile(mine, outPath) ? &session.base() : nullptr;
    Document baseDoc, mineDoc, theirDoc, merged;
    // Three copies and the result are held at once: the copies get no room
    // to grow, as nobody edits them.
    baseDoc.readRoom = mineDoc.readRoom = theirDoc.readRoom = 0;
    // Persons that mine or theirs left as in the base share its lists.
    mineDoc.lender = theirDoc.lender = &baseDoc;
    if (!loadInput(baseDoc, base, true, out) || !loadInput(mineDoc, mine, false, out, mineRead) ||
        !loadInput(theirDoc, theirs, false, out))
        return 1;
    MergeReport report;
    // The copies are used up: the result takes the lists it keeps as they are.
    if (!mergeReadCopies(baseDoc, mineDoc, theirDoc, merged, report)) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }
    result.swap(merged);
    // The report goes out before OUT is replaced: when it can't be written,
    // OUT stays as it was and the exit status says so.
    fprintf(out, "%s\n", lines(report.text()).c_str());
    if (fflush(out) != 0 || ferror(out)) {
        fprintf(stderr, "tvd: the report could not be written; %s not saved\n", outPath);
        return 1;
    }
    // The save keeps the OUT it replaces in the backups folder, as the program's saves do.
    setFileError("");
    MergeReport meanwhile;
    DocumentSession::Save outcome = session.save(view, meanwhile);
    if (!reportSaveOutcome(outcome, session, view, outPath))
        return 1;
    if (outcome == DocumentSession::Save::Merged) {
        fprintf(out, "%s: changed meanwhile by someone else; merged. %s\n", outPath, lines(meanwhile.text()).c_str());
        fflush(out);
    }
    return 0;
}
