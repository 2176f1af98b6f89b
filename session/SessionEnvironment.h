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
    // Whether process pid of this computer runs Tallyvane; one that can't be
    // asked counts as running, so that nobody's open file is taken over.
    virtual bool isTallyvaneRunning(uint32_t pid) = 0;

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
    // Copies the file at from to a new file to (a backup), as plain as a
    // new file; false when it could not be made.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // Hides a file the user need not see (a presence file); may do nothing.
    virtual void hideFile(const std::string& path) = 0;
    // Puts a recovery file the user declined into folder's "Declined"
    // subfolder, kept for some days; deletes it when it can't be moved.
    virtual void declineRecovery(const std::string& path, const std::string& folder) = 0;
    // Deletes what folder's "Declined" subfolder has kept long enough.
    virtual void pruneDeclined(const std::string& folder) = 0;
};

// The environment of the system this build runs on (HostEnvironment or
// WindowsEnvironment with the user's local folder), made at the first call.
SessionEnvironment& systemEnvironment();
