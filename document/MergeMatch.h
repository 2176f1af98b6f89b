// Matching the items of two lists by key, the k-th equal one with the k-th:
// names and action items by their case-folded text, memos and single
// checkboxes by kind and text.
#pragma once
#include <string>
#include <vector>

namespace MergeMatch {

// For each of keys, the index in baseKeys of the base item it matches, or -1.
std::vector<int> byKey(const std::vector<std::string>& baseKeys, const std::vector<std::string>& keys);
// The other direction of a matching: for each of count base items, the
// index of the item matched to it, or -1.
std::vector<int> inverse(const std::vector<int>& matched, size_t count);
// The index of the one -1 in matching, or -1 when there are none or several.
int soleUnmatched(const std::vector<int>& matching);

}  // namespace MergeMatch
