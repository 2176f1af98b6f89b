#include "document/ReloadSummary.h"

#include <map>

#include "document/Document.h"
#include "document/Merge.h"
#include "document/MergeMatch.h"

namespace {

// "1 name added" / "2 names added"; nothing for 0.
void addCount(std::string& out, int count, const char* one, const char* many)
{
    if (count <= 0)
        return;
    if (!out.empty())
        out += ", ";
    out += std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::vector<std::string> ReloadSummary::namesGone(const Document& from, const Document& to)
{
    std::map<std::string, int> left;
    for (int32_t i = 0; i < to.namesCount; ++i)
        if (to.names[i].name[0])
            left[MergeMatch::keyOf(to.names[i].name)]++;
    std::vector<std::string> gone;
    for (int32_t i = 0; i < from.namesCount; ++i) {
        if (!from.names[i].name[0])
            continue;
        int& count = left[MergeMatch::keyOf(from.names[i].name)];
        if (count > 0)
            count--;
        else
            gone.push_back(from.names[i].name);
    }
    return gone;
}

std::string ReloadSummary::between(const Document& before, const Document& after, std::vector<std::string>& deletedHere)
{
    // Counted as a merge counts what the other copy brought to a copy that
    // changed nothing.
    Document merged;
    MergeReport report;
    if (!mergeDocuments(before, before, after, merged, report))
        return "";
    std::vector<std::string> kept;
    if (!deletedHere.empty()) {
        std::map<std::string, int> back;
        for (const std::string& name : namesGone(after, before))
            back[MergeMatch::keyOf(name.c_str())]++;
        for (auto name = deletedHere.begin(); name != deletedHere.end();) {
            int& count = back[MergeMatch::keyOf(name->c_str())];
            if (count > 0) {
                count--;
                kept.push_back(*name);
                name = deletedHere.erase(name);
            } else {
                ++name;
            }
        }
    }
    std::string out;
    addCount(out, report.names - int(kept.size()), "name added", "names added");
    addCount(out, report.actions, "action item added", "action items added");
    addCount(out, report.ticks, "tick changed", "ticks changed");
    addCount(out, report.memos, "memo added", "memos added");
    addCount(out, report.checkboxes, "checkbox changed", "checkboxes changed");
    addCount(out, report.removed, "deletion", "deletions");
    addCount(out, report.renamed, "rename", "renames");
    // The status bar has room for a few.
    const size_t kNamed = 3;
    size_t named = kept.size() > kNamed ? kNamed : kept.size();
    for (size_t i = 0; i < named; ++i)
        out += std::string(out.empty() ? "" : i && i + 1 == named && named == kept.size() ? " and " : ", ") + kept[i];
    if (kept.size() > named)
        out += " and " + std::to_string(kept.size() - named) + " more";
    if (!kept.empty())
        out += " kept";
    return out;
}
