#include "storage/sharing/SaveLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "storage/file/FileHandle.h"

namespace {

void pause50ms()
{
    struct timespec wait = {0, 50 * 1000 * 1000};
    nanosleep(&wait, nullptr);
}

}  // namespace

SaveLock::Result SaveLock::acquire(const char* path, int waitMs, const std::function<void()>& waiting)
{
    release();
    problem_.clear();
    path_ = lockPathFor(path);
    if (path_.empty()) {
        problem_ = "the name is too long";
        return Unavailable;
    }
    for (int waited = 0;; waited += 50) {
        int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            int error = errno;
            // A lock file of another user can refuse us too: only a folder
            // without one is read-only.
            if ((error == EACCES || error == EPERM || error == EROFS) && access(path_.c_str(), F_OK) != 0)
                return ReadOnly;
            if (error == ENOENT || error == ENOTDIR) {
                setFileError("the folder does not exist");
                problem_ = lastFileError();
                return NoFolder;
            }
            setFileErrorFrom(error);
            problem_ = lastFileError();
            return Unavailable;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us removes the file as it lets go: a lock on
            // a file no longer under that name locks nothing.
            struct stat held, named;
            if (fstat(fd, &held) == 0 && stat(path_.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
                held.st_dev == named.st_dev) {
                handle_ = fd;
                return Held;
            }
            ::close(fd);
            continue;
        }
        ::close(fd);
        if (waited >= waitMs)
            return Busy;
        if (waiting)
            waiting();
        pause50ms();
    }
}

void SaveLock::release()
{
    if (handle_ == -1)
        return;
    unlink(path_.c_str());
    ::close(int(handle_));
    handle_ = -1;
}
