// Names of the backups a save keeps of the file it replaces:
// "club (1A2B3C4D) 2026-12-09 10.02.05.123.tvd", the data file's name, a key
// made of its folder (so that two club.tvd in different folders never share
// a slot) and the local time of the save. Names of one data file sort by
// time.
#pragma once
#include <string>
#include <vector>

class BackupName {
public:
    static const int kKept = 10;   // backups kept per data file

    struct Time {
        int year, month, day, hour, minute, second, millisecond;
    };

    // "club (1A2B3C4D) " for dataPath: the name without its extension, and
    // the folder's key (FNV-1a of the folder path, a-z taken as A-Z, "/" as "\").
    static std::string prefixFor(const char* dataPath);
    // prefixFor + the time + the data file's extension (".tvd" when it has none).
    static std::string compose(const char* dataPath, const Time& time);
    // The names among names that belong to the data file of prefix and are
    // not among its keep newest ones: the ones to delete, oldest first.
    static std::vector<std::string> surplus(const std::vector<std::string>& names, const std::string& prefix,
                                            int keep = kKept);
};
