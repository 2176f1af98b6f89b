// The local Recovery folder: the recovery files of Tallyvane processes, and
// in its Declined subfolder the ones the user chose not to restore, kept
// for seven days.
#pragma once
#include <string>
#include <vector>

// The recovery files (*.tvr) in folder (ending in a backslash) whose
// process no longer runs, oldest first. For start-up, before this process
// has written its own: a file naming this process's id counts as orphaned.
std::vector<std::string> orphanRecoveryFiles(const char* folder);
// Moves the recovery file at path into folder's "Declined\" subfolder,
// dated now; deletes it when it can't be moved.
void declineRecoveryFile(const char* path, const char* folder);
// Deletes the files of folder's "Declined\" subfolder declined more than
// days days ago.
void pruneDeclined(const char* folder, int days = 7);
