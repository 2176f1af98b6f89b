#include "storage/sharing/win32/PresenceLock.h"

#include "storage/sharing/win32/Processes.h"

namespace {

const int kMostBytes = 1024;   // a presence file is a few short lines

int readPresence(const char* path, PresenceFile& found)
{
    // Shared every way: the owner may be writing or deleting it right now.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char text[kMostBytes];
    DWORD read = 0;
    BOOL ok = ReadFile(file, text, sizeof text, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return 0;
    found.parse(text, read);
    return 1;
}

// 1 when written; ERROR_FILE_EXISTS is left in GetLastError when one is there.
int createPresence(const char* path, const PresenceFile& mine)
{
    char text[kMostBytes];
    int length = mine.compose(text, sizeof text);
    if (!length)
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text, DWORD(length), &written, nullptr) && written == DWORD(length);
    CloseHandle(file);
    if (!ok)
        DeleteFileA(path);
    return ok ? 1 : 0;
}

} // namespace

int PresenceLock::peek(const char* dataPath, PresenceFile& found)
{
    char path[MAX_PATH + 8];
    found = PresenceFile();
    return PresenceFile::pathFor(dataPath, path, sizeof path) && readPresence(path, found);
}

PresenceFile::Owner PresenceLock::ownerOf(const PresenceFile& found)
{
    char computer[PresenceFile::kFieldSize];
    thisComputerName(computer, sizeof computer);
    return found.ownerFor(computer, GetCurrentProcessId(), isTallyvaneRunning);
}

int PresenceLock::claim(const char* dataPath, const char* since)
{
    release();
    char path[MAX_PATH + 8];
    if (!PresenceFile::pathFor(dataPath, path, sizeof path))
        return 0;
    PresenceFile mine;
    thisUserName(mine.user, sizeof mine.user);
    thisComputerName(mine.computer, sizeof mine.computer);
    mine.pid = GetCurrentProcessId();
    lstrcpynA(mine.since, since, sizeof mine.since);

    int created = createPresence(path, mine);
    if (!created && GetLastError() == ERROR_FILE_EXISTS) {
        PresenceFile found;
        if (readPresence(path, found) && ownerOf(found) == PresenceFile::Other)
            return 0;
        // Ours from before, or stale: replace it. Another process may win the
        // race for the new one; then it is theirs.
        DeleteFileA(path);
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
        DeleteFileA(path_);
    path_[0] = '\0';
}
