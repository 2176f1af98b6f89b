#include "tests/storage/gui/FileMenu.h"
#include "storage/win32/SettingsFile.h"
#include "storage/file/FileHandle.h"

#include <fstream>
#include <iterator>

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A settings folder of its own (with its trailing backslash) under the
// temporary folder, and a File menu to read the recent files into.
class SettingsTest : public FileMenuTest {
protected:
    void SetUp() override
    {
        FileMenuTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        static int serial = 0;
        folder = std::string(temp) + "tv-settings-" + std::to_string(GetCurrentProcessId()) + "-"
                 + std::to_string(++serial) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        ini = folder + "Tallyvane.ini";
    }
    void TearDown() override
    {
        for (const char* name : {"Tallyvane.ini", "Tallyvane.$$$", "prog.ini", "prog.exe"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(folder.c_str());
        FileMenuTest::TearDown();
    }

    // A new run: a fresh File menu, the same settings folder.
    void restart()
    {
        FileMenuTest::TearDown();
        FileMenuTest::SetUp();
    }

    StartupFiles read(std::string commandLine)
    {
        StartupFiles out;
        readSettings(&commandLine[0], folder.c_str(), recent, out);
        return out;
    }

    std::vector<std::string> recentPaths() const
    {
        std::vector<std::string> paths;
        for (int i = 0; i < recent.count(); ++i)
            paths.push_back(path(recent.firstId() + i));
        return paths;
    }

    std::string folder;
    std::string ini;
};

using Paths = std::vector<std::string>;

} // namespace

TEST_F(SettingsTest, NoSettingsFileGivesNothingToOpen)
{
    StartupFiles s = read("prog.exe");
    EXPECT_EQ(ini, s.settingsPath);
    EXPECT_STREQ("", s.currentPath.c_str());
    EXPECT_EQ(0, s.fromCommandLine);
    EXPECT_EQ(0, recent.count());
}

TEST_F(SettingsTest, FirstLineIsOpenedAndTheRestAreRecentFiles)
{
    writeAll(ini, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\c.tvd\r\nC:\\c.tvd\r\nC:\\b.tvd\r\nC:\\a.tvd\r\n");
    StartupFiles s = read("prog.exe");
    EXPECT_STREQ("C:\\c.tvd", s.currentPath.c_str());
    EXPECT_EQ(0, s.fromCommandLine);
    EXPECT_EQ((Paths{"C:\\c.tvd", "C:\\b.tvd", "C:\\a.tvd"}), recentPaths());
    // Opening C at start-up puts it on top, where it already is.
    recent.addToTop("C:\\c.tvd");
    EXPECT_EQ((Paths{"C:\\c.tvd", "C:\\b.tvd", "C:\\a.tvd"}), recentPaths());
}

TEST_F(SettingsTest, WrittenAtExitAndReadAtTheNextStart)
{
    recent.addToTop("C:\\a.tvd");
    recent.addToTop("C:\\b.tvd");
    recent.addToTop("C:\\c.tvd");
    ASSERT_EQ(1, writeSettings(ini.c_str(), "C:\\c.tvd", recent));
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\c.tvd\r\nC:\\c.tvd\r\nC:\\b.tvd\r\nC:\\a.tvd\r\n",
              readAll(ini));
    EXPECT_EQ(0, fileExists((folder + "Tallyvane.$$$").c_str()));

    restart();
    StartupFiles s = read("prog.exe");
    EXPECT_STREQ("C:\\c.tvd", s.currentPath.c_str());
    EXPECT_EQ((Paths{"C:\\c.tvd", "C:\\b.tvd", "C:\\a.tvd"}), recentPaths());
}

TEST_F(SettingsTest, UntitledAtExitAndGrayedItemsLeftOut)
{
    recent.addToTop("C:\\a.tvd");
    recent.addToTop("C:\\b.tvd");
    recent.gray(5900);
    ASSERT_EQ(1, writeSettings(ini.c_str(), "", recent));
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\a.tvd\r\n", readAll(ini));
}

TEST_F(SettingsTest, MoreThanSixLinesShowFiveRecentItems)
{
    writeAll(ini, "[program]\nTALLYVANE\n\n[files]\nopen\n1\n2\n3\n4\n5\n6\n7\n");
    StartupFiles s = read("prog.exe");
    EXPECT_STREQ("open", s.currentPath.c_str());
    EXPECT_EQ((Paths{"1", "2", "3", "4", "5"}), recentPaths());
    EXPECT_EQ((std::vector<Row>{{5900, "1", false},
                                {5901, "2", false},
                                {5902, "3", false},
                                {5903, "4", false},
                                {5904, "5", false},
                                separator, exitItem}),
              tail());
}

TEST_F(SettingsTest, EmptyLinesAreSkipped)
{
    writeAll(ini, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\n\r\nC:\\c.tvd\r\n\r\nC:\\b.tvd\r\n\r\n\r\nC:\\a.tvd\r\n");
    StartupFiles s = read("prog.exe");
    EXPECT_STREQ("C:\\c.tvd", s.currentPath.c_str());
    EXPECT_EQ((Paths{"C:\\b.tvd", "C:\\a.tvd"}), recentPaths());
}

TEST_F(SettingsTest, CommandLineFileIsOpenedAndEveryLineBecomesRecent)
{
    writeAll(ini, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\c.tvd\r\nC:\\b.tvd\r\n");
    StartupFiles s = read("\"C:\\Program Files\\Tallyvane\\prog.exe\" \"D:\\my data\\staff list.tvd\"");
    EXPECT_STREQ("D:\\my data\\staff list.tvd", s.currentPath.c_str());
    EXPECT_EQ(1, s.fromCommandLine);
    EXPECT_EQ((Paths{"C:\\c.tvd", "C:\\b.tvd"}), recentPaths());
}

// Each open used to add its file again: the file named first in the settings
// became a recent item beside its own entry, and a path spelt another way
// (other case, relative) counted as another file. One entry per file, newest first.
TEST_F(SettingsTest, EachFileIsListedOnceHoweverItsPathIsSpelt)
{
    writeAll(ini, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\c.tvd\r\nC:\\c.tvd\r\nc:\\B.TVD\r\nC:\\b.tvd\r\n");
    read("prog.exe D:\\club.tvd");
    EXPECT_EQ((Paths{"C:\\c.tvd", "c:\\B.TVD"}), recentPaths());

    char before[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    SetCurrentDirectoryA("C:\\");
    for (const char* opened : {"D:\\club.tvd", "b.tvd", "d:\\CLUB.tvd", "C:\\x\\..\\c.tvd"})
        recent.addToTop(opened);
    SetCurrentDirectoryA(before);
    EXPECT_EQ((Paths{"C:\\x\\..\\c.tvd", "d:\\CLUB.tvd", "b.tvd"}), recentPaths());
}

TEST_F(SettingsTest, CommandLineFileIsOpenedWithoutASettingsFile)
{
    StartupFiles s = read("prog.exe D:\\club.tvd");
    EXPECT_STREQ("D:\\club.tvd", s.currentPath.c_str());
    EXPECT_EQ(1, s.fromCommandLine);

    writeAll(ini, "[Program]\r\nNot the magic\r\n\r\n[Files]\r\nC:\\c.tvd\r\n");
    restart();
    s = read("prog.exe D:\\club.tvd");
    EXPECT_STREQ("D:\\club.tvd", s.currentPath.c_str());
    EXPECT_EQ(0, recent.count());
}

TEST_F(SettingsTest, FileWithoutTheMagicIsIgnored)
{
    writeAll(ini, "[Program]\r\nTallyvane \r\n\r\n[Files]\r\nC:\\c.tvd\r\nC:\\b.tvd\r\n");
    StartupFiles s = read("prog.exe");
    EXPECT_STREQ("", s.currentPath.c_str());
    EXPECT_EQ(0, recent.count());

    writeAll(ini, "[Files]\r\nC:\\c.tvd\r\n");
    s = read("prog.exe");
    EXPECT_STREQ("", s.currentPath.c_str());
}

TEST_F(SettingsTest, LegacyFileBesideTheProgramIsMovedIntoPlace)
{
    writeAll(ini, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\new.tvd\r\n");
    std::string legacy = folder + "prog.ini";
    writeAll(legacy, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\old.tvd\r\nC:\\older.tvd\r\n");
    StartupFiles s = read("\"" + folder + "prog.exe\"");
    EXPECT_EQ(0, fileExists(legacy.c_str()));
    EXPECT_STREQ("C:\\old.tvd", s.currentPath.c_str());
    EXPECT_EQ((Paths{"C:\\older.tvd"}), recentPaths());
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\old.tvd\r\nC:\\older.tvd\r\n", readAll(ini));
}

TEST_F(SettingsTest, UnwritableSettingsFileFailsQuietlyAndKeepsTheOldOne)
{
    writeAll(ini, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\kept.tvd\r\n");
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    recent.addToTop("C:\\a.tvd");
    EXPECT_EQ(0, writeSettings(ini.c_str(), "C:\\a.tvd", recent));
    CloseHandle(held);
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\nC:\\kept.tvd\r\n", readAll(ini));
    EXPECT_EQ(0, fileExists((folder + "Tallyvane.$$$").c_str()));

    EXPECT_EQ(0, writeSettings((folder + "missing\\Tallyvane.ini").c_str(), "", recent));
}
