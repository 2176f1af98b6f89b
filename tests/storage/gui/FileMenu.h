#pragma once
// A File menu laid out like the program's, for the recent-file tests: New,
// Open..., Save, Save as..., a separator, then Exit; the recent items go to
// position 5 with ids from 5900.
#include "storage/win32/RecentFiles.h"

#include <gtest/gtest.h>

#include <ostream>
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

inline std::ostream& operator<<(std::ostream& out, const Row& r)
{
    return out << "{" << r.id << ", \"" << r.text << "\"" << (r.grayed ? ", grayed" : "") << "}";
}

class FileMenuTest : public ::testing::Test {
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
        std::string path = recent.pathOf(id);
        return path.empty() ? "<none>" : path;
    }

    HMENU menu = nullptr;
    RecentFiles recent;
};

inline const Row separator = {0, "", false};
inline const Row exitItem = {40005, "E&xit", false};

} // namespace
