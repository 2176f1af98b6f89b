#include "storage/sharing/win32/Processes.h"

#include <cstring>
#include <string>

#include "storage/file/FileName.h"
#include "storage/file/KernelHandle.h"

namespace {

// QueryFullProcessImageNameA is Vista's: looked up at run time.
using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

const DWORD kLongestPathBytes = 3 * 32767 + 1;

// name (UTF-16, as Windows keeps it) in UTF-8 into out of size bytes, cut at
// a whole character when it is longer; "" when there is none. The A
// functions would give it in the ANSI code page, which is UTF-8 only where
// Windows honours the program's manifest (10 1903 and later): elsewhere a
// user "Łukasz" would be written as a 1250 byte that another computer shows
// as "£ukasz", and a name outside that code page as "?".
void toUtf8(const wchar_t* name, char* out, int size)
{
    if (size <= 0)
        return;
    out[0] = '\0';
    int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::string text(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, &text[0], bytes, nullptr, nullptr);
    size_t length = strlen(text.c_str());
    if (length >= size_t(size)) {
        length = size_t(size) - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    memcpy(out, text.data(), length);
    out[length] = '\0';
}

} // namespace

void thisComputerName(char* name, int size)
{
    wchar_t wide[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(wide, &length))
        toUtf8(wide, name, size);
    else
        name[0] = '\0';
}

void thisUserName(char* name, int size)
{
    // GetUserNameW is advapi32's; the environment holds the same name and
    // keeps the file layer's imports to kernel32.
    wchar_t wide[257];
    DWORD length = GetEnvironmentVariableW(L"USERNAME", wide, 257);
    if (length && length < 257)
        toUtf8(wide, name, size);
    else
        name[0] = '\0';
}

void thisHostName(char* name, int size)
{
    wchar_t wide[256];
    DWORD length = 256;
    if (GetComputerNameExW(ComputerNameDnsFullyQualified, wide, &length) && wide[0])
        toUtf8(wide, name, size);
    else
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
    KernelHandle process(OpenProcess(queryLimited | SYNCHRONIZE, FALSE, pid));
    if (!process)
        process.reset(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED ? 0 : -1;
    int running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (running) {
        static const auto query = reinterpret_cast<QueryImageName>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
        // Room for a path of the most characters Windows takes, in UTF-8:
        // a name cut short would be taken for another program's.
        std::string theirs(kLongestPathBytes, '\0');
        std::string ours(kLongestPathBytes, '\0');
        DWORD length = kLongestPathBytes;
        DWORD own = GetModuleFileNameA(nullptr, &ours[0], kLongestPathBytes);
        if (query && query(process, 0, &theirs[0], &length) && own && own < kLongestPathBytes)
            running = lstrcmpiA(fileNamePart(theirs.c_str()), fileNamePart(ours.c_str())) == 0;
    }
    int64_t started = running ? startOf(process) : -1;
    return started;
}

int64_t thisProcessStartTime()
{
    return startOf(GetCurrentProcess());
}
