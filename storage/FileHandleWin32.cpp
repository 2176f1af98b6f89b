// File layer of the Windows build: kernel32 calls, files opened without sharing.
#include "FileHandle.h"

#include <windows.h>

#include "FileFaults.h"

namespace {

HANDLE asHandle(intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

int FileHandle::openRead(const char* path)
{
    close();
    if (fileFaults.hitOpenRead())
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    handle_ = reinterpret_cast<intptr_t>(file);
    writing_ = 0;
    return 1;
}

int FileHandle::create(const char* path)
{
    close();
    if (fileFaults.hitCreate())
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    handle_ = reinterpret_cast<intptr_t>(file);
    writing_ = 1;
    return 1;
}

int32_t FileHandle::size()
{
    if (!isOpen())
        return -1;
    DWORD high = 0;
    DWORD low = GetFileSize(asHandle(handle_), &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low >= 0x7fffffffu)
        return -1;
    return int32_t(low);
}

int32_t FileHandle::read(void* buffer, int32_t count)
{
    int32_t total = 0;
    while (total < count) {
        DWORD got = 0;
        if (!ReadFile(asHandle(handle_), static_cast<char*>(buffer) + total, DWORD(count - total), &got, nullptr))
            return -1;
        if (got == 0)
            break;
        total += int32_t(got);
    }
    return total;
}

// The mapping object can be closed at once: the view keeps the section
// alive until UnmapViewOfFile.
const char* FileHandle::mapView(int32_t size)
{
    if (!isOpen() || writing_ || size <= 0)
        return nullptr;
    HANDLE mapping = CreateFileMappingA(asHandle(handle_), nullptr, PAGE_READONLY, 0, DWORD(size), nullptr);
    if (!mapping)
        return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, SIZE_T(size));
    CloseHandle(mapping);
    return static_cast<const char*>(view);
}

void FileHandle::unmapView(const char* view, int32_t)
{
    if (view)
        UnmapViewOfFile(view);
}

int FileHandle::write(const void* data, int32_t count)
{
    if (!isOpen() || fileFaults.hitWrite())
        return 0;
    DWORD done = 0;
    return WriteFile(asHandle(handle_), data, DWORD(count), &done, nullptr) && done == DWORD(count);
}

int FileHandle::flush()
{
    if (!isOpen() || fileFaults.hitFlush())
        return 0;
    return FlushFileBuffers(asHandle(handle_)) != 0;
}

int FileHandle::close()
{
    if (!isOpen())
        return 1;
    int ok = CloseHandle(asHandle(handle_)) != 0;
    handle_ = -1;
    if (writing_ && fileFaults.hitClose())
        ok = 0;
    writing_ = 0;
    return ok;
}

int deleteFile(const char* path)
{
    return DeleteFileA(path) != 0;
}

int fileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int replaceFile(const char* tempPath, const char* targetPath)
{
    if (fileFaults.hitReplace())
        return 0;
    // A virus scanner or indexer may hold either file for a moment after we
    // closed it: retry briefly on sharing violations. ReplaceFileA is not
    // used; it keeps the old file's attributes and fails oddly on some shares.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (MoveFileExA(tempPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 1;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            return 0;
        Sleep(50);
    }
    return 0;
}
