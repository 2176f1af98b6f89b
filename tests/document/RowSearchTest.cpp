#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/RowSearch.h"

TEST(RowSearch, FindsAPartAnywhereIgnoringCaseAfterTheSelectionGoingRound)
{
    const std::vector<std::string> rows = {"Ann Lee", "Marguerite Okafor", "Ole Okafor", "\xC9mile \xC7" "a\xEF" "d", "Zed"};
    auto textOf = [&](int row) { return rows[size_t(row)].c_str(); };
    const struct {
        const char* part;
        int from;
        int found;
    } cases[] = {
        {"okaf", -1, 1},     // from the top
        {"OKAF", 1, 2},      // the next one after the selection
        {"okaf", 2, 1},      // round past the end
        {"okaf", 4, 1},
        {"ann", 0, 0},       // the selection itself, last of all
        {"\xE9mile", -1, 3}, // accented capitals of code page 1252
        {"\xE7" "A\xCF", 0, 3},
        {"xyz", 1, -1},      // nothing: the caller keeps the selection
        {"", -1, -1},
        {"zed ", -1, -1},    // the whole part must fit
        {"okaf", 17, 1},     // a selection beyond the rows counts as none
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.found, RowSearch::nextMatch(int(rows.size()), c.from, textOf, c.part)) << c.part << " " << c.from;
    EXPECT_EQ(-1, RowSearch::nextMatch(0, -1, textOf, "a"));
    EXPECT_FALSE(RowSearch::containsIgnoringCase("abc", "\xD7"));
}
