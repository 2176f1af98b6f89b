#include "cli/AddNamesCommand.h"

#include "cli/ConsoleView.h"
#include "document/Document.h"
#include "cli/SaveOutcome.h"
#include "session/DocumentSession.h"
#include "session/SessionEnvironment.h"
#include "storage/file/FileHandle.h"
#include "storage/format/RosterFile.h"

namespace {

const char kNotOpened[] = "Failed to open the existing file";

} // namespace

int runAddNames(const char* file, const char* roster, FILE* out)
{
    if (isSameFile(file, roster)) {
        fprintf(stderr, "tvd: %s: the roster is the data file itself\n", roster);
        return 2;
    }
    ConsoleView view(out);
    // Refused before anything is read, as the program refuses to save over it.
    if (isReadOnlyFile(saveTarget(file).c_str())) {
        setFileError("the file is read-only");
        view.reportError(file, "Failed to save the file");
        return 1;
    }
    RosterFile names;
    if (!names.read(roster)) {
        fprintf(out, "%s: %s\n", roster, names.error().c_str());
        fflush(out);
        return 1;
    }

    // The program's session, without a presence file: the bytes read are
    // the base of the save, so that a save by someone else meanwhile is
    // merged with these names, and the save keeps a backup and takes turns.
    Document doc;
    DocumentSession session(doc, systemEnvironment());
    session.announce = false;
    setFileError("");
    bool existed = fileExists(file) != 0;
    if (existed) {
        if (!view.show(session.open(file, true))) {
            view.reportError(file, kNotOpened);
            return 1;
        }
        // A damaged file is open read-only in the program: no name can be added.
        if (session.readOnly()) {
            view.reportError(file, "Read only");
            return 1;
        }
    } else if (!session.startFor(file)) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }

    names.sortOut(doc);
    int32_t added = names.addTo(doc);
    fputs(names.noteLines(roster).c_str(), out);
    if (added < 0) {
        view.reportError("Tallyvane", "Out of memory");
        return 1;
    }
    if (added > 0 || !existed) {
        setFileError("");
        MergeReport report;
        DocumentSession::Save outcome = session.save(view, report);
        if (!reportSaveOutcome(outcome, session, view, file))
            return 1;
        if (outcome == DocumentSession::Save::Merged) {
            // The report's lines as lines of the output.
            std::string text = report.text();
            for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.replace(at, 2, "\n");
            fprintf(out, "%s: changed meanwhile by someone else; merged. %s\n", file, text.c_str());
        }
    }
    fprintf(out, "added=%d present=%d skipped=%d\n", int(added), int(names.presentCount()),
            int(names.skippedCount()));
    fflush(out);
    return 0;
}
