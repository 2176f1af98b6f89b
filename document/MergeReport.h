// What a merge of two changed copies of a data file brought in from the
// other copy, and each choice its rules made, in plain words for the user.
#pragma once
#include <string>
#include <vector>

class MergeReport {
public:
    // Changes of the other copy (the file on disk) that the result holds.
    int names = 0;        // names added
    int actions = 0;      // action items added
    int ticks = 0;        // action checkboxes ticked, unticked or dated
    int memos = 0;        // memos added
    int checkboxes = 0;   // single checkboxes added or changed
    int removed = 0;      // names, action items, memos and checkboxes deleted
    int renamed = 0;      // names and action items renamed
    std::vector<std::string> choices;   // one line per choice, "Bob Jones / Dues: ..."

    void clear();
    void addChoice(const std::string& line) { choices.push_back(line); }
    // True when the other copy brought nothing and no choice was made.
    bool empty() const;
    // "From the other copy: 1 name, 2 ticks." and the choices, one per line
    // (CR LF between lines, none after the last).
    std::string text() const;
};
