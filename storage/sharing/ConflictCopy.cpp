#include "storage/sharing/ConflictCopy.h"

#include <algorithm>
#include <map>
#include <set>

#include "storage/file/AnsiText.h"
#include "storage/format/DataFile.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "document/Document.h"
#include "document/Merge.h"
#include "document/MergeMatch.h"
#include "document/MergeReport.h"
#include "document/ReloadSummary.h"

namespace {

std::string upper(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = c >= 'a' && c <= 'z' ? char(c - 32) : c;
    return out;
}

bool isDigits(const std::string& text, size_t at, size_t count)
{
    if (text.size() < at + count)
        return false;
    for (size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// One document's content as sets of texts, letters matched in any case: a
// name's ticked action items and its memos and checkboxes.
struct Content {
    struct Person {
        std::set<std::string> ticked;   // action item keys
        std::set<std::string> own;      // kind + text of memos and checkboxes
    };
    std::set<std::string> actions;
    std::map<std::string, Person> people;   // the first of equal names

    explicit Content(const Document& doc)
    {
        std::string key;
        for (int32_t a = 0; a < doc.actionCount; ++a)
            if (doc.actions[a].text[0]) {
                AnsiText::caseKey(doc.actions[a].text, key);
                actions.insert(key);
            }
        for (int32_t n = 0; n < doc.namesCount; ++n) {
            const NameRecord& record = doc.names[n];
            if (!record.name[0])
                continue;
            AnsiText::caseKey(record.name, key);
            if (people.count(key))
                continue;
            Person& person = people[key];
            for (int32_t e = 0; e < record.entryCount; ++e) {
                const Entry& entry = record.entries[e];
                if (entry.kind == ActionDone) {
                    std::string action;
                    AnsiText::caseKey(doc.actionText(entry.actionIndex), action);
                    person.ticked.insert(action);
                } else if (hasOwnText(entry.kind) && entry.text) {
                    person.own.insert(std::to_string(entry.kind) + " " + entry.text);
                }
            }
        }
    }

    // Whether everything of this is in other too.
    bool within(const Content& other) const
    {
        for (const std::string& action : actions)
            if (!other.actions.count(action))
                return false;
        for (const auto& person : people) {
            auto found = other.people.find(person.first);
            if (found == other.people.end())
                return false;
            for (const std::string& tick : person.second.ticked)
                if (!found->second.ticked.count(tick))
                    return false;
            for (const std::string& own : person.second.own)
                if (!found->second.own.count(own))
                    return false;
        }
        return true;
    }
};

} // namespace

bool ConflictCopy::isCopyOf(const std::string& name, const std::string& dataName, const std::string& thisComputer)
{
    const char* dot = findExtension(dataName.c_str());
    if (!dot)
        return false;
    const std::string stem = upper(dataName.substr(0, size_t(dot - dataName.c_str())));
    const std::string extension = upper(dot);
    const std::string candidate = upper(name);
    if (stem.empty() || candidate.size() <= stem.size() + extension.size() || candidate.compare(0, stem.size(), stem) != 0
        || candidate.compare(candidate.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    // What the client put between the name and its extension.
    const std::string middle = candidate.substr(stem.size(), candidate.size() - stem.size() - extension.size());
    if (middle.size() > 2 && middle.compare(0, 2, " (") == 0 && middle.back() == ')')
        return middle.find("CONFLICTED COPY") != std::string::npos;
    if (!thisComputer.empty() && middle == "-" + upper(thisComputer))
        return true;
    // ".sync-conflict-YYYYMMDD-HHMMSS-DEVICE"
    const std::string sync = ".SYNC-CONFLICT-";
    if (middle.compare(0, sync.size(), sync) != 0)
        return false;
    size_t at = sync.size();
    if (!isDigits(middle, at, 8) || middle.size() < at + 16 || middle[at + 8] != '-' || !isDigits(middle, at + 9, 6)
        || middle[at + 15] != '-')
        return false;
    std::string device = middle.substr(at + 16);
    return !device.empty() && std::all_of(device.begin(), device.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
    });
}

std::vector<std::string> ConflictCopy::copiesAmong(const std::vector<std::string>& names, const std::string& dataName,
                                                   const std::string& thisComputer)
{
    std::vector<std::string> copies;
    for (const std::string& name : names)
        if (isCopyOf(name, dataName, thisComputer))
            copies.push_back(name);
    std::sort(copies.begin(), copies.end());
    return copies;
}

std::vector<std::string> ConflictCopy::findFor(const char* dataPath, const std::string& thisComputer)
{
    const char* name = fileNamePart(dataPath);
    const char* dot = findExtension(name);
    if (!*name || !dot)
        return {};
    std::string folder(dataPath, size_t(name - dataPath));
    std::string stem(name, size_t(dot - name));
    std::vector<std::string> found;
    for (const std::string& copy : copiesAmong(filesIn(folder.empty() ? "./" : folder.c_str(), stem), name, thisComputer)) {
        Document doc;
        std::string path = folder + copy;
        LoadReport report = loadDataFile(doc, path.c_str());
        if (report.loaded() && !report.damaged() && report.messages().empty())
            found.push_back(path);
    }
    return found;
}

bool ConflictCopy::isCommonBase(const Document& base, const Document& a, const Document& b)
{
    Content ancestor(base);
    return ancestor.within(Content(a)) && ancestor.within(Content(b));
}

std::string ConflictCopy::question(const std::string& dataName, const std::string& copyName, const char* when)
{
    return "A copy of " + dataName + " made by a sync client was found:\n" + copyName + ", " + when + ".\nMerge it into "
           + dataName + "?";
}

int ConflictCopy::merge(const Document& doc, const Document& copy, const std::vector<std::string>& bases,
                        Document& merged, MergeReport& report)
{
    Document base;
    for (const std::string& bytes : bases) {
        LoadReport loaded = loadDataBytes(base, bytes.data(), bytes.size());
        if (loaded.loaded() && !loaded.damaged() && isCommonBase(base, doc, copy))
            return mergeDocuments(base, doc, copy, merged, report);
    }
    if (!base.resetDocument(0, 0))
        return 0;
    if (!mergeDocuments(base, doc, copy, merged, report))
        return 0;
    // Against nothing, what the copy deleted (or never had) stays: the names
    // of the version this program read that the copy lacks are said, so that
    // "Nothing new" never hides a delete that was not applied.
    Document read;
    if (bases.empty())
        return 1;
    LoadReport readBack = loadDataBytes(read, bases[0].data(), bases[0].size());
    if (!readBack.loaded() || readBack.damaged())
        return 1;
    std::map<std::string, int> lost;
    for (const std::string& name : ReloadSummary::namesGone(read, copy))
        lost[MergeMatch::keyOf(name.c_str())]++;
    for (int32_t n = 0; n < merged.namesCount; ++n) {
        if (!merged.names[n].name[0])
            continue;
        int& count = lost[MergeMatch::keyOf(merged.names[n].name)];
        if (count > 0) {
            count--;
            report.addChoice(std::string(merged.names[n].name) + ": not in the other copy; kept");
        }
    }
    return 1;
}

bool ConflictOffers::due(const std::string& copyPath, const FileStamp& stamp) const
{
    for (const std::string& path : merged_)
        if (path == copyPath)
            return false;
    auto found = declined_.find(copyPath);
    return found == declined_.end() || found->second != stamp;
}

std::vector<std::string> ConflictOffers::takeMerged()
{
    std::vector<std::string> taken;
    taken.swap(merged_);
    return taken;
}

void ConflictOffers::clear()
{
    declined_.clear();
    merged_.clear();
}
