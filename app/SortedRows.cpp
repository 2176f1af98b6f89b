#include "app/SortedRows.h"

#include <algorithm>
#include <cstring>

namespace {

// Rows below this many go in with LB_ADDSTRING: too few to gain anything.
const size_t FewRows = 64;

// Counts per group of equal keys, for "how many rows of earlier groups are
// in the list so far" (a Fenwick tree).
class GroupCounts {
public:
    explicit GroupCounts(size_t groups) : counts(groups + 1, 0) {}
    void add(size_t group) {
        for (size_t i = group + 1; i < counts.size(); i += i & (0 - i)) counts[i]++;
    }
    // Rows counted in the groups before group.
    int before(size_t group) const {
        int sum = 0;
        for (size_t i = group; i > 0; i -= i & (0 - i)) sum += counts[i];
        return sum;
    }

private:
    std::vector<int> counts;
};

// Where the list box's binary search puts a new row that compares equal to
// the rows [first, first + equal) of a list of count rows: it probes the
// middle of the rows still in question and inserts before the first equal
// row it meets (Wine's LISTBOX_FindStringPos).
int landingInRun(int count, int first, int equal) {
    int low = 0, high = count - 1;
    while (low <= high) {
        int probe = (low + high) / 2;
        if (probe < first) low = probe + 1;
        else if (probe >= first + equal) high = probe - 1;
        else return probe - first;
    }
    return 0;  // no equal row yet
}

}  // namespace

void SortedRows::clear() {
    rows.clear();
    texts.clear();
    keys.clear();
}

void SortedRows::add(const char* text, LPARAM data) {
    rows.push_back(Row{texts.size(), data, 0, 0});
    texts.append(text);
    texts.push_back('\0');
}

int SortedRows::compareKeys(int a, int b) const {
    const Row& x = rows[a];
    const Row& y = rows[b];
    int common = std::min(x.keyLength, y.keyLength);
    int order = std::memcmp(keys.data() + x.key, keys.data() + y.key, static_cast<size_t>(common));
    if (order) return order;
    return x.keyLength - y.keyLength;
}

// The rows in the order the list box would show them; false when a sort key
// can't be made or disagrees with CompareStringA.
bool SortedRows::computeOrder(HWND list, std::vector<int>& order) {
    LCID locale = static_cast<LCID>(SendMessageA(list, LB_GETLOCALE, 0, 0));
    const DWORD flags = NORM_IGNORECASE;
    for (Row& row : rows) {
        const char* text = texts.data() + row.text;
        int length = LCMapStringA(locale, LCMAP_SORTKEY | flags, text, -1, nullptr, 0);
        if (length <= 0) return false;
        row.key = keys.size();
        row.keyLength = length;
        keys.resize(keys.size() + static_cast<size_t>(length));
        if (LCMapStringA(locale, LCMAP_SORTKEY | flags, text, -1, &keys[row.key], length) != length) return false;
    }
    int count = static_cast<int>(rows.size());
    std::vector<int> sorted(rows.size());
    for (int i = 0; i < count; ++i) sorted[i] = i;
    std::sort(sorted.begin(), sorted.end(), [this](int a, int b) { return compareKeys(a, b) < 0; });

    // Neighbours must compare as their keys do, or the keys are no guide.
    std::vector<size_t> group(rows.size());
    size_t groups = 1;
    group[sorted[0]] = 0;
    for (int k = 1; k < count; ++k) {
        bool equal = compareKeys(sorted[k - 1], sorted[k]) == 0;
        int expected = equal ? CSTR_EQUAL : CSTR_LESS_THAN;
        if (CompareStringA(locale, flags, textOf(sorted[k - 1]), -1, textOf(sorted[k]), -1) != expected) return false;
        if (!equal) groups++;
        group[sorted[k]] = groups - 1;
    }

    // Each group's place in the result, then its rows placed in gathering
    // order as the list box's search would place them.
    std::vector<int> start(groups + 1, 0);
    for (int i = 0; i < count; ++i) start[group[i] + 1]++;
    for (size_t g = 0; g < groups; ++g) start[g + 1] += start[g];
    std::vector<int> filled(groups, 0);
    GroupCounts counts(groups);
    order.assign(rows.size(), 0);
    for (int i = 0; i < count; ++i) {
        size_t g = group[i];
        int* run = &order[static_cast<size_t>(start[g])];
        int at = filled[g] ? landingInRun(i, counts.before(g), filled[g]) : 0;
        std::memmove(run + at + 1, run + at, static_cast<size_t>(filled[g] - at) * sizeof(int));
        run[at] = i;
        filled[g]++;
        counts.add(g);
    }
    return true;
}

bool SortedRows::fill(HWND list) {
    std::vector<int> order;
    bool ordered = rows.size() >= FewRows && computeOrder(list, order);
    UINT message = ordered ? LB_INSERTSTRING : LB_ADDSTRING;
    // LB_INSERTSTRING at -1 appends; LB_ADDSTRING ignores wParam.
    for (size_t k = 0; k < rows.size(); ++k) {
        const Row& row = rows[ordered ? static_cast<size_t>(order[k]) : k];
        LRESULT at = SendMessageA(list, message, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(texts.data() + row.text));
        if (at == LB_ERR || at == LB_ERRSPACE) continue;
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), row.data);
    }
    clear();
    return ordered;
}
