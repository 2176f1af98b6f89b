// Texts the commands compose without any window: the title bar, the delete
// question, and the Entries row rule they all act through.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DeleteConfirmation.h"
#include "WindowTitle.h"

namespace {

std::string titleFor(const char* path)
{
    char title[WindowTitle::MaxLength];
    WindowTitle::compose(path, title, sizeof title);
    return title;
}

TEST(WindowTitle, NamesTheFileAfterTheLastSeparatorOfAnyKind)
{
    EXPECT_EQ("club.tvd - Tallyvane", titleFor("C:\\Users\\ann\\Documents\\club.tvd"));
    EXPECT_EQ("club.tvd - Tallyvane", titleFor("C:club.tvd"));
    EXPECT_EQ("club.tvd - Tallyvane", titleFor("share/data\\club.tvd"));
    EXPECT_EQ("club.tvd - Tallyvane", titleFor("a\\b/club.tvd"));
    EXPECT_EQ("club.tvd - Tallyvane", titleFor("club.tvd"));
}

TEST(WindowTitle, UntitledWithoutAPath)
{
    EXPECT_EQ("Untitled - Tallyvane", titleFor(""));
    EXPECT_EQ("Untitled - Tallyvane", titleFor(nullptr));
}

TEST(WindowTitle, ALeadingSeparatorStaysPartOfTheName)
{
    EXPECT_EQ("\\club.tvd - Tallyvane", titleFor("\\club.tvd"));
    EXPECT_EQ("/x - Tallyvane", titleFor("/x"));
}

TEST(WindowTitle, LongNamesAreCutTo259CharactersAndSmallBuffersStayTerminated)
{
    std::string name(400, 'n');
    std::string title = titleFor(("C:\\" + name).c_str());
    EXPECT_EQ(std::string(259, 'n') + " - Tallyvane", title);

    char small[8];
    memset(small, 'x', sizeof small);
    WindowTitle::compose("C:\\club.tvd", small, sizeof small);
    EXPECT_STREQ("club.tv", small);
}

TEST(DeleteConfirmation, PutsTheItemOnALineOfItsOwn)
{
    char question[DeleteConfirmation::BufferSize];
    DeleteConfirmation::compose("Ann Smith", question);
    EXPECT_STREQ("Ok to Delete?\nAnn Smith", question);
}

TEST(DeleteConfirmation, LongTextsAreCutWithAnEllipsisInsideTheBuffer)
{
    // A guard band after the buffer catches any write beyond it.
    struct {
        char question[DeleteConfirmation::BufferSize];
        char guard[64];
    } space;
    memset(&space, '#', sizeof space);

    std::string exact(133, 'e');
    DeleteConfirmation::compose(exact.c_str(), space.question);
    EXPECT_EQ("Ok to Delete?\n" + exact, std::string(space.question));
    EXPECT_EQ(147u, strlen(space.question));

    std::string memo(5000, 'm');
    DeleteConfirmation::compose(memo.c_str(), space.question);
    EXPECT_EQ("Ok to Delete?\n" + std::string(130, 'm') + "...", std::string(space.question));
    EXPECT_EQ(147u, strlen(space.question));
    for (char c : space.guard)
        ASSERT_EQ('#', c);
}


}  // namespace
