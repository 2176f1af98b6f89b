#include "cli/AddNamesCommand.h"

#include "cli/ConsoleView.h"
#include "document/Document.h"
#include "storage/sharing/BackupFolder.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/file/FileHandle.h"
#include "storage/format/RosterFile.h"
#include "storage/sharing/SharedFile.h"
#include "storage/sharing/SharedSave.h"

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

    // The bytes read are the base of the save: should someone else save the
    // file meanwhile, their change and these names are merged.
    Document doc;
    SharedFile shared;
    setFileError("");
    if (fileExists(file)) {
        if (!shared.remember(file) || !loadDataBytes(doc, view, shared.baseData(), shared.baseSize())) {
            view.reportError(file, kNotOpened);
            return 1;
        }
        // A damaged file is open read-only in the program: no name can be added.
        if (view.readOnly()) {
            view.reportError(file, "Read only");
            return 1;
        }
    } else if (!doc.resetDocument(0, 0)) {
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
    if (added > 0 || !fileExists(file)) {
        doc.modified = 1;
        setFileError("");
        SharedSave save;
        // The version replaced is kept in the backups folder, as every save of the program keeps it.
        save.beforeReplace = [](const char* path, const char* data, size_t size) {
            BackupFolder backups(BackupFolder::standard());
            if (!(data ? backups.keep(path, data, size) : backups.keepFile(path)))
                fprintf(stderr, "%s: no backup kept - %s\n", path, backups.problem().c_str());
        };
        Document merged;
        MergeReport report;
        switch (save.save(doc, view, file, shared, merged, report)) {
        case SharedSave::Saved:
            break;
        case SharedSave::Merged:
            fprintf(out, "%s: changed meanwhile by someone else; merged. %s\n", file, report.text().c_str());
            break;
        case SharedSave::TheirsUnreadable:
            setFileError("it was changed meanwhile and is no data file now");
            view.reportError(file, "Failed to save the file");
            return 1;
        case SharedSave::Busy:
            setFileError("another program is saving it");
            view.reportError(file, "Failed to save the file");
            return 1;
        case SharedSave::Unreadable:
            setFileError(("it can't be read now (" + save.problem + ")").c_str());
            view.reportError(file, "Failed to save the file");
            return 1;
        case SharedSave::NoLock:
            setFileError(("its save lock can't be made (" + save.problem + ")").c_str());
            view.reportError(file, "Failed to save the file");
            return 1;
        case SharedSave::ReadOnlyFolder:
            setFileError("the folder is read-only");
            view.reportError(file, "Failed to save the file");
            return 1;
        case SharedSave::Failed:
            return 1;
        }
    }
    fprintf(out, "added=%d present=%d skipped=%d\n", int(added), int(names.presentCount()),
            int(names.skippedCount()));
    fflush(out);
    return 0;
}
