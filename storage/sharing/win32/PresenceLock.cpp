#include "storage/sharing/win32/PresenceLock.h"

#include "storage/sharing/win32/Processes.h"
#include "storage/file/LongPath.h"

#include <cstring>

namespace {

const int kMostBytes = 1200;   // a presence file is a few lines of at most 255 characters

int64_t ticksNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return int64_t((uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime);
}

// 1 when there is a presence file at path; found holds what could be read
// of it (nothing when it can't be opened) and its last write time.
int readPresence(const char* path, PresenceFile& found)
{
    found = PresenceFile();
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (strlen(path) < MAX_PATH ? !GetFileAttributesExA(path, GetFileExInfoStandard, &info)
                                : !GetFileAttributesExW(longPathForm(path).c_str(), GetFileExInfoStandard, &info))
        return 0;
    found.written = int64_t((uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime);
    // Shared every way: the owner may be writing or deleting it right now.
    HANDLE file = createFileAnyLength(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    char text[kMostBytes];
    DWORD read = 0;
    BOOL ok = ReadFile(file, text, sizeof text, &read, nullptr);
    CloseHandle(file);
    int64_t written = found.written;
    if (ok)
        found.parse(text, read);
    found.written = written;
    return 1;
}

// 1 when written; ERROR_FILE_EXISTS is left in GetLastError when one is there.
int createPresence(const char* path, const PresenceFile& mine)
{
    char text[kMostBytes];
    int length = mine.compose(text, sizeof text);
    if (!length)
        return 0;
    HANDLE file = createFileAnyLength(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, DWORD(length), &written, nullptr) && written == DWORD(length);
    CloseHandle(file);
    if (!ok)
        deleteFileAnyLength(path);
    return ok ? 1 : 0;
}

} // namespace

int PresenceLock::peek(const char* dataPath, PresenceFile& found)
{
    char path[1024];
    found = PresenceFile();
    return PresenceFile::pathFor(dataPath, path, sizeof path) && readPresence(path, found);
}

PresenceFile::Owner PresenceLock::ownerOf(const PresenceFile& found)
{
    char computer[PresenceFile::kFieldSize];
    thisHostName(computer, sizeof computer);
    return found.ownerFor(computer, GetCurrentProcessId(), ticksNow(), tallyvaneStartTime);
}

int PresenceLock::claim(const char* dataPath, const char* since)
{
    release();
    char path[1024];
    if (!PresenceFile::pathFor(dataPath, path, sizeof path))
        return 0;
    PresenceFile mine;
    thisUserName(mine.user, sizeof mine.user);
    thisHostName(mine.computer, sizeof mine.computer);
    mine.pid = GetCurrentProcessId();
    mine.started = thisProcessStartTime();
    lstrcpynA(mine.since, since, sizeof mine.since);

    int created = createPresence(path, mine);
    if (!created && GetLastError() == ERROR_FILE_EXISTS) {
        // Another's, or one being written this moment (two programs opening
        // the file together: the first one's is still empty) stays.
        PresenceFile found;
        PresenceFile::Owner owner = readPresence(path, found) ? ownerOf(found) : PresenceFile::Stale;
        if (owner == PresenceFile::Other || owner == PresenceFile::Starting)
            return 0;
        // Ours from before, or stale: replace it. Another process may win the
        // race for the new one; then it is theirs.
        deleteFileAnyLength(path);
        created = createPresence(path, mine);
    }
    if (created)
        lstrcpynA(path_, path, sizeof path_);
    return created;
}

void PresenceLock::release()
{
    if (!path_[0])
        return;
    PresenceFile found;
    if (readPresence(path_, found) && ownerOf(found) == PresenceFile::Mine)
        deleteFileAnyLength(path_);
    path_[0] = '\0';
}
