// Matching the items of two lists by key, the k-th equal one with the k-th:
// names and action items by their text ignoring case, memos and single
// checkboxes by kind and text.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace MergeMatch {

// The key a name or an action item is matched by: its text with a-z as
// A-Z. Every comparison of such texts in the merge goes through it.
std::string keyOf(const char* text);

// For each of keys, the index in baseKeys of the base item it matches, or -1.
std::vector<int> byKey(const std::vector<std::string>& baseKeys, const std::vector<std::string>& keys);
// byKey, but where one list holds more items of a key than the other, the
// items matched are those that resemble each other most, in order:
// similarity(base, item) counts the entries the two have alike. So deleting
// one of two equal items never moves the other's entries. Runs of equal
// keys too long to weigh keep the k-th with the k-th.
std::vector<int> byKeyAndContent(const std::vector<std::string>& baseKeys, const std::vector<std::string>& keys,
                                 const std::function<int(int base, int item)>& similarity);
// The other direction of a matching: for each of count base items, the
// index of the item matched to it, or -1.
std::vector<int> inverse(const std::vector<int>& matched, size_t count);
// The index of the one -1 in matching, or -1 when there are none or several.
int soleUnmatched(const std::vector<int>& matching);

}  // namespace MergeMatch
