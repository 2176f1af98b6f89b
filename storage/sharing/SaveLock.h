// Keeps two programs from saving the same data file at the same moment: a
// hidden "~$NAME.tvd.lock" file beside the data file, held open without
// sharing (Windows) or with an exclusive lock (native) while one save reads,
// merges and writes. The system lets go of it when its holder ends, however
// it ends, so a crash never leaves a lock behind.
//
// No lock, no write: a save that can't make the lock file (a name too long
// for the system, a network error) writes nothing, since another saver of
// the same file could go ahead at the same moment.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#ifdef _WIN32
#include "storage/file/KernelHandle.h"
#endif

class SaveLock {
public:
    enum Result {
        Held,         // this save holds the lock
        Busy,         // another program held it for all of the wait
        Unavailable,  // no lock file can be made (name too long, network error): problem() says why
        ReadOnly,     // the folder refuses new files: nothing can be saved there
        NoFolder,     // the folder does not exist: nothing can be saved there (problem() says so)
    };

    SaveLock() = default;
    ~SaveLock() { release(); }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // Takes the lock of the data file at path, waiting up to waitMs for
    // another holder to finish; waiting, when set, runs at every pause of
    // that wait (the window keeps painting).
    Result acquire(const char* path, int waitMs, const std::function<void()>& waiting = nullptr);
    void release();
    // Why acquire ended Unavailable, as the user is told it.
    const std::string& problem() const { return problem_; }

    // The lock file's path for path; "" when path has no file name.
    static std::string lockPathFor(const char* path);

private:
#ifdef _WIN32
    KernelHandle handle_;    // the lock file, open without sharing while held
#else
    intptr_t handle_ = -1;   // descriptor of the lock file; -1 when not held
#endif
    std::string path_;       // the lock file (native: removed on release)
    std::string problem_;
};
