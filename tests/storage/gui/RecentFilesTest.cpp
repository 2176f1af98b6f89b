#include "RecentFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One row of the File menu: command id (0 for a separator), text, grayed.
struct Row {
    UINT id;
    std::string text;
    bool grayed;
    bool operator==(const Row& o) const { return id == o.id && text == o.text && grayed == o.grayed; }
};

std::ostream& operator<<(std::ostream& out, const Row& r)
{
    return out << "{" << r.id << ", \"" << r.text << "\"" << (r.grayed ? ", grayed" : "") << "}";
}

// A File menu laid out like the program's: New, Open..., Save, Save as...,
// a separator, then Exit; the recent items go to position 5.
class RecentFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 40001, "&New");
        AppendMenuA(menu, MF_STRING, 40002, "&Open...");
        AppendMenuA(menu, MF_STRING, 40003, "&Save");
        AppendMenuA(menu, MF_STRING, 40004, "Save &as...");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 40005, "E&xit");
        recent.init(menu, 5, 5900, 5);
    }
    void TearDown() override { DestroyMenu(menu); }

    // The rows from position 5 to the end of the menu.
    std::vector<Row> tail() const
    {
        std::vector<Row> rows;
        for (int i = 5; i < GetMenuItemCount(menu); ++i) {
            char text[MAX_PATH] = "";
            MENUITEMINFOA item = {};
            item.cbSize = sizeof item;
            item.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE;
            item.dwTypeData = text;
            item.cch = sizeof text;
            GetMenuItemInfoA(menu, i, TRUE, &item);
            if (item.fType & MFT_SEPARATOR)
                text[0] = '\0';
            rows.push_back({item.wID, text, (item.fState & MFS_GRAYED) != 0});
        }
        return rows;
    }

    std::string path(int id) const
    {
        char buffer[MAX_PATH];
        return recent.pathOf(id, buffer, sizeof buffer) ? buffer : "<none>";
    }

    HMENU menu = nullptr;
    RecentFiles recent;
};

const Row separator = {0, "", false};
const Row exitItem = {40005, "E&xit", false};

} // namespace

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
