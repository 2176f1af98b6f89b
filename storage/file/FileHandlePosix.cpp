// File layer of the native build: POSIX calls.
#include "storage/file/FileHandle.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/file/FileFaults.h"

namespace {

thread_local std::string failure;

// Words errno as the Windows build words the matching error codes, so that
// both builds tell the user the same; creating tells a missing folder from
// a missing file.
void noteFailure(int error, bool creating = false)
{
    switch (error) {
    case ENOENT: failure = creating ? "the folder does not exist" : "the file does not exist"; break;
    case ENOTDIR: failure = "the folder does not exist"; break;
    case EISDIR: failure = "it is a folder"; break;
    case EACCES:
    case EPERM: failure = "access is denied"; break;
    case EROFS: failure = "the disk is write-protected"; break;
    case ENOSPC:
    case EDQUOT: failure = "the disk is full"; break;
    case EBUSY:
    case ETXTBSY: failure = "another program has the file open"; break;
    case EEXIST: failure = "the file already exists"; break;
    case ENAMETOOLONG: failure = "the name is too long"; break;
    case EXDEV: failure = "the file is on another drive"; break;
    default: failure = strerror(error); break;
    }
}

} // namespace

const char* lastFileError()
{
    return failure.c_str();
}

void setFileError(const char* reason)
{
    failure = reason;
}

void setFileErrorFrom(long code)
{
    noteFailure(int(code));
}

// Opened without blocking, so that a pipe without a writer is refused, not
// waited for; the descriptor is switched back to blocking reads.
int FileHandle::openRead(const char* path, Sharing)
{
    close();
    if (fileFaults.hitOpenRead()) {
        noteFailure(EBUSY);
        return 0;
    }
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        noteFailure(errno);
        return 0;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            noteFailure(EISDIR);
        else
            failure = "it is not a file (a device or a pipe)";
        ::close(fd);
        return 0;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle_ = fd;
    writing_ = 0;
    return 1;
}

namespace {

int openWrite(const char* path, int flags)
{
    if (fileFaults.hitCreate()) {
        noteFailure(EACCES);
        return -1;
    }
    int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
    if (fd < 0)
        noteFailure(errno, true);
    return fd;
}

} // namespace

int FileHandle::create(const char* path)
{
    close();
    int fd = openWrite(path, O_TRUNC);
    if (fd < 0)
        return 0;
    handle_ = fd;
    writing_ = 1;
    return 1;
}

int FileHandle::createNew(const char* path)
{
    close();
    int fd = openWrite(path, O_EXCL);
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
        if (got < 0) {
            noteFailure(errno);
            return -1;
        }
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
    if (!isOpen())
        return 0;
    if (fileFaults.hitWrite()) {
        noteFailure(ENOSPC);
        return 0;
    }
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t done = ::write(int(handle_), p, size_t(count));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            noteFailure(done < 0 ? errno : ENOSPC);
            return 0;
        }
        p += done;
        count -= int32_t(done);
    }
    return 1;
}

int FileHandle::flush()
{
    if (!isOpen())
        return 0;
    if (fileFaults.hitFlush()) {
        noteFailure(ENOSPC);
        return 0;
    }
    if (fsync(int(handle_)) != 0) {
        noteFailure(errno);
        return 0;
    }
    return 1;
}

int FileHandle::close()
{
    if (!isOpen())
        return 1;
    int ok = ::close(int(handle_)) == 0;
    if (!ok)
        noteFailure(errno);
    handle_ = -1;
    if (writing_ && fileFaults.hitClose()) {
        noteFailure(ENOSPC);
        ok = 0;
    }
    writing_ = 0;
    return ok;
}

int deleteFile(const char* path)
{
    return unlink(path) == 0;
}

int createFolders(const char* path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return 1;
        noteFailure(EEXIST);   // a file in the way
        return 0;
    }
    size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !createFolders(folder.substr(0, slash).c_str()))
        return 0;
    if (mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST)
        return 1;
    noteFailure(errno, true);
    return 0;
}

std::vector<std::string> filesIn(const char* folder, const std::string& prefix)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder);
    if (!dir)
        return names;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() < prefix.size() || strncasecmp(name.c_str(), prefix.c_str(), prefix.size()) != 0)
            continue;
        struct stat st;
        if (stat((std::string(folder) + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

int writeNewFile(const char* path, const char* data, size_t size)
{
    int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        noteFailure(errno, true);
        return 0;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        ssize_t wrote = ::write(fd, data + done, size - done);
        if (wrote <= 0) {
            noteFailure(wrote < 0 ? errno : ENOSPC);
            ok = false;
        } else {
            done += size_t(wrote);
        }
    }
    if (ok && fsync(fd) != 0) {
        noteFailure(errno);
        ok = false;
    }
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        unlink(path);
    return ok ? 1 : 0;
}

int moveFile(const char* from, const char* to)
{
    // link refuses an existing name, where rename would replace it.
    if (link(from, to) == 0) {
        unlink(from);
        return 1;
    }
    noteFailure(errno);
    return 0;
}

std::string computerName()
{
    char name[256] = "";
    if (gethostname(name, sizeof name - 1) != 0)
        return std::string();
    std::string host = name;
    return host.substr(0, host.find('.'));
}

int fileExists(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

int isReadOnlyFile(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
}

int isSameFile(const char* a, const char* b)
{
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

std::string saveTarget(const char* path)
{
    struct stat st;
    if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    // A link that leads nowhere yet is replaced by the file itself.
    char* resolved = realpath(path, nullptr);
    if (!resolved)
        return path;
    std::string target = resolved;
    free(resolved);
    return target;
}

int replaceFile(const char* tempPath, const char* targetPath)
{
    if (fileFaults.hitReplace()) {
        noteFailure(EBUSY);
        return 0;
    }
    std::string target = saveTarget(targetPath);
    // The new file takes the old one's permissions (a 0600 file stays
    // private) and, where allowed, its owner.
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (chmod(tempPath, old.st_mode & 07777) != 0) {
            noteFailure(errno);
            return 0;
        }
        if (chown(tempPath, old.st_uid, old.st_gid) != 0) {
            // Only the owner's own files and root may give a file away.
        }
    }
    if (rename(tempPath, target.c_str()) != 0) {
        noteFailure(errno);
        return 0;
    }
    // Make the new directory entry durable too.
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash ? slash : 1);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
    fileFaults.replaced(targetPath);
    return 1;
}
