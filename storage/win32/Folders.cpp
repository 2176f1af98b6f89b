#include "storage/win32/Folders.h"

#include <shlobj.h>
#include <string.h>

#include "storage/file/FileName.h"

int folderExists(const char* path)
{
    // The attributes answer without touching the process's current directory.
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

// Returns the first character after the root of path: "\\server\share\",
// "C:\" or the empty component in front of a leading backslash.
static char* skipRoot(char* path)
{
    char* p = path;
    if (p[0] && p[1] == '\\') {
        p += 2;
        for (int part = 0; part < 2 && *p; ++part) {
            while (*p && *p != '\\')
                p = CharNextA(p);
            if (*p)
                ++p;
        }
        return p;
    }
    while (*p && *p != '\\')
        p = CharNextA(p);
    return *p ? p + 1 : p;
}

int createFolderPath(const char* path)
{
    char copy[kPathBytes];
    if (strlen(path) >= sizeof copy)
        return 0;
    strcpy(copy, path);

    char* p = skipRoot(copy);
    if (!*p)
        return folderExists(copy);
    for (;;) {
        // CharNextA: the second byte of a double-byte character can be a backslash.
        while (*p && *p != '\\')
            p = CharNextA(p);
        char kept = *p;
        *p = '\0';
        if (!CreateDirectoryA(copy, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return 0;
        *p = kept;
        if (!kept || !p[1])
            return 1;
        ++p;
    }
}

void specialFolderPath(HWND owner, int folderId, char* buffer)
{
    buffer[0] = '\0';
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, folderId, &list)) && list) {
        if (!SHGetPathFromIDListA(list, buffer))
            buffer[0] = '\0';
        CoTaskMemFree(list);
    }
}

int appendText(char* buffer, int size, const char* text)
{
    size_t used = strlen(buffer);
    size_t added = strlen(text);
    if (used + added >= static_cast<size_t>(size))
        return 0;
    memcpy(buffer + used, text, added + 1);
    return 1;
}

void locateFolders(HWND owner, char* settingsFolder, char* documentsFolder)
{
    specialFolderPath(owner, CSIDL_APPDATA, settingsFolder);
    if (!appendText(settingsFolder, kPathBytes, "\\Vantorell\\Tallyvane\\"))
        settingsFolder[0] = '\0';
    if (settingsFolder[0] && !folderExists(settingsFolder))
        createFolderPath(settingsFolder);

    specialFolderPath(owner, CSIDL_PERSONAL, documentsFolder);
    if (!appendText(documentsFolder, kPathBytes, "\\"))
        documentsFolder[0] = '\0';
}

void locateLocalFolder(HWND owner, char* localFolder)
{
    specialFolderPath(owner, CSIDL_LOCAL_APPDATA, localFolder);
    if (!localFolder[0] || !appendText(localFolder, kPathBytes, "\\Vantorell\\Tallyvane\\"))
        localFolder[0] = '\0';
    if (localFolder[0] && !folderExists(localFolder))
        createFolderPath(localFolder);
}
