#include "storage/sharing/SaveLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace {

void pause50ms()
{
    struct timespec wait = {0, 50 * 1000 * 1000};
    nanosleep(&wait, nullptr);
}

}  // namespace

SaveLock::Result SaveLock::acquire(const char* path, int waitMs)
{
    release();
    if (!lockPathFor(path, path_, sizeof path_))
        return Unavailable;
    for (int waited = 0;; waited += 50) {
        int fd = ::open(path_, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return Unavailable;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us removes the file as it lets go: a lock on
            // a file no longer under that name locks nothing.
            struct stat held, named;
            if (fstat(fd, &held) == 0 && stat(path_, &named) == 0 && held.st_ino == named.st_ino &&
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
        pause50ms();
    }
}

void SaveLock::release()
{
    if (handle_ == -1)
        return;
    unlink(path_);
    ::close(int(handle_));
    handle_ = -1;
}
