#include "storage/win32/Folders.h"
#include "storage/file/FileHandle.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

std::string tempFolder()
{
    char buffer[MAX_PATH];
    GetTempPathA(sizeof buffer, buffer);
    std::string folder = buffer;
    folder += "tv-folders-" + std::to_string(GetCurrentProcessId());
    return folder;
}

void removeTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(Folders, FolderExistsTellsFoldersFromFiles)
{
    std::string folder = tempFolder();
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\plain.tvd";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);

    EXPECT_EQ(1, folderExists(folder.c_str()));
    EXPECT_EQ(1, folderExists((folder + "\\").c_str()));
    EXPECT_EQ(0, folderExists(file.c_str()));
    EXPECT_EQ(1, fileExists(file.c_str()));
    EXPECT_EQ(0, fileExists((folder + "\\missing.tvd").c_str()));
    EXPECT_EQ(0, folderExists((folder + "\\missing").c_str()));
    removeTree(folder);
}

TEST(Folders, CreateFolderPathMakesEveryLevel)
{
    std::string folder = tempFolder();
    std::string deep = folder + "\\Vantorell\\Tallyvane\\";
    ASSERT_EQ(0, folderExists(folder.c_str()));
    EXPECT_EQ(1, createFolderPath(deep.c_str()));
    EXPECT_EQ(1, folderExists(deep.c_str()));

    // Existing levels are fine, and a path without trailing backslash too.
    EXPECT_EQ(1, createFolderPath((folder + "\\Vantorell\\Other").c_str()));
    EXPECT_EQ(1, folderExists((folder + "\\Vantorell\\Other").c_str()));
    removeTree(folder);
}

TEST(Folders, CreateFolderPathStopsAtALevelThatIsAFile)
{
    std::string folder = tempFolder();
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\blocker";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);

    // CreateDirectoryA says "already exists" for the file; the next level fails.
    EXPECT_EQ(0, createFolderPath((file + "\\inner\\").c_str()));
    EXPECT_EQ(0, createFolderPath(std::string(300, 'x').c_str()));
    removeTree(folder);
}

TEST(Folders, UnreachableNetworkShareFailsQuietly)
{
    EXPECT_EQ(0, createFolderPath("\\\\no-such-server-tv\\share\\Vantorell\\Tallyvane\\"));
}

// A first start creates the program's folder level by level under the
// application-data folder of whoever runs the test.
TEST(Folders, LocateFoldersCreatesTheSettingsFolder)
{
    std::string appData = specialFolderPath(nullptr, CSIDL_APPDATA);
    ASSERT_NE("", appData);
    std::string vendor = std::string(appData) + "\\Vantorell";
    std::string kept = vendor + ".kept-by-test";
    bool hadVendor = folderExists(vendor.c_str());
    if (hadVendor) {
        ASSERT_TRUE(MoveFileA(vendor.c_str(), kept.c_str()));
    }

    std::string settings, documents;
    locateFolders(nullptr, settings, documents);
    EXPECT_EQ(std::string(appData) + "\\Vantorell\\Tallyvane\\", settings);
    EXPECT_EQ(1, folderExists(settings.c_str()));
    EXPECT_TRUE(endsWith(documents, "\\"));
    EXPECT_EQ(1, folderExists(documents.c_str()));

    removeTree(vendor);
    if (hadVendor)
        MoveFileA(kept.c_str(), vendor.c_str());
}
