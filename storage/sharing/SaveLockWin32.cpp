#include "storage/sharing/SaveLock.h"

#include <windows.h>

#include <cstring>

#include "storage/file/FileHandle.h"
#include "storage/file/LongPath.h"

SaveLock::Result SaveLock::acquire(const char* path, int waitMs, const std::function<void()>& waiting)
{
    release();
    problem_.clear();
    path_ = lockPathFor(path);
    if (path_.empty()) {
        problem_ = "the name is too long";
        return Unavailable;
    }
    // No sharing: a second CreateFile of the same file fails with a sharing
    // violation until the holder closes it, across processes and across an
    // SMB share. DELETE_ON_CLOSE removes it then, also when the holder dies.
    for (int waited = 0;; waited += 50) {
        // A data path a few characters short of MAX_PATH gives a lock name
        // past it: taken in its long form, never skipped.
        HANDLE file = createFileAnyLength(path_.c_str(), GENERIC_WRITE | DELETE, 0, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE);
        if (file != INVALID_HANDLE_VALUE) {
            handle_.reset(file);
            return Held;
        }
        DWORD error = GetLastError();
        // Access denied also comes for a lock file whose holder is closing
        // it (delete pending); when no lock file is there at all, it is the
        // folder that refuses, and waiting would not change that.
        if (error == ERROR_ACCESS_DENIED && fileAttributesAnyLength(path_.c_str()) == INVALID_FILE_ATTRIBUTES
            && GetLastError() == ERROR_FILE_NOT_FOUND)
            return ReadOnly;
        if (error == ERROR_WRITE_PROTECT)
            return ReadOnly;
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH || error == ERROR_INVALID_DRIVE) {
            setFileErrorFrom(long(error));
            problem_ = lastFileError();
            return NoFolder;
        }
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) {
            setFileErrorFrom(long(error));
            problem_ = lastFileError();
            return Unavailable;
        }
        if (waited >= waitMs)
            return Busy;
        if (waiting)
            waiting();
        Sleep(50);
    }
}

// Closing the handle lets go of the lock; DELETE_ON_CLOSE removes the file.
void SaveLock::release()
{
    handle_.close();
}
