// Folders of the user's account: existence check, creating a folder path
// level by level, and the shell's special folders. (fileExists is the file
// layer's, in storage/file/FileHandle.h.)
#pragma once

#include <windows.h>

// 1 if path names an existing folder.
int folderExists(const char* path);

// Creates every missing level of path ("C:\a\b\", "\\server\share\a\b").
// Returns 1 when every level exists afterwards, 0 at the first level that
// can't be created or when the path does not fit in MAX_PATH.
int createFolderPath(const char* path);

// Fills buffer (MAX_PATH characters) with the path of a shell folder
// (CSIDL_APPDATA, CSIDL_PERSONAL, ...); leaves it empty on failure.
void specialFolderPath(HWND owner, int folderId, char* buffer);

// settingsFolder = application-data folder + "\Vantorell\Tallyvane\", created
// when missing; documentsFolder = documents folder + "\". Both hold
// kPathBytes bytes. A shell folder that can't be found leaves the path relative to
// the root of the current drive.
void locateFolders(HWND owner, char* settingsFolder, char* documentsFolder);

// localFolder = local application-data folder + "\Vantorell\Tallyvane\"
// (kPathBytes bytes), for what stays on this computer and is never
// synced: recovery files and backups. Created when missing; "" when the
// shell folder can't be found.
void locateLocalFolder(HWND owner, char* localFolder);

// Appends text to the NUL-terminated string in buffer of size characters.
// Returns 0 and leaves the buffer alone when the result would not fit.
int appendText(char* buffer, int size, const char* text);
