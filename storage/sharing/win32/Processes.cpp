#include "storage/sharing/win32/Processes.h"

#include <cstring>

#include "storage/file/FileName.h"

namespace {

// QueryFullProcessImageNameA is Vista's: looked up at run time.
using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

} // namespace

void thisComputerName(char* name, int size)
{
    DWORD length = DWORD(size);
    if (!GetComputerNameA(name, &length))
        name[0] = '\0';
}

void thisUserName(char* name, int size)
{
    // GetUserNameA is advapi32's; the environment holds the same name and
    // keeps the file layer's imports to kernel32.
    DWORD length = GetEnvironmentVariableA("USERNAME", name, DWORD(size));
    if (!length || length >= DWORD(size))
        name[0] = '\0';
}

void thisHostName(char* name, int size)
{
    DWORD length = DWORD(size);
    if (!GetComputerNameExA(ComputerNameDnsFullyQualified, name, &length) || !name[0])
        thisComputerName(name, size);
}

namespace {

int64_t ticksOf(const FILETIME& time)
{
    return int64_t((uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

int64_t startOf(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? ticksOf(created) : 0;
}

} // namespace

int64_t tallyvaneStartTime(uint32_t pid)
{
    const DWORD queryLimited = 0x1000;   // PROCESS_QUERY_LIMITED_INFORMATION
    HANDLE process = OpenProcess(queryLimited | SYNCHRONIZE, FALSE, pid);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED ? 0 : -1;
    int running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (running) {
        static const auto query = reinterpret_cast<QueryImageName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
        char theirs[MAX_PATH];
        char ours[MAX_PATH];
        DWORD length = sizeof theirs;
        if (query && query(process, 0, theirs, &length) && GetModuleFileNameA(nullptr, ours, sizeof ours))
            running = lstrcmpiA(fileNamePart(theirs), fileNamePart(ours)) == 0;
    }
    int64_t started = running ? startOf(process) : -1;
    CloseHandle(process);
    return started;
}

int64_t thisProcessStartTime()
{
    return startOf(GetCurrentProcess());
}
