#include "storage/sharing/win32/Backups.h"

#include <windows.h>

#include <string>
#include <vector>

#include "storage/format/BackupName.h"
#include "storage/win32/Folders.h"

int keepBackup(const char* dataPath, const char* backupsFolder)
{
    DWORD attributes = GetFileAttributesA(dataPath);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 1;
    if (!backupsFolder[0] || (!folderExists(backupsFolder) && !createFolderPath(backupsFolder)))
        return 0;

    SYSTEMTIME now;
    GetLocalTime(&now);
    const BackupName::Time time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                   now.wMilliseconds};
    std::string folder = backupsFolder;
    std::string copy = folder + BackupName::compose(dataPath, time);
    if (copy.size() >= MAX_PATH || !CopyFileA(dataPath, copy.c_str(), FALSE))
        return 0;
    // A copy of a read-only or hidden file would keep those attributes.
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);

    std::string prefix = BackupName::prefixFor(dataPath);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + prefix + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    for (const std::string& old : BackupName::surplus(names, prefix))
        DeleteFileA((folder + old).c_str());
    return 1;
}
