#include "MergeMatch.h"

#include <unordered_map>

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
    // The base items of each key in order, and how many of them are taken.
    std::unordered_map<std::string, std::pair<std::vector<int>, size_t>> byText;
    for (size_t i = 0; i < baseKeys.size(); ++i)
        byText[baseKeys[i]].first.push_back(int(i));
    std::vector<int> matched(keys.size(), -1);
    for (size_t i = 0; i < keys.size(); ++i) {
        auto found = byText.find(keys[i]);
        if (found == byText.end())
            continue;
        auto& bucket = found->second;
        if (bucket.second < bucket.first.size())
            matched[i] = bucket.first[bucket.second++];
    }
    return matched;
}

std::vector<int> MergeMatch::byKeyAndContent(const std::vector<std::string>& baseKeys, const std::vector<std::string>& keys,
                                             const std::function<int(int, int)>& similarity)
{
    std::vector<int> matched = byKey(baseKeys, keys);
    // Runs of equal keys: the base items and the items of each key, in order.
    std::unordered_map<std::string, std::pair<std::vector<int>, std::vector<int>>> runs;
    for (size_t i = 0; i < baseKeys.size(); ++i)
        runs[baseKeys[i]].first.push_back(int(i));
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
