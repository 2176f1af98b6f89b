#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "storage/sharing/DocumentFile.h"
#include "storage/format/BackupName.h"
#include "storage/file/FileName.h"
#include "storage/format/PresenceFile.h"
#include "storage/sharing/SaveLock.h"
#include "storage/file/TemporaryFile.h"

namespace {

std::string replaced(const char* path, const char* extension, int size = 300)
{
    char buffer[300];
    strcpy(buffer, path);
    if (!replaceExtension(buffer, size, extension))
        return "(refused) " + std::string(buffer);
    return buffer;
}

std::string stripped(const char* path)
{
    char buffer[300];
    strcpy(buffer, path);
    stripExtension(buffer);
    return buffer;
}

TEST(FileName, FindExtension)
{
    const char* path = "C:\\data\\staff.tvd";
    EXPECT_EQ(findExtension(path), path + 13);
    const char* bare = "C:\\data\\staff";
    EXPECT_EQ(findExtension(bare), bare + strlen(bare));
    const char* dotted = ".tvd";
    EXPECT_EQ(findExtension(dotted), dotted);
    EXPECT_EQ(findExtension(""), nullptr);
    EXPECT_EQ(findExtension("C:\\data\\"), nullptr);
    EXPECT_EQ(findExtension("C:"), nullptr);
    EXPECT_EQ(findExtension("/tmp/"), nullptr);
}

TEST(FileName, TemporaryFileSitsBesideTheDataFile)
{
    EXPECT_EQ(replaced("C:\\data\\staff.tvd", ".$$$"), "C:\\data\\staff.$$$");
    EXPECT_EQ(replaced("staff", ".$$$"), "staff.$$$");
    EXPECT_EQ(replaced("list.txt", "tvd"), "list.tvd");
    EXPECT_EQ(replaced("C:\\my.folder\\list", ".tvd"), "C:\\my.folder\\list.tvd");
    EXPECT_EQ(replaced("/home/a.b/list", ".$$$"), "/home/a.b/list.$$$");
    EXPECT_EQ(replaced("C:\\data\\", ".tvd"), "(refused) C:\\data\\");
    EXPECT_EQ(replaced("staff", ".$$$", 9), "(refused) staff");
    EXPECT_EQ(replaced("staff", ".$$$", 10), "staff.$$$");

    // Temporary files of a save: of the whole name, so club, club.tvd and club.bak never share one.
    EXPECT_EQ(TemporaryFile::nameFor("C:\\x\\club.tvd", 1), "C:\\x\\club.tvd.$$$");
    EXPECT_EQ(TemporaryFile::nameFor("club", 1), "club.$$$");
    EXPECT_EQ(TemporaryFile::nameFor("club.bak", 2), "club.bak.2.$$$");
    EXPECT_EQ(TemporaryFile::nameFor("odd.$$$", 1), "odd.$$$.$$$");
}

TEST(FileName, StripExtension)
{
    EXPECT_EQ(stripped("list.txt"), "list");
    EXPECT_EQ(stripped("C:\\my.folder\\list"), "C:\\my.folder\\list");
    EXPECT_EQ(stripped("a.b.c"), "a.b");
    EXPECT_EQ(stripped(""), "");
}

TEST(FileName, NamePartAndExtensionCheck)
{
    EXPECT_STREQ(fileNamePart("C:\\my.folder\\Roster.CSV"), "Roster.CSV");
    EXPECT_STREQ(fileNamePart("data/club.tvd"), "club.tvd");
    EXPECT_STREQ(fileNamePart("C:club.tvd"), "club.tvd");
    EXPECT_STREQ(fileNamePart("dir\\"), "");
    EXPECT_TRUE(hasExtension("C:\\x\\Roster.CSV", ".csv"));
    EXPECT_TRUE(hasExtension("club.tvd", ".TVD"));
    EXPECT_FALSE(hasExtension("club.tvd.bak", ".tvd"));
    EXPECT_FALSE(hasExtension("my.csv\\roster", ".csv"));
    EXPECT_FALSE(hasExtension("roster.csvx", ".csv"));
    EXPECT_FALSE(hasExtension("", ".csv"));
}

// Code page 932: "出欠表" is 8F 6F 8C 87 95 5C, the last byte a backslash.
// Names made from a data file's name keep the character whole.
bool leadByte932(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

TEST(FileName, DoubleByteNamesAreNeverCutInsideACharacter)
{
    setLeadBytesForTest(leadByte932);
    const std::string name = "\x8F\x6F\x8C\x87\x95\x5C";   // 出欠表
    const std::string folder = "C:\\\x95\x5C\\";           // a folder "表" too
    const std::string bare = folder + name;
    const std::string path = bare + ".tvd";
    struct Case {
        const char* what;
        std::string got, expected;
    };
    const Case cases[] = {
        {"name part", fileNamePart(path.c_str()), name + ".tvd"},
        {"extension", findExtension(path.c_str()), ".tvd"},
        {"name without extension ends in the name", findExtension(bare.c_str()), ""},
        {"stripped", stripped(path.c_str()), folder + name},
        {"presence file", PresenceFile::pathFor(path.c_str()),
         folder + "~$" + name + ".tvd"},
        {"save lock", SaveLock::lockPathFor(path.c_str()),
         folder + "~$" + name + ".tvd.lock"},
        {"backup prefix", BackupName::prefixFor(path.c_str()).substr(0, name.size() + 2), name + " ("},
    };
    setLeadBytesForTest(nullptr);
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.what;
}

} // namespace
