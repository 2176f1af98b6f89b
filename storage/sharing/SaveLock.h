// Keeps two programs from saving the same data file at the same moment: a
// hidden "~$NAME.tvd.lock" file beside the data file, held open without
// sharing (Windows) or with an exclusive lock (native) while one save reads,
// merges and writes. The system lets go of it when its holder ends, however
// it ends, so a crash never leaves a lock behind.
#pragma once
#include <cstdint>

class SaveLock {
public:
    enum Result {
        Held,         // this save holds the lock
        Busy,         // another program held it for all of the wait
        Unavailable,  // no lock file can be made here (read-only folder...): the save goes on without
    };

    SaveLock() = default;
    ~SaveLock() { release(); }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // Takes the lock of the data file at path, waiting up to waitMs for
    // another holder to finish.
    Result acquire(const char* path, int waitMs);
    void release();

    // The lock file's path for path in a buffer of size bytes; 0 when it does not fit.
    static int lockPathFor(const char* path, char* lockPath, int size);

private:
    intptr_t handle_ = -1;   // HANDLE or descriptor of the lock file; -1 when not held
    char path_[320] = {};    // the lock file (native: removed on release)
};
