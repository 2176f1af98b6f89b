// Rows for a sorted (LBS_SORT) list box, gathered first and then put into
// the list in one go. The result is the one LB_ADDSTRING gives when the rows
// are added one by one in the order they were gathered: the same texts in
// the same order with the same item data. Only the work differs. The list
// box compares every new row with about log2(rows) others through
// CompareStringW, which under Wine costs more than everything else a view
// switch does; here each text is turned into its sort key once
// (LCMapStringA with the list's locale and NORM_IGNORECASE, the comparison
// LBS_SORT uses), the keys are sorted, and the rows are appended with
// LB_INSERTSTRING, which never sorts. Rows whose texts compare equal keep
// the order the list box's binary search would have given them. When the
// keys and CompareStringA disagree anywhere, the rows go in with LB_ADDSTRING
// after all.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class SortedRows {
public:
    // Forgets the gathered rows.
    void clear();
    // Gathers a row; the text is copied.
    void add(const char* text, LPARAM data);
    int count() const { return static_cast<int>(rows.size()); }
    // Appends the gathered rows to list, an LBS_SORT list box that holds no
    // rows yet, and forgets them. A row the list refuses is skipped. True
    // when the sort keys placed the rows, false when LB_ADDSTRING did.
    bool fill(HWND list);

private:
    struct Row {
        size_t text;   // offset into texts
        LPARAM data;
        size_t key;    // offset into keys
        int keyLength;
    };
    bool computeOrder(HWND list, std::vector<int>& order);
    int compareKeys(int a, int b) const;
    const char* textOf(int row) const { return texts.data() + rows[row].text; }

    std::vector<Row> rows;
    std::string texts;   // the rows' texts, each with its NUL
    std::string keys;    // their sort keys
};
