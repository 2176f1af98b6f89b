#include "storage/sharing/win32/Backups.h"

#include "storage/sharing/BackupFolder.h"

int keepBackup(const char* dataPath, const char* backupsFolder, const char* data, size_t size, std::string* problem)
{
    BackupFolder folder(backupsFolder);
    int kept = data ? folder.keep(dataPath, data, size) : folder.keepFile(dataPath);
    if (!kept && problem)
        *problem = folder.problem();
    return kept;
}
