// Find in a list: which row after the selection holds a text, ignoring case.
// The rows are read through a callback, so the same rule serves a list box
// and a test's plain table.
#pragma once
#include <functional>

namespace RowSearch {

// True when text holds part anywhere, without regard to case: UTF-8 texts
// compared by their simple case folding ("łuk" finds "ŁUKASZ"), other
// (code page 1252) texts by their ASCII and Latin-1 letters. An empty part
// is found nowhere.
bool containsIgnoringCase(const char* text, const char* part);

// The first of count rows after row from (-1: from the top) whose text
// holds part, going round past the last row to the first and ending with
// from itself; -1 when none does.
int nextMatch(int count, int from, const std::function<const char*(int row)>& textOf, const char* part);

}  // namespace RowSearch
