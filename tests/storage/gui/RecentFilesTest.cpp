#include "tests/storage/gui/FileMenu.h"

using RecentFilesTest = FileMenuTest;


TEST_F(RecentFilesTest, EmptyListLeavesTheMenuAlone)
{
    EXPECT_EQ((std::vector<Row>{exitItem}), tail());
    EXPECT_EQ(0, recent.count());
    EXPECT_FALSE(recent.holds(5900));
    EXPECT_EQ("<none>", path(5900));
}

TEST_F(RecentFilesTest, OpenedFilesStandNewestFirstAboveOneSeparator)
{
    ASSERT_EQ(1, recent.addToTop("C:\\a.tvd"));
    ASSERT_EQ(1, recent.addToTop("C:\\b.tvd"));
    ASSERT_EQ(1, recent.addToTop("C:\\c.tvd"));
    EXPECT_EQ((std::vector<Row>{{5900, "C:\\c.tvd", false},
                                {5901, "C:\\b.tvd", false},
                                {5902, "C:\\a.tvd", false},
                                separator, exitItem}),
              tail());
    EXPECT_EQ(3, recent.count());
    EXPECT_EQ("C:\\b.tvd", path(5901));
}

TEST_F(RecentFilesTest, ReopenedFileMovesUpOnceWhateverItsCase)
{
    recent.addToTop("C:\\a.tvd");
    recent.addToTop("C:\\b.tvd");
    recent.addToTop("C:\\c.tvd");
    recent.addToTop("c:\\B.TVD");
    EXPECT_EQ((std::vector<Row>{{5900, "c:\\B.TVD", false},
                                {5901, "C:\\c.tvd", false},
                                {5902, "C:\\a.tvd", false},
                                separator, exitItem}),
              tail());
    EXPECT_EQ(3, recent.count());

    recent.addToTop("c:\\b.tvd");
    EXPECT_EQ(3, recent.count());
    EXPECT_EQ(10, GetMenuItemCount(menu));
}

TEST_F(RecentFilesTest, SixthFileDropsTheOldest)
{
    for (const char* p : {"1", "2", "3", "4", "5", "6"})
        ASSERT_EQ(1, recent.addToTop(p));
    EXPECT_EQ((std::vector<Row>{{5900, "6", false},
                                {5901, "5", false},
                                {5902, "4", false},
                                {5903, "3", false},
                                {5904, "2", false},
                                separator, exitItem}),
              tail());
    EXPECT_EQ(5, recent.count());

    // A file already in a full list moves up without dropping another.
    recent.addToTop("3");
    EXPECT_EQ((std::vector<Row>{{5900, "3", false},
                                {5901, "6", false},
                                {5902, "5", false},
                                {5903, "4", false},
                                {5904, "2", false},
                                separator, exitItem}),
              tail());
}

TEST_F(RecentFilesTest, AppendKeepsOrderAndStopsAtFive)
{
    for (const char* p : {"A", "B", "C", "D", "E"})
        ASSERT_EQ(1, recent.append(p));
    EXPECT_EQ(0, recent.append("F"));
    EXPECT_EQ((std::vector<Row>{{5900, "A", false},
                                {5901, "B", false},
                                {5902, "C", false},
                                {5903, "D", false},
                                {5904, "E", false},
                                separator, exitItem}),
              tail());
}

TEST_F(RecentFilesTest, AppendedListThenOpenedFile)
{
    recent.append("C");
    recent.append("B");
    recent.append("A");
    recent.addToTop("C");
    EXPECT_EQ((std::vector<Row>{{5900, "C", false},
                                {5901, "B", false},
                                {5902, "A", false},
                                separator, exitItem}),
              tail());
}

TEST_F(RecentFilesTest, GrayedItemIsRefusedAndKeepsItsStateWhenMoved)
{
    recent.addToTop("A");
    recent.addToTop("B");
    recent.gray(5901);
    EXPECT_EQ("<none>", path(5901));
    EXPECT_EQ("B", path(5900));

    recent.addToTop("C");
    EXPECT_EQ((std::vector<Row>{{5900, "C", false},
                                {5901, "B", false},
                                {5902, "A", true},
                                separator, exitItem}),
              tail());
    EXPECT_EQ("<none>", path(5902));

    // Opening the grayed file again by another way brings it back enabled.
    recent.addToTop("a");
    EXPECT_EQ((std::vector<Row>{{5900, "a", false},
                                {5901, "C", false},
                                {5902, "B", false},
                                separator, exitItem}),
              tail());
}
