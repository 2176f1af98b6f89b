#include "storage/sharing/SaveLock.h"

#include <windows.h>

SaveLock::Result SaveLock::acquire(const char* path, int waitMs)
{
    release();
    if (!lockPathFor(path, path_, sizeof path_))
        return Unavailable;
    // No sharing: a second CreateFile of the same file fails with a sharing
    // violation until the holder closes it, across processes and across an
    // SMB share. DELETE_ON_CLOSE removes it then, also when the holder dies.
    for (int waited = 0;; waited += 50) {
        HANDLE file = CreateFileA(path_, GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<intptr_t>(file);
            return Held;
        }
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            return Unavailable;
        if (waited >= waitMs)
            return Busy;
        Sleep(50);
    }
}

void SaveLock::release()
{
    if (handle_ == -1)
        return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
}
