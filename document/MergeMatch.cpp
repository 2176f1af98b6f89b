#include "document/MergeMatch.h"

#include <unordered_map>

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
