// The delete question, composed without any window.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/DeleteConfirmation.h"

namespace {

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
