#include "document/MergeMatch.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

// The most pairs of one key weighed against each other; beyond it the
// k-th is matched with the k-th.
const size_t kMostWeighed = 250000;

// Chooses which `shorter` items of a run match which of the `longer`, in
// order, for the greatest summed similarity; ties go to the earlier items.
// similarity(l, s) takes positions in the two runs. Returns for each
// position of the shorter run its position in the longer.
std::vector<int> alignRun(size_t longer, size_t shorter, const std::function<int(size_t, size_t)>& similarity)
{
    // best[i][d]: the most similarity for longer[i..] and shorter[i - d..],
    // where d (items of longer left out so far) runs 0..slack.
    size_t slack = longer - shorter;
    size_t width = slack + 1;
    std::vector<long long> best((longer + 1) * width, 0);
    auto at = [&](size_t i, size_t d) -> long long& { return best[i * width + d]; };
    for (size_t i = longer; i-- > 0;)
        for (size_t d = 0; d <= slack && d <= i; ++d) {
            size_t j = i - d;
            if (j >= shorter) {
                at(i, d) = 0;
                continue;
            }
            long long take = similarity(i, j) + at(i + 1, d);
            long long skip = d < slack ? at(i + 1, d + 1) : -1;
            at(i, d) = take >= skip ? take : skip;
        }
    std::vector<int> chosen(shorter, -1);
    size_t d = 0;
    for (size_t i = 0; i < longer && i - d < shorter; ++i) {
        size_t j = i - d;
        long long take = similarity(i, j) + at(i + 1, d);
        long long skip = d < slack ? at(i + 1, d + 1) : -1;
        if (take >= skip)
            chosen[j] = int(i);
        else
            ++d;
    }
    return chosen;
}

// Some key occurs twice in keys.
bool repeats(const std::vector<std::string>& keys)
{
    if (keys.size() <= 8) {
        for (size_t i = 0; i < keys.size(); ++i)
            for (size_t j = i + 1; j < keys.size(); ++j)
                if (keys[i] == keys[j])
                    return true;
        return false;
    }
    std::unordered_set<std::string_view> seen;
    seen.reserve(keys.size());
    for (const std::string& key : keys)
        if (!seen.insert(key).second)
            return true;
    return false;
}

}  // namespace

std::string MergeMatch::keyOf(const char* text)
{
    std::string key(text);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return key;
}

std::vector<int> MergeMatch::byKey(const std::vector<std::string>& baseKeys, const std::vector<std::string>& keys)
{
    // A person's few memos and checkboxes: a plain search beats hashing.
    if (baseKeys.size() * keys.size() <= 64) {
        std::vector<int> matched(keys.size(), -1);
        std::vector<char> taken(baseKeys.size(), 0);
        for (size_t i = 0; i < keys.size(); ++i)
            for (size_t b = 0; b < baseKeys.size(); ++b)
                if (!taken[b] && baseKeys[b] == keys[i]) {
                    taken[b] = 1;
                    matched[i] = int(b);
                    break;
                }
        return matched;
    }
    // The first base item of each key not taken yet; next chains the base
    // items of one key in order.
    std::unordered_map<std::string_view, int> first;
    first.reserve(baseKeys.size());
    std::vector<int> next(baseKeys.size(), -1);
    for (size_t i = baseKeys.size(); i-- > 0;) {
        auto found = first.emplace(baseKeys[i], int(i));
        if (!found.second) {
            next[i] = found.first->second;
            found.first->second = int(i);
        }
    }
    std::vector<int> matched(keys.size(), -1);
    for (size_t i = 0; i < keys.size(); ++i) {
        auto found = first.find(keys[i]);
        if (found == first.end() || found->second < 0)
            continue;
        matched[i] = found->second;
        found->second = next[size_t(found->second)];
    }
    return matched;
}

std::vector<int> MergeMatch::byKeyAndContent(const std::vector<std::string>& baseKeys, const std::vector<std::string>& keys,
                                             const std::function<int(int, int)>& similarity)
{
    std::vector<int> matched = byKey(baseKeys, keys);
    // Only a key that occurs more often in one list than in the other, and
    // twice in one of them, is weighed.
    if (!repeats(baseKeys) && !repeats(keys))
        return matched;
    std::unordered_map<std::string_view, std::pair<int, int>> counts;   // key -> base items, items
    for (const std::string& key : baseKeys)
        counts[key].first++;
    for (const std::string& key : keys) {
        auto found = counts.find(key);
        if (found != counts.end())
            found->second.second++;
    }
    // The runs to weigh: the base items and the items of each uneven key, in order.
    std::unordered_map<std::string_view, std::pair<std::vector<int>, std::vector<int>>> runs;
    for (size_t i = 0; i < baseKeys.size(); ++i) {
        const auto& count = counts[baseKeys[i]];
        if (count.first != count.second && count.second > 0)
            runs[baseKeys[i]].first.push_back(int(i));
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        auto found = runs.find(keys[i]);
        if (found != runs.end())
            found->second.second.push_back(int(i));
    }
    for (auto& run : runs) {
        const std::vector<int>& base = run.second.first;
        const std::vector<int>& items = run.second.second;
        if (base.size() == items.size() || base.empty() || items.empty())
            continue;
        size_t longer = base.size() > items.size() ? base.size() : items.size();
        size_t shorter = base.size() + items.size() - longer;
        if (shorter * (longer - shorter + 1) > kMostWeighed)
            continue;
        bool baseLonger = base.size() > items.size();
        std::vector<int> chosen = alignRun(longer, shorter, [&](size_t l, size_t s) {
            return baseLonger ? similarity(base[l], items[s]) : similarity(base[s], items[l]);
        });
        for (int i : items)
            matched[size_t(i)] = -1;
        for (size_t s = 0; s < shorter; ++s) {
            size_t l = size_t(chosen[s]);
            if (baseLonger)
                matched[size_t(items[s])] = base[l];
            else
                matched[size_t(items[l])] = base[s];
        }
    }
    return matched;
}

std::vector<int> MergeMatch::inverse(const std::vector<int>& matched, size_t count)
{
    std::vector<int> other(count, -1);
    for (size_t i = 0; i < matched.size(); ++i)
        if (matched[i] >= 0)
            other[size_t(matched[i])] = int(i);
    return other;
}

int MergeMatch::soleUnmatched(const std::vector<int>& matching)
{
    int found = -1;
    for (size_t i = 0; i < matching.size(); ++i) {
        if (matching[i] >= 0)
            continue;
        if (found >= 0)
            return -1;
        found = int(i);
    }
    return found;
}
