// How tvd tells what became of a save through the document session: the
// reason nothing was written, in the program's words ("Failed to save the
// file" with the file's name and why), and a backup that could not be kept.
#pragma once
#include "session/DocumentSession.h"

class ConsoleView;

// Says what needs saying of outcome for file; 1 when the file was written
// (Saved or Merged: the merge's report is the caller's to print), 0 when not.
int reportSaveOutcome(DocumentSession::Save outcome, const DocumentSession& session, ConsoleView& view,
                      const char* file);
