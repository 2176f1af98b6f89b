// What a merge of two changed copies of a data file brought in from the
// other copy, and each choice its rules made, in plain words for the user.
#pragma once
#include <string>
#include <vector>

class MergeReport {
public:
    // Names and ticks the report names one by one; the rest are counted.
    static constexpr size_t kListed = 10;

    // Changes of the other copy (the file on disk) that the result holds.
    int names = 0;        // names added
    int actions = 0;      // action items added
    int ticks = 0;        // action checkboxes ticked, unticked or dated
    int memos = 0;        // memos added
    int checkboxes = 0;   // single checkboxes added or changed
    int removed = 0;      // names, action items, memos and checkboxes deleted
    int renamed = 0;      // names and action items renamed
    // The first kListed names added, ticks ("Bob Jones / Returned the key")
    // and names and action items deleted ("Dev Patel (deleted)"), in the
    // order the merge met them; unlisted counts the others.
    std::vector<std::string> listed;
    int unlisted = 0;
    std::vector<std::string> choices;   // one line per choice, "Bob Jones / Dues: ..."

    void clear();
    void addChoice(const std::string& line) { choices.push_back(line); }
    // Names one more change: what() gives its words, asked only while the
    // list has room, so that a merge of thousands of ticks builds ten texts.
    template <class Words>
    void list(Words what)
    {
        if (listed.size() < kListed)
            listed.push_back(what());
        else
            unlisted++;
    }
    // True when the other copy brought nothing and no choice was made.
    bool empty() const;
    // "From the other copy: 1 name, 2 ticks."; then what was listed, "; "
    // between, on lines of about 80 characters, the last ending "and N
    // more" when more came; then the choices, one per line (CR LF between
    // lines, none after the last).
    std::string text() const;
};
