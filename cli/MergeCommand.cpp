#include "cli/MergeCommand.h"

#include <string>

#include "cli/ConsoleView.h"
#include "document/Document.h"
#include "document/Merge.h"
#include "session/DocumentSession.h"
#include "session/SessionEnvironment.h"
#include "storage/format/DataFile.h"
#include "storage/file/FileHandle.h"

namespace {

// Loads path for the merge (from data, size bytes, when given: the bytes of
// OUT already read); 0 after saying why when it can't be merged.
int loadInput(Document& doc, const char* path, FILE* out, const SharedFile* read = nullptr)
{
    ConsoleView view(out);
    if (read ? !loadDataBytes(doc, view, read->baseData(), read->baseSize()) : !loadDataFile(doc, view, path)) {
        view.reportError(path, "Failed to open the existing file");
        return 0;
    }
    if (view.readOnly()) {
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
    // OUT is saved as the program saves: with the lock, a backup, and a
    // merge with whatever someone else wrote there after it was read here.
    // It is read first; when it is MINE (git's merge driver), those very
    // bytes are MINE.
    Document result;
    DocumentSession session(result, systemEnvironment());
    session.announce = false;
    if (!session.startFor(outPath)) {
        ConsoleView(out).reportError("Tallyvane", "Out of memory");
        return 1;
    }
    const SharedFile* mineRead = session.base().hasBase() && isSameFile(mine, outPath) ? &session.base() : nullptr;
    Document baseDoc, mineDoc, theirDoc, merged;
    if (!loadInput(baseDoc, base, out) || !loadInput(mineDoc, mine, out, mineRead) ||
        !loadInput(theirDoc, theirs, out))
        return 1;
    ConsoleView view(out);
    MergeReport report;
    if (!mergeDocuments(baseDoc, mineDoc, theirDoc, merged, report)) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }
    result.swap(merged);
    setFileError("");
    MergeReport meanwhile;
    switch (session.save(view, meanwhile)) {
    case DocumentSession::Save::Saved:
        break;
    case DocumentSession::Save::Merged:
        fprintf(out, "%s: changed meanwhile by someone else; merged. %s\n", outPath, lines(meanwhile.text()).c_str());
        break;
    case DocumentSession::Save::TheirsUnreadable:
        setFileError("it was changed meanwhile and is no data file now");
        view.reportError(outPath, "Failed to save the file");
        return 1;
    case DocumentSession::Save::Busy:
        setFileError("another program is saving it");
        view.reportError(outPath, "Failed to save the file");
        return 1;
    case DocumentSession::Save::ReadOnly:
    case DocumentSession::Save::Failed:
        return 1;
    }
    fprintf(out, "%s\n", lines(report.text()).c_str());
    fflush(out);
    return 0;
}
