// This process's presence file beside the data file it has open for
// editing (see PresenceFile for the format). The file is created hidden and
// only if no other is there, and deleted only while it still is this
// process's own: another Tallyvane may have taken it over meanwhile.
#pragma once
#include <windows.h>

#include "storage/format/PresenceFile.h"

class PresenceLock {
public:
    PresenceLock() = default;
    ~PresenceLock() { release(); }
    PresenceLock(const PresenceLock&) = delete;
    PresenceLock& operator=(const PresenceLock&) = delete;

    // Reads the presence file beside dataPath into found; 1 when there is one.
    static int peek(const char* dataPath, PresenceFile& found);
    // Whose found is, seen from this process.
    static PresenceFile::Owner ownerOf(const PresenceFile& found);
    // Writes this process's presence file beside dataPath (since: the time of
    // opening, as shown), taking over a stale one. 1 when this process holds
    // one afterwards; 0 when another has it or the folder refuses.
    int claim(const char* dataPath, const char* since);
    // Deletes the file held, if it still is this process's own.
    void release();
    bool held() const { return path_[0] != '\0'; }

private:
    char path_[1024] = {};   // the presence file held (any length); "" when none
};
