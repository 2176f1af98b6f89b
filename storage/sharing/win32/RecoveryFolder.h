// The local Recovery folder: the recovery files of Tallyvane processes, and
// in its Declined subfolder the ones the user chose not to restore, kept
// for seven days.
#pragma once
#include <string>
#include <vector>

// The recovery files (*.tvr) in folder (ending in a backslash) whose
// process no longer runs, oldest first. Process ids are used again, so a
// file naming this process's id is an earlier process's too, unless it is
// ownPath, this process's own.
std::vector<std::string> orphanRecoveryFiles(const char* folder, const char* ownPath = "");
// Moves the recovery file at path into folder's "Declined\" subfolder,
// dated now; deletes it when it can't be moved.
void declineRecoveryFile(const char* path, const char* folder);
// Deletes the files of folder's "Declined\" subfolder declined more than
// days days ago.
void pruneDeclined(const char* folder, int days = 7);
