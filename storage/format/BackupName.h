// Names of the backups a save keeps of the file it replaces:
// "club (1A2B3C4D) 2026-12-09 10.02.05.123Z 000017.tvd", the data file's
// name, a key made of its folder (so that two club.tvd in different folders
// never share a slot), the UTC time of the save and a sequence number one
// above the highest of that data file's backups. The sequence orders them:
// a clock set back, or a time zone changed, never makes the backup just
// taken look older than the rest. Names of the earlier shape, without "Z"
// and a number, count as older than every numbered one, ordered by time.
#pragma once
#include <cstdint>
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
    // prefixFor + the time (UTC) + "Z " + the sequence number + the data
    // file's extension (".tvd" when it has none).
    static std::string compose(const char* dataPath, const Time& utc, uint32_t sequence);
    // The sequence number of the next backup of the data file of prefix.
    static uint32_t nextSequence(const std::vector<std::string>& names, const std::string& prefix);
    // The names among names that belong to the data file of prefix and are
    // not among its keep newest ones: the ones to delete, oldest first.
    // justMade, the backup this save took, is never among them.
    static std::vector<std::string> surplus(const std::vector<std::string>& names, const std::string& prefix,
                                            int keep = kKept, const std::string& justMade = std::string());
};
