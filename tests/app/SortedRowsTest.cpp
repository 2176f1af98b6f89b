// SortedRows against the list box itself: the same rows in the same order
// with the same item data as LB_ADDSTRING row by row, also for texts that
// compare equal (case, repeats), punctuation and 8-bit characters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "app/SortedRows.h"

namespace {

using Rows = std::vector<std::pair<std::string, LPARAM>>;

class SortedList {
public:
    SortedList() {
        parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        list = CreateWindowA("LISTBOX", "", WS_CHILD | WS_VSCROLL | LBS_NOTIFY | LBS_SORT, 0, 0, 200, 200, parent,
                             nullptr, nullptr, nullptr);
    }
    ~SortedList() { DestroyWindow(parent); }
    Rows rows() const {
        Rows out;
        int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            out.emplace_back(text, SendMessageA(list, LB_GETITEMDATA, i, 0));
        }
        return out;
    }
    HWND parent;
    HWND list;
};

// Both ways of filling; returns whether SortedRows used its keys.
bool fillBothWays(const std::vector<std::string>& texts, Rows& expected, Rows& actual) {
    SortedList plain, fast;
    SortedRows rows;
    for (size_t i = 0; i < texts.size(); ++i) {
        LRESULT at = SendMessageA(plain.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i].c_str()));
        SendMessageA(plain.list, LB_SETITEMDATA, at, static_cast<LPARAM>(i * 7));
        rows.add(texts[i].c_str(), static_cast<LPARAM>(i * 7));
    }
    bool keyed = rows.fill(fast.list);
    expected = plain.rows();
    actual = fast.rows();
    return keyed;
}

TEST(SortedRowsTest, FillsLikeAddStringRowByRow) {
    // Names as the start-up benchmark makes them: many repeats among 3,000.
    const char* first[] = {"Ann", "ann", "Bob", "BOB", "Carla", "Dev"};
    const char* last[] = {"Smith", "smith", "Jones", "Diaz"};
    std::vector<std::string> names;
    unsigned seed = 12345;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        names.push_back(std::string(first[(seed >> 8) % 6]) + " " + last[(seed >> 12) % 4] + " " +
                        std::to_string((seed >> 16) % 40));
    }
    Rows expected, actual;
    EXPECT_TRUE(fillBothWays(names, expected, actual));
    EXPECT_EQ(expected, actual);

    // Punctuation, blanks, digits and 8-bit letters, each in several cases and repeated.
    const char* odd[] = {"O'Brien", "OBrien", "o'brien", "Ann-Marie", "AnnMarie", "ann marie", "  lead", "12", "1-2",
                         "x.y", "x y", "Zo\xeb", "zoe", "\xc9mile", "Emile", "emile", "-", "'", "a", "A", "b"};
    std::vector<std::string> mixed;
    for (int round = 0; round < 6; ++round)
        for (const char* text : odd) mixed.push_back(round % 2 ? text : std::string(text) + " " + std::to_string(round % 3));
    fillBothWays(mixed, expected, actual);
    EXPECT_EQ(expected, actual);
}

}  // namespace
