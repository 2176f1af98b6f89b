#include "storage/win32/Folders.h"

#include <shlobj.h>
#include <string>

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
    std::string copy(path);
    char* p = skipRoot(&copy[0]);
    if (!*p)
        return folderExists(copy.c_str());
    for (;;) {
        // CharNextA: the second byte of a double-byte character can be a backslash.
        while (*p && *p != '\\')
            p = CharNextA(p);
        char kept = *p;
        *p = '\0';
        if (!CreateDirectoryA(copy.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return 0;
        *p = kept;
        if (!kept || !p[1])
            return 1;
        ++p;
    }
}

std::string specialFolderPath(HWND owner, int folderId)
{
    // The wide form: SHGetPathFromIDListA writes at most MAX_PATH bytes,
    // fewer characters than a folder may have in UTF-8.
    wchar_t wide[MAX_PATH] = L"";
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, folderId, &list)) || !list)
        return std::string();
    BOOL found = SHGetPathFromIDListW(list, wide);
    CoTaskMemFree(list);
    if (!found || !wide[0])
        return std::string();
    BOOL lost = FALSE;
    int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string path(size_t(size > 0 ? size : 1), '\0');
    if (size <= 0 || !WideCharToMultiByte(CP_ACP, 0, wide, -1, &path[0], size, nullptr, GetACP() == CP_UTF8 ? nullptr : &lost)
        || lost)
        return std::string();   // a folder the code page can't name is no folder the A functions reach
    path.resize(size_t(size - 1));
    return path;
}

void locateFolders(HWND owner, std::string& settingsFolder, std::string& documentsFolder)
{
    settingsFolder = specialFolderPath(owner, CSIDL_APPDATA) + "\\Vantorell\\Tallyvane\\";
    if (!folderExists(settingsFolder.c_str()))
        createFolderPath(settingsFolder.c_str());
    documentsFolder = specialFolderPath(owner, CSIDL_PERSONAL) + "\\";
}

std::string locateLocalFolder(HWND owner)
{
    std::string localFolder = specialFolderPath(owner, CSIDL_LOCAL_APPDATA);
    if (localFolder.empty())
        return localFolder;
    localFolder += "\\Vantorell\\Tallyvane\\";
    if (!folderExists(localFolder.c_str()))
        createFolderPath(localFolder.c_str());
    return localFolder;
}
