#include "session/win32/WindowsEnvironment.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "storage/file/FindHandle.h"
#include "storage/file/LongPath.h"
#include "storage/format/PresenceFile.h"
#include "storage/win32/Folders.h"
#include "storage/sharing/win32/Processes.h"
#include "storage/sharing/win32/RecoveryFolder.h"

namespace {

uint64_t ticksOf(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

}  // namespace

std::string WindowsEnvironment::userLocalFolder()
{
    // From the environment, not the shell: tvd is a console program and
    // loads neither shell32 nor COM (under Wine the shell's lookup can wait
    // on other programs of the prefix).
    // Asked for its size first: in UTF-8 a folder can take three bytes a character.
    DWORD size = GetEnvironmentVariableA("LOCALAPPDATA", nullptr, 0);
    if (!size)
        return "";
    std::string folder(size, '\0');
    DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", &folder[0], size);
    if (!length || length >= size)
        return "";
    folder.resize(length);
    folder += "\\Vantorell\\Tallyvane\\";
    if (!folderExists(folder.c_str()) && !createFolderPath(folder.c_str()))
        return "";
    return folder;
}

std::string WindowsEnvironment::nowText()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    int hour = t.wHour % 12 ? t.wHour % 12 : 12;
    std::snprintf(text, sizeof text, "%02u/%02u/%02u %02d:%02u %s", t.wMonth, t.wDay, t.wYear % 100u, hour,
                  t.wMinute, t.wHour < 12 ? "AM" : "PM");
    return text;
}

BackupName::Time WindowsEnvironment::now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

uint32_t WindowsEnvironment::ticks() { return GetTickCount(); }

std::string WindowsEnvironment::userName()
{
    char name[PresenceFile::kFieldSize];
    thisUserName(name, sizeof name);
    return name;
}

// The full DNS name: NetBIOS names are cut to 15 characters, and two
// computers can share one.
std::string WindowsEnvironment::computerName()
{
    char name[PresenceFile::kFieldSize];
    thisHostName(name, sizeof name);
    return name;
}

uint32_t WindowsEnvironment::processId() { return GetCurrentProcessId(); }

int64_t WindowsEnvironment::tallyvaneStartTime(uint32_t pid) { return ::tallyvaneStartTime(pid); }

int64_t WindowsEnvironment::processStartTime() { return thisProcessStartTime(); }

int64_t WindowsEnvironment::fileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return int64_t(ticksOf(now));
}

int64_t WindowsEnvironment::writtenAt(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExW(longPathForm(path.c_str()).c_str(), GetFileExInfoStandard, &info))
        return 0;
    return int64_t(ticksOf(info.ftLastWriteTime));
}

bool WindowsEnvironment::makeFolder(const std::string& folder)
{
    return folderExists(folder.c_str()) || createFolderPath(folder.c_str());
}

std::vector<std::string> WindowsEnvironment::filesIn(const std::string& folder, const std::string& prefix,
                                                     const std::string& suffix)
{
    struct Found {
        uint64_t written;
        std::string name;
    };
    std::vector<Found> found;
    WIN32_FIND_DATAA data;
    FindHandle search(FindFirstFileA((folder + prefix + "*" + suffix).c_str(), &data));
    if (search) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                found.push_back({ticksOf(data.ftLastWriteTime), data.cFileName});
        } while (FindNextFileA(search, &data));
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.written < b.written; });
    std::vector<std::string> names;
    for (const Found& f : found)
        names.push_back(f.name);
    return names;
}

void WindowsEnvironment::hideFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

void WindowsEnvironment::declineRecovery(const std::string& path, const std::string& folder)
{
    declineRecoveryFile(path.c_str(), folder.c_str());
}

void WindowsEnvironment::pruneDeclined(const std::string& folder) { ::pruneDeclined(folder.c_str()); }

SessionEnvironment& systemEnvironment()
{
    static WindowsEnvironment environment;
    if (environment.localFolder().empty())
        environment.setLocalFolder(WindowsEnvironment::userLocalFolder());
    return environment;
}
