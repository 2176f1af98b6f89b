// The copies a save keeps of the data file it replaces, in the local
// Backups folder: the last BackupName::kKept per data file (see BackupFolder).
#pragma once
#include <cstddef>
#include <string>

// Copies the data file at dataPath, as it is on disk before a save replaces
// it (or data, size bytes, when not null: the same bytes the program holds),
// into backupsFolder (ending in a backslash; created when missing) under
// its BackupName, then deletes that file's backups beyond the newest ten.
// 1 when the copy was made or there is no file yet to keep; 0 when it
// could not be made (the save goes on all the same), with *problem telling
// why when problem is given.
int keepBackup(const char* dataPath, const char* backupsFolder, const char* data = nullptr, size_t size = 0,
               std::string* problem = nullptr);
