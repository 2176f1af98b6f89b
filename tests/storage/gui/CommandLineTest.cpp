#include "storage/win32/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Split {
    int found;
    std::vector<std::string> tokens;
};

Split split(const char* text, int n = 3)
{
    std::string line(text);
    std::vector<char*> slots(n);
    Split result;
    result.found = splitCommandLine(&line[0], slots.data(), n);
    for (char* slot : slots)
        result.tokens.emplace_back(slot);
    return result;
}

} // namespace

TEST(SplitCommandLine, ProgramOnly)
{
    Split s = split("Tallyvane.exe");
    EXPECT_EQ(1, s.found);
    EXPECT_EQ((std::vector<std::string>{"Tallyvane.exe", "", ""}), s.tokens);
}

TEST(SplitCommandLine, QuotedProgramWithBlanksAndPlainFile)
{
    Split s = split("\"C:\\Program Files\\Tallyvane\\Tallyvane.exe\" C:\\data\\club.tvd");
    EXPECT_EQ(2, s.found);
    EXPECT_EQ("C:\\Program Files\\Tallyvane\\Tallyvane.exe", s.tokens[0]);
    EXPECT_EQ("C:\\data\\club.tvd", s.tokens[1]);
    EXPECT_EQ("", s.tokens[2]);
}

TEST(SplitCommandLine, QuotedFileWithBlanksLosesItsQuotes)
{
    Split s = split("Tallyvane.exe   \"C:\\My Documents\\staff list.tvd\"");
    EXPECT_EQ(2, s.found);
    EXPECT_EQ("Tallyvane.exe", s.tokens[0]);
    EXPECT_EQ("C:\\My Documents\\staff list.tvd", s.tokens[1]);
}

TEST(SplitCommandLine, UnquotedBlankSplitsAndExtraTokensAreCounted)
{
    Split s = split("a.exe my file.tvd");
    EXPECT_EQ(3, s.found);
    EXPECT_EQ((std::vector<std::string>{"a.exe", "my", "file.tvd"}), s.tokens);
}

TEST(SplitCommandLine, EmptyQuotesAndTrailingBlanksGiveEmptyTokens)
{
    Split s = split("a.exe \"\"   ");
    EXPECT_EQ(1, s.found);
    EXPECT_EQ((std::vector<std::string>{"a.exe", "", ""}), s.tokens);

    Split empty = split("");
    EXPECT_EQ(0, empty.found);
}

TEST(SplitCommandLine, UnclosedQuoteRunsToTheEnd)
{
    Split s = split("a.exe \"C:\\x y.tvd");
    EXPECT_EQ(2, s.found);
    EXPECT_EQ("C:\\x y.tvd", s.tokens[1]);
}

TEST(SplitCommandLine, OnlyTheFirstNTokensAreLooked_at)
{
    Split s = split("a b c d", 2);
    EXPECT_EQ(2, s.found);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), s.tokens);
}
