#include "storage/sharing/win32/RecoveryFolder.h"

#include <windows.h>


#include "storage/win32/Folders.h"
#include "storage/file/FileName.h"
#include "storage/file/FindHandle.h"
#include "storage/file/KernelHandle.h"

namespace {

uint64_t ticksOf(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

} // namespace

int declineRecoveryFile(const char* path, const char* folder)
{
    std::string declined = std::string(folder) + "Declined\\";
    std::string target = declined + fileNamePart(path);
    // A move that fails keeps the file where it is, offered again at the
    // next start: it may be the only copy of the changes.
    if ((!folderExists(declined.c_str()) && !createFolderPath(declined.c_str())) ||
        !MoveFileExA(path, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return 0;
    // The seven days count from now, not from the last change it holds.
    KernelHandle file(CreateFileA(target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        SetFileTime(file, nullptr, nullptr, &now);
    }
    return 1;
}

void pruneDeclined(const char* folder, int days)
{
    std::string declined = std::string(folder) + "Declined\\";
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t limit = uint64_t(days) * 24 * 3600 * 10000000ull;
    WIN32_FIND_DATAA data;
    FindHandle search(FindFirstFileA((declined + "*.tvr").c_str(), &data));
    if (!search)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ticksOf(now) > ticksOf(data.ftLastWriteTime) + limit)
            DeleteFileA((declined + data.cFileName).c_str());
    } while (FindNextFileA(search, &data));
}
