#include "storage/sharing/win32/RecoveryFolder.h"

#include <windows.h>

#include <algorithm>

#include "storage/win32/Folders.h"
#include "storage/sharing/win32/Processes.h"
#include "storage/format/RecoveryFile.h"

namespace {

uint64_t ticksOf(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

} // namespace

std::vector<std::string> orphanRecoveryFiles(const char* folder, const char* ownPath)
{
    struct Found {
        uint64_t written;
        std::string path;
    };
    std::vector<Found> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((std::string(folder) + "*.tvr").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string path = std::string(folder) + data.cFileName;
        if (lstrcmpiA(path.c_str(), ownPath) == 0)
            continue;
        RecoveryFile file;
        // One that can't be read is being replaced by its writer right now,
        // or is not one: left alone. Wine hands out the same small ids
        // after a restart.
        if (file.read(path.c_str()) && (file.pid == GetCurrentProcessId() || !isTallyvaneRunning(file.pid)))
            found.push_back({ticksOf(data.ftLastWriteTime), path});
    } while (FindNextFileA(search, &data));
    FindClose(search);
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.written < b.written; });
    std::vector<std::string> paths;
    for (const Found& f : found)
        paths.push_back(f.path);
    return paths;
}

void declineRecoveryFile(const char* path, const char* folder)
{
    std::string declined = std::string(folder) + "Declined\\";
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\')
            name = p + 1;
    std::string target = declined + name;
    if ((!folderExists(declined.c_str()) && !createFolderPath(declined.c_str())) ||
        !MoveFileExA(path, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        DeleteFileA(path);
        return;
    }
    // The seven days count from now, not from the last change it holds.
    HANDLE file = CreateFileA(target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        SetFileTime(file, nullptr, nullptr, &now);
        CloseHandle(file);
    }
}

void pruneDeclined(const char* folder, int days)
{
    std::string declined = std::string(folder) + "Declined\\";
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t limit = uint64_t(days) * 24 * 3600 * 10000000ull;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((declined + "*.tvr").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ticksOf(now) > ticksOf(data.ftLastWriteTime) + limit)
            DeleteFileA((declined + data.cFileName).c_str());
    } while (FindNextFileA(search, &data));
    FindClose(search);
}
