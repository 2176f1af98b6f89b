#include "document/MergeReport.h"

namespace {

// "1 name" / "2 names"; nothing for 0.
void addCount(std::string& out, int count, const char* one, const char* many)
{
    if (!count)
        return;
    if (!out.empty())
        out += ", ";
    out += std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

void MergeReport::clear()
{
    names = actions = ticks = memos = checkboxes = removed = renamed = unlisted = 0;
    listed.clear();
    choices.clear();
}

bool MergeReport::empty() const
{
    return !names && !actions && !ticks && !memos && !checkboxes && !removed && !renamed && choices.empty();
}

std::string MergeReport::text() const
{
    std::string counts;
    addCount(counts, names, "name", "names");
    addCount(counts, actions, "action item", "action items");
    addCount(counts, ticks, "tick", "ticks");
    addCount(counts, memos, "memo", "memos");
    addCount(counts, checkboxes, "checkbox", "checkboxes");
    addCount(counts, removed, "deletion", "deletions");
    addCount(counts, renamed, "rename", "renames");
    std::string out = counts.empty() ? "Nothing new from the other copy." : "From the other copy: " + counts + ".";
    // The message window does not wrap: a new line before the item that
    // would carry one past kWidth characters.
    const size_t kWidth = 80;
    std::string row;
    auto put = [&](const std::string& item, bool last) {
        std::string piece = item + (last ? "" : ";");
        if (!row.empty() && row.size() + 1 + piece.size() > kWidth) {
            out += "\r\n" + row;
            row.clear();
        }
        row += (row.empty() ? "" : " ") + piece;
    };
    for (size_t i = 0; i < listed.size(); ++i)
        put(listed[i], i + 1 == listed.size() && !unlisted);
    if (unlisted)
        put("and " + std::to_string(unlisted) + " more", true);
    if (!row.empty())
        out += "\r\n" + row;
    for (const std::string& line : choices)
        out += "\r\n" + line;
    return out;
}
