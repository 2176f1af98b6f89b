#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "storage/sharing/DocumentFile.h"
#include "storage/file/FileName.h"

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

    char temp[16];
    EXPECT_EQ(temporaryPathFor("a.tvd", temp, sizeof temp), 1);
    EXPECT_STREQ(temp, "a.$$$");
    EXPECT_EQ(temporaryPathFor("a-very-long-name.tvd", temp, sizeof temp), 0);
    EXPECT_EQ(temporaryPathFor("odd.$$$", temp, sizeof temp), 1);
    EXPECT_STREQ(temp, "odd.$$$.$$$");
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

} // namespace
