// What a document session needs from the system it runs on: the clock, who
// and where this is, the local folders, and whether a process runs. The
// program's is the Windows one (session/win32/WindowsEnvironment); the
// native tvd has HostEnvironment; tests make one of their own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "storage/format/BackupName.h"

class SessionEnvironment {
public:
    virtual ~SessionEnvironment() = default;

    // --- the clock
    // The local date and time as the program writes it ("12/09/26 10:02 AM").
    virtual std::string nowText() = 0;
    // The local date and time, for the names of backups.
    virtual BackupName::Time now() = 0;
    // Milliseconds from a fixed moment, wrapping as GetTickCount does.
    virtual uint32_t ticks() = 0;

    // --- who and where
    virtual std::string userName() = 0;
    virtual std::string computerName() = 0;
    virtual uint32_t processId() = 0;
    // When process pid of this computer started, if it runs Tallyvane
    // (FILETIME ticks); 0 when it runs but can't be asked, so that nobody's
    // open file is taken over; -1 when no Tallyvane runs with that id.
    virtual int64_t tallyvaneStartTime(uint32_t pid) = 0;
    // This process's start, as tallyvaneStartTime gives it.
    virtual int64_t processStartTime() = 0;
    // The time now, and the last write of the file at path (0 when unknown),
    // in FILETIME ticks: process ids are used again, and these tell a
    // process that wrote a file from a later one with the same id.
    virtual int64_t fileTimeNow() = 0;
    virtual int64_t writtenAt(const std::string& path) = 0;

    // --- folders
    // The folder for what stays on this computer (recovery files, backups),
    // ending in its separator; "" when there is none.
    virtual std::string localFolder() = 0;
    // Creates every missing level of folder; true when it exists afterwards.
    virtual bool makeFolder(const std::string& folder) = 0;
    // The names of the files in folder whose names start with prefix and
    // end with suffix, the least recently written first.
    virtual std::vector<std::string> filesIn(const std::string& folder, const std::string& prefix,
                                             const std::string& suffix) = 0;
    // Hides a file the user need not see (a presence file); may do nothing.
    virtual void hideFile(const std::string& path) = 0;
    // Puts a recovery file the user declined into folder's "Declined"
    // subfolder, kept for some days; one that can't be moved stays where it
    // is (it may be the only copy of the changes) and is offered again.
    virtual void declineRecovery(const std::string& path, const std::string& folder) = 0;
    // Deletes what folder's "Declined" subfolder has kept long enough.
    virtual void pruneDeclined(const std::string& folder) = 0;
};

// The environment of the system this build runs on (HostEnvironment or
// WindowsEnvironment with the user's local folder), made at the first call.
SessionEnvironment& systemEnvironment();
