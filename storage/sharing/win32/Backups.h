// The copies a save keeps of the data file it replaces, in the local
// Backups folder: the last BackupName::kKept per data file.
#pragma once

// Copies the data file at dataPath, as it is on disk before a save replaces
// it, into backupsFolder (ending in a backslash; created when missing) under
// its BackupName, then deletes that file's backups beyond the newest ten.
// 1 when the copy was made or there is no file yet to keep; 0 when it
// could not be made (the save goes on all the same).
int keepBackup(const char* dataPath, const char* backupsFolder);
