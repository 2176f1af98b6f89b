// The program killed in the middle of saving a large file, many times: the
// data file is always the complete old or the complete new content.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string besideThisProgram(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

} // namespace

TEST(KillDuringSave, DataFileIsNeverTorn)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "tv-kill-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string data = folder + "\\data.tvd";
    std::string child = besideThisProgram("files_save_child.exe");

    int oldSeen = 0;
    int newSeen = 0;
    int midSave = 0;   // runs killed while a temporary file was being written
    for (int run = 0; run < 30; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        DeleteFileA((folder + "\\ready").c_str());
        std::string line = "\"" + child + "\" \"" + folder + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(child.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        for (int wait = 0; wait < 600 && GetFileAttributesA((folder + "\\ready").c_str()) == INVALID_FILE_ATTRIBUTES;
             ++wait)
            Sleep(50);
        // Let it run into the middle of some save, a different moment each run.
        Sleep(20 + (run * 37) % 250);
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_EQ(9u, code) << "the helper stopped by itself";

        std::string a = readAll(folder + "\\a.expected");
        std::string b = readAll(folder + "\\b.expected");
        ASSERT_GT(a.size(), 100000u);
        if (GetFileAttributesA((folder + "\\data.tvd.$$$").c_str()) != INVALID_FILE_ATTRIBUTES)
            ++midSave;
        DeleteFileA((folder + "\\data.tvd.$$$").c_str());
        std::string now = readAll(data);
        if (now == a)
            ++oldSeen;
        else if (now == b)
            ++newSeen;
        else
            FAIL() << "torn data file of " << now.size() << " bytes";
    }
    std::cout << "old content " << oldSeen << ", new content " << newSeen << ", killed mid-save " << midSave
              << std::endl;
    EXPECT_GT(midSave, 0);

    for (const char* name : {"data.tvd", "data.tvd.$$$", "a.expected", "b.expected", "ready"})
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}
