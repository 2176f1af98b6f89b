// The three-way merge: one case per rule, written in a short notation, and
// random edits of two copies that must merge to both sets of edits applied.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "document/Merge.h"
#include "storage/format/DataFile.h"

using namespace testing_support;

namespace {

// A document in one line: "Dues,Form | Ann: 1@03/14/26 09:05 AM; 0; M Phoned; C Guest | Bob: 0; 0".
// Action items first, then each name with its entries in list order: "0"
// and "1" are the checkboxes of the action items in turn, "M text" a memo,
// "C text" and "D text" an open and a ticked single checkbox; "@date" adds a date.
void build(Document& doc, const std::string& notation)
{
    std::vector<std::string> groups;
    std::stringstream in(notation);
    for (std::string group; std::getline(in, group, '|');)
        groups.push_back(group);
    auto trim = [](std::string text) {
        size_t first = text.find_first_not_of(' ');
        size_t last = text.find_last_not_of(' ');
        return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    };
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    std::stringstream actions(groups.empty() ? "" : groups[0]);
    for (std::string action; std::getline(actions, action, ',');)
        if (!trim(action).empty()) {
            ASSERT_EQ(doc.addActionItem(trim(action).c_str()), 1);
        }
    for (size_t g = 1; g < groups.size(); ++g) {
        std::string group = groups[g];
        size_t colon = group.find(':');
        int32_t slot = doc.appendName(trim(group.substr(0, colon)).c_str());
        ASSERT_GE(slot, 0);
        std::vector<std::string> entries;
        std::stringstream list(colon == std::string::npos ? "" : group.substr(colon + 1));
        for (std::string entry; std::getline(list, entry, ';');)
            if (!trim(entry).empty())
                entries.push_back(trim(entry));
        Entry* out = doc.takeEntryList(doc.names[slot], int32_t(entries.size()) + Document::kEntryStep);
        ASSERT_NE(out, nullptr);
        int32_t action = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            std::string text = entries[i], date;
            size_t at = text.find('@');
            if (at != std::string::npos) {
                date = text.substr(at + 1);
                text = text.substr(0, at);
            }
            Entry entry = {};
            char kind = text[0];
            if (kind == '0' || kind == '1') {
                entry.kind = kind - '0';
                entry.actionIndex = action++;
            } else {
                entry.kind = kind == 'M' ? EntryMemo : kind == 'C' ? CheckboxOpen : CheckboxDone;
                std::string own = trim(text.substr(1));
                entry.text = doc.keepText(own.c_str(), own.size());
            }
            Document::copyField(entry.date, sizeof entry.date, date.c_str());
            out[i] = entry;
        }
        doc.finishEntryList(doc.names[slot], int32_t(entries.size()));
    }
}

// The notation of doc, with its live items only.
std::string notationOf(const Document& doc)
{
    std::string out;
    for (int32_t i = 0; i < doc.actionCount; ++i)
        if (doc.actions[i].text[0])
            out += (out.empty() ? "" : ",") + std::string(doc.actions[i].text);
    for (int32_t n = 0; n < doc.namesCount; ++n) {
        const NameRecord& record = doc.names[n];
        if (!record.name[0])
            continue;
        out += std::string(" | ") + record.name + ":";
        const char* separator = " ";
        for (int32_t k = 0; k < record.entryCount; ++k) {
            const Entry& e = record.entries[k];
            if (e.kind == EntryDeleted)
                continue;
            out += separator;
            separator = "; ";
            if (isActionKind(e.kind))
                out += std::to_string(e.kind);
            else
                out += std::string(e.kind == EntryMemo ? "M " : e.kind == CheckboxOpen ? "C " : "D ") + e.text;
            if (e.date[0])
                out += std::string("@") + e.date;
        }
    }
    return out;
}

// What the writer makes of doc.
std::string bytesOf(Document& doc)
{
    ScratchFolder folder;
    std::string path = folder.file("out.tvd");
    EXPECT_EQ(writeDataFile(doc, path.c_str()), SaveResult::Saved);
    return readBytes(path);
}

struct MergeCase {
    const char* rule;
    const char* base;
    const char* mine;
    const char* theirs;
    const char* result;
    const char* report;   // the report's text
};

const MergeCase kCases[] = {
    {"nothing changed", "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned", "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned",
     "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned", "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned",
     "Nothing new from the other copy."},
    {"a change on each side stands", "Dues,Form | Ann: 0; 0 | Bob: 0; 0", "Dues,Form | Ann: 1@12/08/26 10:02 AM; 0 | Bob: 0; 0",
     "Dues,Form | Ann: 0; 0 | Bob: 0; 1@12/08/26 10:15 AM | Cy: 0; 0",
     "Dues,Form | Ann: 1@12/08/26 10:02 AM; 0 | Bob: 0; 1@12/08/26 10:15 AM | Cy: 0; 0",
     "From the other copy: 1 name, 1 tick."},
    {"a name added on both sides is one, matched ignoring case", "Dues | Ann: 0", "Dues | Ann: 0 | cy lee: 1@12/08/26 10:02 AM",
     "Dues | Ann: 0 | Cy Lee: 0; M Met", "Dues | Ann: 0 | Cy Lee: 1@12/08/26 10:02 AM; M Met",
     "From the other copy: 1 memo."},
    {"a name deleted on one side and untouched on the other goes", "Dues | Ann: 0 | Bob: 1@x", "Dues | Bob: 1@x",
     "Dues | Ann: 0 | Bob: 0@x", "Dues | Bob: 0@x", "From the other copy: 1 tick."},
    {"a name deleted here but ticked there stays with its tick", "Dues | Ann: 0 | Bob: 0", "Dues | Bob: 0",
     "Dues | Ann: 1@12/08/26 10:15 AM | Bob: 0", "Dues | Ann: 1@12/08/26 10:15 AM | Bob: 0",
     "From the other copy: 1 tick.\r\nAnn: deleted here but changed in the other copy; kept"},
    {"a name deleted there but given a memo here stays, after theirs", "Dues | Ann: 0 | Bob: 0",
     "Dues | Ann: 0; M Paid cash | Bob: 0", "Dues | Bob: 0", "Dues | Bob: 0 | Ann: 0; M Paid cash",
     "Nothing new from the other copy.\r\nAnn: deleted in the other copy but changed here; kept"},
    {"an unambiguous rename keeps the other side's tick", "Dues | Ann Smyth: 0 | Bob: 0", "Dues | Ann Smith: 0 | Bob: 0",
     "Dues | Ann Smyth: 1@12/08/26 10:15 AM | Bob: 0", "Dues | Ann Smith: 1@12/08/26 10:15 AM | Bob: 0",
     "From the other copy: 1 tick."},
    {"a rename with other changes is a delete and an add: both stay", "Dues | Ann Smyth: 0",
     "Dues | Ann Smith: 1@12/08/26 10:02 AM", "Dues | Ann Smyth: 0; M Called",
     "Dues | Ann Smyth: 0; M Called | Ann Smith: 1@12/08/26 10:02 AM",
     "From the other copy: 1 memo.\r\nAnn Smyth: deleted here but changed in the other copy; kept"},
    {"an action item renamed here keeps the ticks made there", "Dues,Form | Ann: 0; 0", "Fees,Form | Ann: 0; 0",
     "Dues,Form | Ann: 1@12/08/26 10:15 AM; 0", "Fees,Form | Ann: 1@12/08/26 10:15 AM; 0", "From the other copy: 1 tick."},
    {"action items added on each side: theirs first, every name gets both", "Dues | Ann: 0", "Dues,Keys | Ann: 0; 1@" "12/08/26 10:02 AM",
     "Dues,Form | Ann: 0; 0 | Bob: 0; 1@12/08/26 10:15 AM", "Dues,Form,Keys | Ann: 0; 0; 1@12/08/26 10:02 AM | Bob: 0; 1@12/08/26 10:15 AM; 0",
     "From the other copy: 1 name, 1 action item, 1 tick."},
    {"an action item deleted there but ticked here stays", "Dues,Form | Ann: 0; 0", "Dues,Form | Ann: 0; 1@12/08/26 10:02 AM",
     "Dues | Ann: 0", "Dues,Form | Ann: 0; 1@12/08/26 10:02 AM",
     "Nothing new from the other copy.\r\nForm: deleted in the other copy but changed here; kept"},
    {"both ticked: the earlier date, the other reported", "Dues | Bob Jones: 0", "Dues | Bob Jones: 1@12/08/26 10:15 AM",
     "Dues | Bob Jones: 1@12/08/26 10:02 AM", "Dues | Bob Jones: 1@12/08/26 10:02 AM",
     "From the other copy: 1 tick.\r\nBob Jones / Dues: both ticked; kept 12/08/26 10:02 AM, other 12/08/26 10:15 AM"},
    {"both ticked with a date in another format: theirs", "Dues | Bob: 0", "Dues | Bob: 1@12/08/26 10:02 AM",
     "Dues | Bob: 1@8.12.2026 10:15", "Dues | Bob: 1@8.12.2026 10:15",
     "From the other copy: 1 tick.\r\nBob / Dues: both ticked; kept 8.12.2026 10:15, other 12/08/26 10:02 AM"},
    {"a date removed on one side, ticked again on the other: the tick stands", "Dues | Bob: 0@12/01/26 09:00 AM",
     "Dues | Bob: 0", "Dues | Bob: 1@12/01/26 09:00 AM", "Dues | Bob: 1@12/01/26 09:00 AM",
     "From the other copy: 1 tick.\r\nBob / Dues: ticked in the other copy, unticked or its date removed here; kept "
     "the tick of 12/01/26 09:00 AM"},
    {"memos added on both sides: theirs first, then mine's", "Dues | Ann: 0", "Dues | Ann: 0; M Mine",
     "Dues | Ann: 0; M Theirs", "Dues | Ann: 0; M Theirs; M Mine", "From the other copy: 1 memo."},
    {"a memo edited differently on both sides stays as two memos", "Dues | Ann: 0; M Phone", "Dues | Ann: 0; M Phone him",
     "Dues | Ann: 0; M Phone her", "Dues | Ann: 0; M Phone her; M Phone him", "From the other copy: 1 memo."},
    {"a memo deleted on one side and unchanged on the other goes", "Dues | Ann: 0; M Old; C Key", "Dues | Ann: 0; C Key",
     "Dues | Ann: 0; M Old; C Key", "Dues | Ann: 0; C Key", "Nothing new from the other copy."},
    {"a single checkbox ticked on one side is ticked; on both, the earlier date", "Dues | Ann: 0; C Key; C Gown",
     "Dues | Ann: 0; D Key@12/08/26 10:02 AM; D Gown@12/08/26 11:00 AM",
     "Dues | Ann: 0; C Key; D Gown@12/08/26 10:30 AM",
     "Dues | Ann: 0; D Key@12/08/26 10:02 AM; D Gown@12/08/26 10:30 AM",
     "From the other copy: 1 checkbox.\r\nAnn / checkbox \"Gown\": both ticked; kept 12/08/26 10:30 AM, other 12/08/26 11:00 AM"},
    {"equal names are matched the k-th with the k-th", "Dues | Ann: 0 | Ann: 0", "Dues | Ann: 0 | Ann: 1@12/08/26 10:02 AM",
     "Dues | Ann: 1@12/08/26 10:15 AM | Ann: 0", "Dues | Ann: 1@12/08/26 10:15 AM | Ann: 1@12/08/26 10:02 AM",
     "From the other copy: 1 tick."},
};

TEST(Merge, EachRule)
{
    for (const MergeCase& c : kCases) {
        SCOPED_TRACE(c.rule);
        Document base, mine, theirs, result;
        build(base, c.base);
        build(mine, c.mine);
        build(theirs, c.theirs);
        MergeReport report;
        ASSERT_EQ(mergeDocuments(base, mine, theirs, result, report), 1);
        Document expected;
        build(expected, c.result);
        EXPECT_EQ(notationOf(result), notationOf(expected));
        EXPECT_EQ(report.text(), c.report);
        // The result is a valid document: it saves, and reads back the same.
        std::string saved = bytesOf(result);
        Document again;
        RecordingView view;
        ASSERT_EQ(loadDataBytes(again, view, saved.data(), saved.size()), 1);
        EXPECT_TRUE(view.errors().empty());
        EXPECT_EQ(notationOf(again), notationOf(result));
    }
    // Nothing changed on either side: the very bytes of the file.
    std::string file = exampleFile();
    Document base, mine, theirs, result;
    RecordingView view;
    for (Document* doc : {&base, &mine, &theirs})
        ASSERT_EQ(loadDataBytes(*doc, view, file.data(), file.size()), 1);
    MergeReport report;
    ASSERT_EQ(mergeDocuments(base, mine, theirs, result, report), 1);
    EXPECT_EQ(bytesOf(result), file);
    EXPECT_TRUE(report.empty());
}

}  // namespace

namespace {

// One edit of a copy, by the texts of what it touches.
struct Edit {
    enum Type { Tick, Untick, RemoveDate, AddMemo, DeleteOwn, TickBox, AddName, DeleteName, AddAction, DeleteAction } type;
    std::string name, action, text, date;
};

int32_t slotOfName(const Document& doc, const std::string& name)
{
    for (int32_t i = 0; i < doc.namesCount; ++i)
        if (doc.names[i].name[0] && name == doc.names[i].name)
            return i;
    return -1;
}

int32_t slotOfAction(const Document& doc, const std::string& action)
{
    for (int32_t i = 0; i < doc.actionCount; ++i)
        if (doc.actions[i].text[0] && action == doc.actions[i].text)
            return i;
    return -1;
}

Entry* cellOf(Document& doc, const std::string& name, const std::string& action)
{
    NameRecord* record = doc.nameAt(slotOfName(doc, name));
    int32_t slot = slotOfAction(doc, action);
    for (int32_t k = 0; record && k < record->entryCount; ++k)
        if (isActionKind(record->entries[k].kind) && record->entries[k].actionIndex == slot)
            return &record->entries[k];
    return nullptr;
}

Entry* ownOf(Document& doc, const std::string& name, const std::string& text)
{
    NameRecord* record = doc.nameAt(slotOfName(doc, name));
    for (int32_t k = 0; record && k < record->entryCount; ++k)
        if (hasOwnText(record->entries[k].kind) && text == record->entries[k].text)
            return &record->entries[k];
    return nullptr;
}

// Applies edit as the program's commands would.
void apply(Document& doc, const Edit& edit)
{
    Entry* entry = nullptr;
    switch (edit.type) {
    case Edit::Tick:
    case Edit::Untick:
    case Edit::RemoveDate:
        entry = cellOf(doc, edit.name, edit.action);
        ASSERT_NE(entry, nullptr);
        if (edit.type == Edit::Tick) {
            entry->kind = ActionDone;
            Document::copyField(entry->date, sizeof entry->date, edit.date.c_str());
        } else if (edit.type == Edit::Untick) {
            entry->kind = ActionOpen;
        } else {
            entry->date[0] = 0;
        }
        break;
    case Edit::AddMemo:
        ASSERT_EQ(doc.addMemo(slotOfName(doc, edit.name), edit.text.c_str()), 1);
        break;
    case Edit::DeleteOwn: {
        int32_t slot = slotOfName(doc, edit.name);
        entry = ownOf(doc, edit.name, edit.text);
        ASSERT_NE(entry, nullptr);
        doc.deleteEntry(slot, int32_t(entry - doc.names[slot].entries));
        break;
    }
    case Edit::TickBox:
        entry = ownOf(doc, edit.name, edit.text);
        ASSERT_NE(entry, nullptr);
        entry->kind = entry->kind == CheckboxDone ? CheckboxOpen : CheckboxDone;
        Document::copyField(entry->date, sizeof entry->date, edit.date.c_str());
        break;
    case Edit::AddName:
        ASSERT_GE(doc.addName(edit.name.c_str()), 0);
        break;
    case Edit::DeleteName:
        doc.deleteName(slotOfName(doc, edit.name));
        break;
    case Edit::AddAction:
        ASSERT_EQ(doc.addActionWithEntries(edit.action.c_str()), 1);
        break;
    case Edit::DeleteAction:
        doc.deleteActionItem(slotOfAction(doc, edit.action));
        break;
    }
}

// Random edits of one copy that touch nothing the other copy's edits touch:
// claimed holds what either side has touched ("cell N A", "own N T",
// "name N", "action A"); a deleted name or action item must be untouched.
class EditMaker {
public:
    EditMaker(std::mt19937& random, std::set<std::string>& claimed) : random_(random), claimed_(claimed) {}

    std::vector<Edit> make(const Document& base, const std::string& side, int count)
    {
        std::vector<std::string> names, actions;
        for (int32_t i = 0; i < base.namesCount; ++i)
            if (base.names[i].name[0])
                names.push_back(base.names[i].name);
        for (int32_t i = 0; i < base.actionCount; ++i)
            if (base.actions[i].text[0])
                actions.push_back(base.actions[i].text);
        std::vector<Edit> edits;
        for (int i = 0; i < count; ++i) {
            Edit edit{Edit::Type(pick(10)), "", "", "", date()};
            std::string unique = side + std::to_string(i);
            // One name gone and one come on the same side read as a rename:
            // a side either adds or deletes names, and action items likewise.
            static const Edit::Type opposite[] = {Edit::AddName, Edit::DeleteName, Edit::AddAction, Edit::DeleteAction};
            int kind = edit.type == Edit::AddName ? 1 : edit.type == Edit::DeleteName ? 0
                     : edit.type == Edit::AddAction ? 3 : edit.type == Edit::DeleteAction ? 2 : -1;
            if (kind >= 0 && std::count_if(edits.begin(), edits.end(), [&](const Edit& e) { return e.type == opposite[kind]; }))
                continue;
            if (edit.type == Edit::AddName) {
                edit.name = "New " + unique;
                names.push_back(edit.name);
            } else if (edit.type == Edit::AddAction) {
                edit.action = "Item " + unique;
                actions.push_back(edit.action);
            } else if (edit.type == Edit::DeleteAction) {
                if (actions.empty())
                    continue;
                edit.action = actions[pick(actions.size())];
                if (edit.action.rfind("Item ", 0) == 0 || claimed_.count("action " + edit.action) ||
                    !take("action " + edit.action + " deleted"))
                    continue;
                actions.erase(std::find(actions.begin(), actions.end(), edit.action));
            } else if (names.empty() || (edit.type <= Edit::RemoveDate && actions.empty())) {
                continue;
            } else {
                edit.name = names[pick(names.size())];
                if (!claim("name " + edit.name + " deleted"))
                    continue;
                if (edit.type <= Edit::RemoveDate) {
                    edit.action = actions[pick(actions.size())];
                    if (!claim("action " + edit.action + " deleted") || !take("cell " + edit.name + " " + edit.action))
                        continue;
                    touch("name " + edit.name);
                    touch("action " + edit.action);
                } else if (edit.type == Edit::AddMemo) {
                    edit.text = "Memo " + unique;
                    touch("name " + edit.name);
                } else if (edit.type == Edit::DeleteOwn || edit.type == Edit::TickBox) {
                    std::vector<std::string> own = ownTexts(base, edit.name);
                    if (own.empty())
                        continue;
                    edit.text = own[pick(own.size())];
                    if (!take("own " + edit.name + " " + edit.text))
                        continue;
                    if (edit.type == Edit::TickBox && !isBox(base, edit.name, edit.text))
                        continue;
                    touch("name " + edit.name);
                } else if (edit.type == Edit::DeleteName) {
                    if (claimed_.count("name " + edit.name) || !take("name " + edit.name + " deleted"))
                        continue;
                    names.erase(std::find(names.begin(), names.end(), edit.name));
                }
            }
            edits.push_back(edit);
        }
        return edits;
    }

private:
    size_t pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random_); }
    std::string date()
    {
        char text[40];
        snprintf(text, sizeof text, "12/%02d/26 %02d:%02d AM", int(pick(28)) + 1, int(pick(12)) + 1, int(pick(60)));
        return text;
    }
    bool take(const std::string& what) { return claimed_.insert(what).second; }
    bool claim(const std::string& deleted) const { return !claimed_.count(deleted); }
    void touch(const std::string& what) { claimed_.insert(what); }
    static std::vector<std::string> ownTexts(const Document& doc, const std::string& name)
    {
        std::vector<std::string> out;
        const NameRecord* record = doc.nameAt(slotOfName(doc, name));
        for (int32_t k = 0; record && k < record->entryCount; ++k)
            if (hasOwnText(record->entries[k].kind))
                out.push_back(record->entries[k].text);
        return out;
    }
    static bool isBox(const Document& doc, const std::string& name, const std::string& text)
    {
        return text.rfind("Box", 0) == 0 && slotOfName(doc, name) >= 0;
    }

    std::mt19937& random_;
    std::set<std::string>& claimed_;
};

// A random document: a few action items, names with random checkboxes,
// memos and single checkboxes of distinct texts.
std::string randomDocument(std::mt19937& random)
{
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::string out;
    int actions = below(4);
    for (int a = 0; a < actions; ++a)
        out += (a ? "," : "") + std::string("Act ") + char('A' + a);
    int names = below(6);
    for (int n = 0; n < names; ++n) {
        out += " | Person " + std::to_string(n) + ":";
        std::vector<std::string> entries;
        for (int a = 0; a < actions; ++a)
            entries.push_back(below(2) ? "1@12/01/26 09:0" + std::to_string(below(10)) + " AM" : "0");
        for (int k = below(3); k > 0; --k)
            entries.insert(entries.begin() + below(int(entries.size()) + 1), "M Note " + std::to_string(k));
        for (int k = below(3); k > 0; --k)
            entries.insert(entries.begin() + below(int(entries.size()) + 1),
                           (below(2) ? "C Box " : "D Box ") + std::to_string(k) + (below(2) ? "@12/02/26 10:00 AM" : ""));
        for (size_t i = 0; i < entries.size(); ++i)
            out += (i ? "; " : " ") + entries[i];
    }
    return out;
}

TEST(Merge, EditsThatTouchDifferentThingsMergeToBothApplied)
{
    std::mt19937 random(20261209);
    for (int round = 0; round < 3000; ++round) {
        std::string notation = randomDocument(random);
        SCOPED_TRACE(notation);
        Document base, mine, theirs, expected, result;
        build(base, notation);
        build(mine, notation);
        build(theirs, notation);
        build(expected, notation);
        std::set<std::string> claimed;
        EditMaker maker(random, claimed);
        std::vector<Edit> theirEdits = maker.make(base, "T", std::uniform_int_distribution<int>(0, 5)(random));
        std::vector<Edit> myEdits = maker.make(base, "M", std::uniform_int_distribution<int>(0, 5)(random));
        for (const Edit& edit : theirEdits) {
            apply(theirs, edit);
            apply(expected, edit);
        }
        for (const Edit& edit : myEdits) {
            apply(mine, edit);
            apply(expected, edit);
        }
        MergeReport report;
        ASSERT_EQ(mergeDocuments(base, mine, theirs, result, report), 1);
        ASSERT_EQ(notationOf(result), notationOf(expected)) << "round " << round;
        EXPECT_TRUE(report.choices.empty()) << report.text();
        if (myEdits.empty() && theirEdits.empty()) {
            ASSERT_EQ(bytesOf(result), bytesOf(base));
        }
    }
}

}  // namespace
