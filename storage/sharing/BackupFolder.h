// The backups folder: a copy of every version of a data file that a save
// replaces, named by BackupName, the newest BackupName::kKept per data
// file. The document session keeps them at every save (the program's, tvd
// add-names' and tvd merge's), in its local folder's "Backups".
#pragma once
#include <cstddef>
#include <string>

class BackupFolder {
public:
    // folder ends in a separator; "" when there is none (every keep then fails).
    explicit BackupFolder(std::string folder) : folder_(std::move(folder)) {}

    // Keeps data (size bytes), the version of the data file at dataPath that
    // a save replaces, as that file's next backup, then deletes its backups
    // beyond the newest kept ones (never the one just made). The bytes come
    // from memory, so a program that holds the file can't stop the copy.
    // 1 when kept; 0 with problem() telling why.
    int keep(const char* dataPath, const char* data, size_t size);
    // keep with the file's bytes as they are on disk; 1 when there is no file yet.
    int keepFile(const char* dataPath);
    // Moves the file at path (a sync client's copy, merged and saved) into
    // the folder under its own name, or with " 2", " 3"... before its
    // extension when that is taken. 1 when moved.
    int moveIn(const char* path);
    // The backup keep wrote last.
    const std::string& lastMade() const { return made_; }
    const std::string& problem() const { return problem_; }

private:
    std::string folder_;
    std::string made_;
    std::string problem_;
};
