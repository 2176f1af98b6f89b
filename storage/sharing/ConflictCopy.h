// Conflict copies: when two computers changed a synced data file while
// apart, the sync client keeps the second version beside the file under a
// name of its own, which nobody notices. These are the rules that find such
// copies of a data file and pick the version both copies grew from, for a
// merge that loses nothing of either. Portable: used by the program on open
// and activation, and by tvd conflicts.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "storage/file/FileStamp.h"

class Document;
class MergeReport;

class ConflictCopy {
public:
    // Whether name (a file name without folder) is a conflict copy of the
    // data file named dataName, as the common sync clients name them (letters
    // matched in any case), for "club.tvd":
    //   "club (Ann's conflicted copy 2026-12-09).tvd", "club (conflicted copy 2026-12-09 101500).tvd"
    //   "club-PC7.tvd", when PC7 is thisComputer (another suffix is an ordinary file)
    //   "club.sync-conflict-20261209-101500-ABCDEFG.tvd"
    static bool isCopyOf(const std::string& name, const std::string& dataName, const std::string& thisComputer);
    // The names among names that are conflict copies of dataName, sorted.
    static std::vector<std::string> copiesAmong(const std::vector<std::string>& names, const std::string& dataName,
                                                const std::string& thisComputer);

    // The conflict copies of the data file at dataPath in its folder that
    // are whole, undamaged data files: the ones worth offering. Full paths, sorted.
    static std::vector<std::string> findFor(const char* dataPath, const std::string& thisComputer);

    // Whether base can stand for the version both a and b grew from: neither
    // lost any of its names, action items, ticks, memos or checkboxes since.
    // Merged against such a base, nothing in either copy is deleted and a
    // tick in either stands; without one the merge takes an empty base.
    static bool isCommonBase(const Document& base, const Document& a, const Document& b);

    // Merges copy into doc three-way, against the newest of bases (whole
    // data files, newest first: the program's base, then its backups) that
    // both grew from, else an empty base; then each name of the newest base
    // that the copy lacks, which stays, is a choice of report ("Carla: not
    // in the other copy; kept"). 0 when memory is short.
    static int merge(const Document& doc, const Document& copy, const std::vector<std::string>& bases,
                     Document& merged, MergeReport& report);

    // The question offering the copy: "A copy of club.tvd made by a sync
    // client was found: ...", a sentence a line.
    static std::string question(const std::string& dataName, const std::string& copyName, const char* when);
};

// Which conflict copies the program still offers while a data file is open:
// not one merged and waiting for the next save to move it into Backups,
// nor one declined, unless it changed since.
class ConflictOffers {
public:
    bool due(const std::string& copyPath, const FileStamp& stamp) const;
    void declined(const std::string& copyPath, const FileStamp& stamp) { declined_[copyPath] = stamp; }
    void merged(const std::string& copyPath) { merged_.push_back(copyPath); }
    // The copies merged since the last save, which the save that just succeeded now holds.
    std::vector<std::string> takeMerged();
    // Another file was opened: what was said of the last one's copies is over.
    void clear();

private:
    std::map<std::string, FileStamp> declined_;
    std::vector<std::string> merged_;
};
