// File layer of the Windows build: kernel32 calls; files are read with
// FILE_SHARE_READ (more only when a caller asks for it) and written without sharing.
#include "storage/file/FileHandle.h"

#include <windows.h>

#include <cstring>

#include "storage/file/FileFaults.h"
#include "storage/file/FindHandle.h"
#include "storage/file/LongPath.h"

std::wstring longPathForm(const char* path)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], length);
    DWORD full = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (!full)
        return std::wstring();
    std::wstring absolute(full, L'\0');
    full = GetFullPathNameW(wide.c_str(), full, &absolute[0], nullptr);
    absolute.resize(full);
    if (absolute.compare(0, 4, L"\\\\?\\") == 0)
        return absolute;
    if (absolute.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + absolute.substr(2);
    return L"\\\\?\\" + absolute;
}

namespace {

bool isLong(const char* path)
{
    return strlen(path) >= MAX_PATH;
}

} // namespace

HANDLE createFileAnyLength(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags)
{
    if (!isLong(path))
        return CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
    std::wstring wide = longPathForm(path);
    if (wide.empty()) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

DWORD fileAttributesAnyLength(const char* path)
{
    return isLong(path) ? GetFileAttributesW(longPathForm(path).c_str()) : GetFileAttributesA(path);
}

BOOL deleteFileAnyLength(const char* path)
{
    return isLong(path) ? DeleteFileW(longPathForm(path).c_str()) : DeleteFileA(path);
}

BOOL moveFileAnyLength(const char* from, const char* to, DWORD flags)
{
    if (!isLong(from) && !isLong(to))
        return MoveFileExA(from, to, flags);
    return MoveFileExW(longPathForm(from).c_str(), longPathForm(to).c_str(), flags);
}

namespace {

thread_local std::string failure;

// Words the error code as the native build words the matching errno
// values; the system's message for the others.
void noteFailure(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: failure = "the file does not exist"; return;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: failure = "the folder does not exist"; return;
    case ERROR_ACCESS_DENIED: failure = "access is denied"; return;
    case ERROR_WRITE_PROTECT: failure = "the disk is write-protected"; return;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: failure = "the disk is full"; return;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: failure = "another program has the file open"; return;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: failure = "the file already exists"; return;
    case ERROR_FILENAME_EXCED_RANGE: failure = "the name is too long"; return;
    case ERROR_NOT_SAME_DEVICE: failure = "the file is on another drive"; return;
    }
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.'))
        text[--length] = 0;
    failure = length ? text : "error " + std::to_string(error);
}

HANDLE openWrite(const char* path, DWORD disposition)
{
    if (fileFaults.hitCreate()) {
        noteFailure(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = createFileAnyLength(path, GENERIC_WRITE, 0, disposition, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        noteFailure(GetLastError());
    return file;
}

} // namespace

const char* lastFileError()
{
    return failure.c_str();
}

void setFileError(const char* reason)
{
    failure = reason;
}

void setFileErrorFrom(long code)
{
    noteFailure(DWORD(code));
}

int FileHandle::openRead(const char* path, Sharing sharing)
{
    close();
    if (fileFaults.hitOpenRead()) {
        noteFailure(ERROR_SHARING_VIOLATION);
        return 0;
    }
    DWORD share = sharing == ShareReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : FILE_SHARE_READ;
    HANDLE file = createFileAnyLength(path, GENERIC_READ, share, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        // A folder is refused with "access denied": say what it is.
        DWORD attributes = fileAttributesAnyLength(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            failure = "it is a folder";
        else
            noteFailure(error);
        return 0;
    }
    handle_.reset(file);
    writing_ = 0;
    return 1;
}

int FileHandle::create(const char* path)
{
    close();
    HANDLE file = openWrite(path, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    handle_.reset(file);
    writing_ = 1;
    return 1;
}

int FileHandle::createNew(const char* path)
{
    close();
    HANDLE file = openWrite(path, CREATE_NEW);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    handle_.reset(file);
    writing_ = 1;
    return 1;
}

int32_t FileHandle::size()
{
    if (!isOpen())
        return -1;
    DWORD high = 0;
    DWORD low = GetFileSize(handle_, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low >= 0x7fffffffu)
        return -1;
    return int32_t(low);
}

int32_t FileHandle::read(void* buffer, int32_t count)
{
    int32_t total = 0;
    while (total < count) {
        DWORD got = 0;
        if (!ReadFile(handle_, static_cast<char*>(buffer) + total, DWORD(count - total), &got, nullptr)) {
            noteFailure(GetLastError());
            return -1;
        }
        if (got == 0)
            break;
        total += int32_t(got);
    }
    return total;
}

// The mapping object goes at once: the view keeps the section alive until
// UnmapViewOfFile.
const char* FileHandle::mapView(int32_t size)
{
    if (!isOpen() || writing_ || size <= 0)
        return nullptr;
    KernelHandle mapping(CreateFileMappingA(handle_, nullptr, PAGE_READONLY, 0, DWORD(size), nullptr));
    if (!mapping)
        return nullptr;
    return static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, SIZE_T(size)));
}

void FileHandle::unmapView(const char* view, int32_t)
{
    if (view)
        UnmapViewOfFile(view);
}

int FileHandle::write(const void* data, int32_t count)
{
    if (!isOpen())
        return 0;
    if (fileFaults.hitWrite()) {
        noteFailure(ERROR_DISK_FULL);
        return 0;
    }
    DWORD done = 0;
    if (!WriteFile(handle_, data, DWORD(count), &done, nullptr)) {
        noteFailure(GetLastError());
        return 0;
    }
    if (done != DWORD(count)) {
        noteFailure(ERROR_DISK_FULL);
        return 0;
    }
    return 1;
}

int FileHandle::flush()
{
    if (!isOpen())
        return 0;
    if (fileFaults.hitFlush()) {
        noteFailure(ERROR_DISK_FULL);
        return 0;
    }
    if (!FlushFileBuffers(handle_)) {
        noteFailure(GetLastError());
        return 0;
    }
    return 1;
}

int FileHandle::close()
{
    if (!isOpen())
        return 1;
    int ok = handle_.close();
    if (!ok)
        noteFailure(GetLastError());
    if (writing_ && fileFaults.hitClose()) {
        noteFailure(ERROR_DISK_FULL);
        ok = 0;
    }
    writing_ = 0;
    return ok;
}

int deleteFile(const char* path)
{
    return deleteFileAnyLength(path) != 0;
}

int createFolders(const char* path)
{
    std::string folder = path;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return 1;
        noteFailure(ERROR_ALREADY_EXISTS);   // a file in the way
        return 0;
    }
    // The parent first: cut at the last separator, never inside a double-byte character.
    const char* last = nullptr;
    for (const char* p = folder.c_str(); *p; ++p) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1])
            ++p;
        else if (*p == '\\' || *p == '/')
            last = p;
    }
    if (last && last > folder.c_str() && last[-1] != ':' && last[-1] != '\\'
        && !createFolders(folder.substr(0, size_t(last - folder.c_str())).c_str()))
        return 0;
    if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return 1;
    noteFailure(GetLastError());
    return 0;
}

std::vector<std::string> filesIn(const char* folder, const std::string& prefix)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA((std::string(folder) + prefix + "*").c_str(), &found));
    if (!search)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    return names;
}

int writeNewFile(const char* path, const char* data, size_t size)
{
    KernelHandle file(createFileAnyLength(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL));
    if (!file) {
        noteFailure(GetLastError());
        return 0;
    }
    DWORD written = 0;
    BOOL ok = (size == 0 || WriteFile(file, data, DWORD(size), &written, nullptr)) && written == DWORD(size)
              && FlushFileBuffers(file);
    if (!ok)
        noteFailure(GetLastError() ? GetLastError() : ERROR_DISK_FULL);
    // Closed before the delete below; a failed close fails the copy.
    if (!file.close())
        ok = FALSE;
    if (!ok)
        deleteFileAnyLength(path);
    return ok ? 1 : 0;
}

int moveFile(const char* from, const char* to)
{
    if (moveFileAnyLength(from, to, MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return 1;
    noteFailure(GetLastError());
    return 0;
}

std::string computerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD length = sizeof name;
    return GetComputerNameA(name, &length) ? std::string(name) : std::string();
}

int fileExists(const char* path)
{
    return fileAttributesAnyLength(path) != INVALID_FILE_ATTRIBUTES;
}

int isReadOnlyFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
           && (attributes & FILE_ATTRIBUTE_READONLY);
}

// The system tells the identity of an open file: its volume and file index.
// No access is asked for, so files that others hold open are compared too;
// the system reads "club.tvd." and "club.tvd " as "club.tvd".
int isSameFile(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        KernelHandle file(CreateFileA(paths[i], 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file || !GetFileInformationByHandle(file, &info[i]))
            return 0;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber
           && info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

std::string saveTarget(const char* path)
{
    return path;
}

int replaceFile(const char* tempPath, const char* targetPath)
{
    if (fileFaults.hitReplace()) {
        noteFailure(ERROR_SHARING_VIOLATION);
        return 0;
    }
    // A virus scanner or indexer may hold either file for a moment after we
    // closed it: retry briefly on sharing violations. ReplaceFileA is not
    // used; it keeps the old file's attributes and fails oddly on some shares.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (moveFileAnyLength(tempPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            fileFaults.replaced(targetPath);
            return 1;
        }
        DWORD error = GetLastError();
        noteFailure(error);
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            return 0;
        Sleep(50);
    }
    return 0;
}
