#include "storage/sharing/win32/Processes.h"

#include <cstring>

namespace {

// QueryFullProcessImageNameA is Vista's: looked up at run time.
using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

const char* namePart(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return name;
}

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

int isTallyvaneRunning(uint32_t pid)
{
    const DWORD queryLimited = 0x1000;   // PROCESS_QUERY_LIMITED_INFORMATION
    HANDLE process = OpenProcess(queryLimited | SYNCHRONIZE, FALSE, pid);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED ? 1 : 0;
    int running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (running) {
        static const auto query = reinterpret_cast<QueryImageName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
        char theirs[MAX_PATH];
        char ours[MAX_PATH];
        DWORD length = sizeof theirs;
        if (query && query(process, 0, theirs, &length) && GetModuleFileNameA(nullptr, ours, sizeof ours))
            running = lstrcmpiA(namePart(theirs), namePart(ours)) == 0;
    }
    CloseHandle(process);
    return running;
}
