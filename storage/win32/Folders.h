// Folders of the user's account: existence check, creating a folder path
// level by level, and the shell's special folders. (fileExists is the file
// layer's, in storage/file/FileHandle.h.)
#pragma once

#include <windows.h>

#include <string>

// 1 if path names an existing folder.
int folderExists(const char* path);

// Creates every missing level of path ("C:\a\b\", "\\server\share\a\b").
// Returns 1 when every level exists afterwards, 0 at the first level that
// can't be created.
int createFolderPath(const char* path);

// The path of a shell folder (CSIDL_APPDATA, CSIDL_PERSONAL, ...) in the
// program's code page; "" when it can't be found or named there.
std::string specialFolderPath(HWND owner, int folderId);

// settingsFolder = application-data folder + "\Vantorell\Tallyvane\", created
// when missing; documentsFolder = documents folder + "\". A shell folder that
// can't be found leaves the path relative to the root of the current drive.
void locateFolders(HWND owner, std::string& settingsFolder, std::string& documentsFolder);

// The local application-data folder + "\Vantorell\Tallyvane\", for what
// stays on this computer and is never synced: recovery files and backups.
// Created when missing; "" when the shell folder can't be found.
std::string locateLocalFolder(HWND owner);
