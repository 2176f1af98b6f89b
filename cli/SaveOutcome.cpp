#include "cli/SaveOutcome.h"

#include <cstdio>
#include <string>

#include "cli/ConsoleView.h"
#include "storage/file/FileHandle.h"

int reportSaveOutcome(DocumentSession::Save outcome, const DocumentSession& session, ConsoleView& view,
                      const char* file)
{
    if (!session.backupProblem().empty())
        fprintf(stderr, "%s: no backup kept - %s\n", file, session.backupProblem().c_str());
    std::string why;
    switch (outcome) {
    case DocumentSession::Save::Saved:
    case DocumentSession::Save::Merged:
        return 1;
    case DocumentSession::Save::TheirsUnreadable:
        why = "it was changed meanwhile and is no data file now";
        break;
    case DocumentSession::Save::Busy:
        why = "another program is saving it";
        break;
    case DocumentSession::Save::Unreadable:
        why = "it can't be read now (" + session.problem() + ")";
        break;
    case DocumentSession::Save::NoLock:
        why = "its save lock can't be made (" + session.problem() + ")";
        break;
    case DocumentSession::Save::ReadOnlyFolder:
        why = "the folder is read-only";
        break;
    case DocumentSession::Save::ReadOnly:
        why = "the file is open read-only";
        break;
    case DocumentSession::Save::Failed:
        // The view has been told already.
        return 0;
    }
    setFileError(why.c_str());
    view.reportError(file, "Failed to save the file");
    return 0;
}
