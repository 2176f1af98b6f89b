// The local Recovery folder's Declined subfolder: the recovery files the
// user chose not to restore, kept for seven days. (Which recovery files are
// orphans is the document session's to say.)
#pragma once
#include <string>

// Moves the recovery file at path into folder's "Declined\" subfolder,
// dated now; 0 when it can't be moved, and it stays where it is.
int declineRecoveryFile(const char* path, const char* folder);
// Deletes the files of folder's "Declined\" subfolder declined more than
// days days ago.
void pruneDeclined(const char* folder, int days = 7);
