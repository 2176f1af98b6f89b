// File layer of the native build: POSIX calls.
#include "FileHandle.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileFaults.h"

int FileHandle::openRead(const char* path)
{
    close();
    if (fileFaults.hitOpenRead())
        return 0;
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    handle_ = fd;
    writing_ = 0;
    return 1;
}

int FileHandle::create(const char* path)
{
    close();
    if (fileFaults.hitCreate())
        return 0;
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return 0;
    handle_ = fd;
    writing_ = 1;
    return 1;
}

int32_t FileHandle::size()
{
    struct stat st;
    if (!isOpen() || fstat(int(handle_), &st) != 0 || st.st_size >= INT32_MAX)
        return -1;
    return int32_t(st.st_size);
}

int32_t FileHandle::read(void* buffer, int32_t count)
{
    int32_t total = 0;
    while (total < count) {
        ssize_t got = ::read(int(handle_), static_cast<char*>(buffer) + total, size_t(count - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += int32_t(got);
    }
    return total;
}

// A program that truncates the file while it is mapped makes the next read
// of the lost pages fault (SIGBUS); the native build is the development
// build of the tools and tests.
const char* FileHandle::mapView(int32_t size)
{
    if (!isOpen() || writing_ || size <= 0)
        return nullptr;
    void* view = mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, int(handle_), 0);
    return view == MAP_FAILED ? nullptr : static_cast<const char*>(view);
}

void FileHandle::unmapView(const char* view, int32_t size)
{
    if (view)
        munmap(const_cast<char*>(view), size_t(size));
}

int FileHandle::write(const void* data, int32_t count)
{
    if (!isOpen() || fileFaults.hitWrite())
        return 0;
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t done = ::write(int(handle_), p, size_t(count));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return 0;
        p += done;
        count -= int32_t(done);
    }
    return 1;
}

int FileHandle::flush()
{
    if (!isOpen() || fileFaults.hitFlush())
        return 0;
    return fsync(int(handle_)) == 0;
}

int FileHandle::close()
{
    if (!isOpen())
        return 1;
    int ok = ::close(int(handle_)) == 0;
    handle_ = -1;
    if (writing_ && fileFaults.hitClose())
        ok = 0;
    writing_ = 0;
    return ok;
}

int deleteFile(const char* path)
{
    return unlink(path) == 0;
}

int fileExists(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

int replaceFile(const char* tempPath, const char* targetPath)
{
    if (fileFaults.hitReplace())
        return 0;
    if (rename(tempPath, targetPath) != 0)
        return 0;
    // Make the new directory entry durable too.
    char folder[4096];
    const char* slash = strrchr(targetPath, '/');
    if (!slash) {
        strcpy(folder, ".");
    } else {
        size_t length = size_t(slash - targetPath);
        if (length == 0)
            length = 1;
        if (length >= sizeof folder)
            return 1;
        memcpy(folder, targetPath, length);
        folder[length] = 0;
    }
    int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
    return 1;
}
