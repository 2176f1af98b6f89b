// Windows build only: paths of MAX_PATH characters and more. The ANSI
// functions refuse them (unless the system allows long paths and the
// program's manifest asks for them); their "\\?\" form, converted from the
// ANSI code page, reaches the wide functions whole. Used for the names the
// program makes beside a data file (lock, presence, temporary file), which
// are a few characters longer than the data file's own path.
#pragma once
#include <windows.h>

#include <string>

// The "\\?\" (or "\\?\UNC\") form of the full path of path; "" when it can't be made.
std::wstring longPathForm(const char* path);

// CreateFileA, GetFileAttributesA, DeleteFileA and MoveFileExA that take the
// long form when path is MAX_PATH characters or more.
HANDLE createFileAnyLength(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
DWORD fileAttributesAnyLength(const char* path);
BOOL deleteFileAnyLength(const char* path);
BOOL moveFileAnyLength(const char* from, const char* to, DWORD flags);
