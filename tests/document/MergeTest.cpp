// The three-way merge: one case per rule, written in a short notation, and
// random edits of two copies that must merge to both sets of edits applied.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "document/Heap.h"
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

// Loads the three files as tvd merge does: copies only read, mine and
// theirs sharing the lists of the base they left alike.
void readCopies(Document (&copies)[3], const std::string (&files)[3])
{
    RecordingView view;
    for (int i = 0; i < 3; ++i) {
        copies[i].readRoom = 0;
        copies[i].lender = i ? &copies[0] : nullptr;
        ASSERT_EQ(view.load(loadDataBytes(copies[i], files[i].data(), files[i].size())), 1);
    }
}

// The file tvd merge makes of base, mine and theirs, and its report.
std::string mergedAsTvd(Document& base, Document& mine, Document& theirs, MergeReport& report)
{
    std::string files[3] = {bytesOf(base), bytesOf(mine), bytesOf(theirs)};
    Document copies[3], result;
    readCopies(copies, files);
    EXPECT_EQ(mergeReadCopies(copies[0], copies[1], copies[2], result, report), 1);
    return bytesOf(result);
}

struct MergeCase {
    const char* rule;
    const char* base;
    const char* mine;
    const char* theirs;
    const char* result;
    const char* report;   // the report's text
};

#define D1 "03/10/26 09:05 AM"
#define D2 "03/14/26 09:05 AM"

const MergeCase kCases[] = {
    {"nothing changed", "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned", "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned",
     "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned", "Dues | Ann: 1@03/14/26 09:05 AM; M Phoned",
     "Nothing new from the other copy."},
    {"a change on each side stands", "Dues,Form | Ann: 0; 0 | Bob: 0; 0", "Dues,Form | Ann: 1@12/08/26 10:02 AM; 0 | Bob: 0; 0",
     "Dues,Form | Ann: 0; 0 | Bob: 0; 1@12/08/26 10:15 AM | Cy: 0; 0",
     "Dues,Form | Ann: 1@12/08/26 10:02 AM; 0 | Bob: 0; 1@12/08/26 10:15 AM | Cy: 0; 0",
     "From the other copy: 1 name, 1 tick.\r\nCy; Bob / Form"},
    {"a name added on both sides is one, matched ignoring case", "Dues | Ann: 0", "Dues | Ann: 0 | cy lee: 1@12/08/26 10:02 AM",
     "Dues | Ann: 0 | Cy Lee: 0; M Met", "Dues | Ann: 0 | Cy Lee: 1@12/08/26 10:02 AM; M Met",
     "From the other copy: 1 memo."},
    {"a name deleted on one side and untouched on the other goes", "Dues | Ann: 0 | Bob: 1@x", "Dues | Bob: 1@x",
     "Dues | Ann: 0 | Bob: 0@x", "Dues | Bob: 0@x", "From the other copy: 1 tick.\r\nBob / Dues"},
    {"a name deleted here but ticked there stays with its tick", "Dues | Ann: 0 | Bob: 0", "Dues | Bob: 0",
     "Dues | Ann: 1@12/08/26 10:15 AM | Bob: 0", "Dues | Ann: 1@12/08/26 10:15 AM | Bob: 0",
     "From the other copy: 1 tick.\r\nAnn / Dues\r\nAnn: deleted here but changed in the other copy; kept"},
    {"a name deleted there but given a memo here stays in its place", "Dues | Ann: 0 | Bob: 0",
     "Dues | Ann: 0; M Paid cash | Bob: 0", "Dues | Bob: 0", "Dues | Ann: 0; M Paid cash | Bob: 0",
     "Nothing new from the other copy.\r\nAnn: deleted in the other copy but changed here; kept"},
    {"an unambiguous rename keeps the other side's tick", "Dues | Ann Smyth: 0; M Paid | Bob: 0",
     "Dues | Ann Smith: 0; M Paid | Bob: 0", "Dues | Ann Smyth: 1@12/08/26 10:15 AM; M Paid | Bob: 0",
     "Dues | Ann Smith: 1@12/08/26 10:15 AM; M Paid | Bob: 0", "From the other copy: 1 tick.\r\nAnn Smith / Dues"},
    {"a rename with other changes is a delete and an add: both stay", "Dues | Ann Smyth: 0",
     "Dues | Ann Smith: 1@12/08/26 10:02 AM", "Dues | Ann Smyth: 0; M Called",
     "Dues | Ann Smyth: 0; M Called | Ann Smith: 1@12/08/26 10:02 AM",
     "From the other copy: 1 memo.\r\nAnn Smyth: deleted here but changed in the other copy; kept"},
    {"an action item renamed here keeps the ticks made there", "Dues,Form | Ann: 0; 0 | Bob: 1@" D1 "; 0",
     "Fees,Form | Ann: 0; 0 | Bob: 1@" D1 "; 0", "Dues,Form | Ann: 1@12/08/26 10:15 AM; 0 | Bob: 1@" D1 "; 0",
     "Fees,Form | Ann: 1@12/08/26 10:15 AM; 0 | Bob: 1@" D1 "; 0", "From the other copy: 1 tick.\r\nAnn / Fees"},
    {"action items added on each side: theirs first, every name gets both", "Dues | Ann: 0", "Dues,Keys | Ann: 0; 1@" "12/08/26 10:02 AM",
     "Dues,Form | Ann: 0; 0 | Bob: 0; 1@12/08/26 10:15 AM", "Dues,Form,Keys | Ann: 0; 0; 1@12/08/26 10:02 AM | Bob: 0; 1@12/08/26 10:15 AM; 0",
     "From the other copy: 1 name, 1 action item, 1 tick.\r\nBob; Bob / Form"},
    {"an action item deleted there but ticked here stays", "Dues,Form | Ann: 0; 0", "Dues,Form | Ann: 0; 1@12/08/26 10:02 AM",
     "Dues | Ann: 0", "Dues,Form | Ann: 0; 1@12/08/26 10:02 AM",
     "Nothing new from the other copy.\r\nForm: deleted in the other copy but changed here; kept"},
    {"both ticked: the earlier date, the other reported", "Dues | Bob Jones: 0", "Dues | Bob Jones: 1@12/08/26 10:15 AM",
     "Dues | Bob Jones: 1@12/08/26 10:02 AM", "Dues | Bob Jones: 1@12/08/26 10:02 AM",
     "From the other copy: 1 tick.\r\nBob Jones / Dues\r\n"
     "Bob Jones / Dues: both ticked; kept 12/08/26 10:02 AM, other 12/08/26 10:15 AM"},
    {"both ticked with a date in another format: theirs", "Dues | Bob: 0", "Dues | Bob: 1@12/08/26 10:02 AM",
     "Dues | Bob: 1@8.12.2026 10:15", "Dues | Bob: 1@8.12.2026 10:15",
     "From the other copy: 1 tick.\r\nBob / Dues\r\n"
     "Bob / Dues: both ticked; kept 8.12.2026 10:15, other 12/08/26 10:02 AM"},
    {"a date removed on one side, ticked again on the other: the tick stands", "Dues | Bob: 0@12/01/26 09:00 AM",
     "Dues | Bob: 0", "Dues | Bob: 1@12/01/26 09:00 AM", "Dues | Bob: 1@12/01/26 09:00 AM",
     "From the other copy: 1 tick.\r\nBob / Dues\r\n"
     "Bob / Dues: ticked in the other copy, unticked or its date removed here; kept "
     "the tick of 12/01/26 09:00 AM"},
    {"memos added on both sides: theirs first, then mine's", "Dues | Ann: 0", "Dues | Ann: 0; M Mine",
     "Dues | Ann: 0; M Theirs", "Dues | Ann: 0; M Theirs; M Mine", "From the other copy: 1 memo."},
    {"a memo edited differently on both sides stays as two memos", "Dues | Ann: 0; M Phone", "Dues | Ann: 0; M Phone him",
     "Dues | Ann: 0; M Phone her", "Dues | Ann: 0; M Phone her; M Phone him",
     "From the other copy: 1 memo.\r\n"
     "Ann / memo \"Phone\": edited on both sides; kept both, \"Phone her\" and \"Phone him\""},
    {"a memo deleted on one side and unchanged on the other goes", "Dues | Ann: 0; M Old; C Key", "Dues | Ann: 0; C Key",
     "Dues | Ann: 0; M Old; C Key", "Dues | Ann: 0; C Key", "Nothing new from the other copy."},
    {"a single checkbox ticked on one side is ticked; on both, the earlier date", "Dues | Ann: 0; C Key; C Gown",
     "Dues | Ann: 0; D Key@12/08/26 10:02 AM; D Gown@12/08/26 11:00 AM",
     "Dues | Ann: 0; C Key; D Gown@12/08/26 10:30 AM",
     "Dues | Ann: 0; D Key@12/08/26 10:02 AM; D Gown@12/08/26 10:30 AM",
     "From the other copy: 1 checkbox.\r\n"
     "Ann / checkbox \"Gown\": both ticked; kept 12/08/26 10:30 AM, other 12/08/26 11:00 AM"},
    {"equal names are matched the k-th with the k-th", "Dues | Ann: 0 | Ann: 0", "Dues | Ann: 0 | Ann: 1@12/08/26 10:02 AM",
     "Dues | Ann: 1@12/08/26 10:15 AM | Ann: 0", "Dues | Ann: 1@12/08/26 10:15 AM | Ann: 1@12/08/26 10:02 AM",
     "From the other copy: 1 tick.\r\nAnn / Dues"},
    // A deleted action item stays when the other side's new (or renamed and
    // changed) person ticked it.
    {"an item deleted here stays for a new person's tick there", "A,B | Ann: 0; 0", "B | Ann: 0",
     "A,B | Ann: 0; 0 | Zed: 1@" D2 "; 0", "A,B | Ann: 0; 0 | Zed: 1@" D2 "; 0",
     "From the other copy: 1 name, 1 tick.\r\nZed; Zed / A\r\nA: deleted here but changed in the other copy; kept"},
    {"an item deleted there stays for a new person's tick here", "A,B | Ann: 0; 0", "A,B | Ann: 0; 0 | Zed: 1@" D2 "; 0",
     "B | Ann: 0", "A,B | Ann: 0; 0 | Zed: 1@" D2 "; 0",
     "Nothing new from the other copy.\r\nA: deleted in the other copy but changed here; kept"},
    {"an item deleted here stays for a person renamed and changed there", "A,B | Ann Smiht: 1@" D1 "; 0 | Bob: 0; 0",
     "B | Ann Smiht: 0 | Bob: 0", "A,B | Ann Smith: 1@" D1 "; 1@" D2 " | Bob: 0; 0",
     "A,B | Ann Smith: 1@" D1 "; 1@" D2 " | Bob: 0; 0",
     "From the other copy: 1 name, 2 ticks, 1 deletion.\r\n"
     "Ann Smith; Ann Smiht (deleted); Ann Smith / A; Ann Smith / B\r\n"
     "A: deleted here but changed in the other copy; kept"},
    // Blank records deleted and added are no rename.
    {"a blank name deleted and another added: the tick stays with its name", "A | Ann: 0 | Bob: 0", "A | Bob: 0 | Zed: 0",
     "A | Ann: 1@" D2 " | Bob: 0", "A | Ann: 1@" D2 " | Bob: 0 | Zed: 0",
     "From the other copy: 1 tick.\r\nAnn / A\r\nAnn: deleted here but changed in the other copy; kept"},
    {"a blank action item deleted and another added: the tick stays with its item", "Dues | Ann: 0", "Badge | Ann: 0",
     "Dues | Ann: 1@" D2, "Dues,Badge | Ann: 1@" D2 "; 0",
     "From the other copy: 1 tick.\r\nAnn / Dues\r\nDues: deleted here but changed in the other copy; kept"},
    // The same rename on both sides, changed on one: one record.
    {"a name renamed alike on both sides and ticked here is one", "A,B | Ann Smiht: 1@" D1 "; 0 | Bob: 0; 0",
     "A,B | Ann Smith: 1@" D1 "; 1@" D2 " | Bob: 0; 0", "A,B | Ann Smith: 1@" D1 "; 0 | Bob: 0; 0",
     "A,B | Ann Smith: 1@" D1 "; 1@" D2 " | Bob: 0; 0", "Nothing new from the other copy."},
    {"an item renamed alike on both sides and ticked there is one", "Pay dues | Ann: 1@" D1 " | Bob: 0",
     "Pay the dues | Ann: 1@" D1 " | Bob: 0", "Pay the dues | Ann: 1@" D1 " | Bob: 1@" D2,
     "Pay the dues | Ann: 1@" D1 " | Bob: 1@" D2, "From the other copy: 1 tick.\r\nBob / Pay the dues"},
    {"renamed and changed alike on both sides: one record, each change", "A,B | Ann Smiht: 1@" D1 "; 0",
     "A,B | Ann Smith: 0; 0", "A,B | Ann Smith: 1@" D1 "; 1@" D2, "A,B | Ann Smith: 0; 1@" D2,
     "From the other copy: 1 tick.\r\nAnn Smith / B"},
    // Equal names and checkboxes: matched by what did not change.
    {"one of two equal names deleted here, the other ticked there", "A,B | Ann: 1@" D1 "; 0 | Ann: 0; 0",
     "A,B | Ann: 0; 0", "A,B | Ann: 1@" D1 "; 1@" D2 " | Ann: 0; 0", "A,B | Ann: 1@" D1 "; 1@" D2 " | Ann: 0; 0",
     "From the other copy: 1 tick.\r\nAnn / B\r\nAnn: deleted here but changed in the other copy; kept"},
    {"one of two equal names deleted here, the one kept ticked there", "A,B | Ann: 1@" D1 "; 0 | Ann: 0; 0",
     "A,B | Ann: 0; 0", "A,B | Ann: 1@" D1 "; 0 | Ann: 0; 1@" D2, "A,B | Ann: 0; 1@" D2,
     "From the other copy: 1 tick.\r\nAnn / B"},
    {"one of two equal checkboxes deleted here, the other ticked there", "A | Ann: 0; C Key; D Key@" D1,
     "A | Ann: 0; D Key@" D1, "A | Ann: 0; D Key@" D2 "; D Key@" D1, "A | Ann: 0; D Key@" D2 "; D Key@" D1,
     "Nothing new from the other copy.\r\nAnn / checkbox \"Key\": deleted here but changed in the other copy; kept"},
    // Kind and date each by the three-way rule.
    {"unticked here, date removed there: both", "A | Ann: 1@" D2, "A | Ann: 0@" D2, "A | Ann: 1", "A | Ann: 0",
     "From the other copy: 1 tick.\r\nAnn / A"},
    {"a date changed on both sides while open: theirs, the other reported", "A | Ann: 0@" D1, "A | Ann: 0@" D2,
     "A | Ann: 0", "A | Ann: 0",
     "From the other copy: 1 tick.\r\nAnn / A\r\n"
     "Ann / A: changed on both sides; kept the other copy's date (none), other " D2},
    // Records keep their place.
    {"a name renamed and changed here keeps its place", "A | Ann Smyth: 0; M x | Bob: 0 | Cy: 0",
     "A | Ann Smith: 1@" D2 "; M x | Bob: 0 | Cy: 0 | Dee: 0", "A | Ann Smyth: 0; M x | Bob: 0 | Cy: 0 | Eve: 0",
     "A | Ann Smith: 1@" D2 "; M x | Bob: 0 | Cy: 0 | Eve: 0 | Dee: 0", "From the other copy: 1 name.\r\nEve"},
    {"a memo edited in place and an item added keep their places", "A,B | Ann: 0; M Old; 1@" D1 "; M Last",
     "A,B,C | Ann: 0; M New; 1@" D1 "; M Last; 0", "A,B | Ann: 0; M Old; 1@" D1 "; M Last",
     "A,B,C | Ann: 0; M New; 1@" D1 "; M Last; 0", "Nothing new from the other copy."},
    // What the other copy renamed is reported.
    {"renamed there: reported", "Dues | Ann Smyth: 1@" D1 " | Bob: 1@" D2, "Dues | Ann Smyth: 1@" D1 " | Bob: 1@" D2,
     "Fees | Ann Smith: 1@" D1 " | Bob: 1@" D2, "Fees | Ann Smith: 1@" D1 " | Bob: 1@" D2, "From the other copy: 2 renames."},
    // What the other copy deleted is named, as what it added and ticked.
    {"deleted there only: named", "Dues | Ann: 0 | Dev Patel: 0", "Dues | Ann: 1@" D1 " | Dev Patel: 0",
     "Dues | Ann: 0", "Dues | Ann: 1@" D1, "From the other copy: 1 deletion.\r\nDev Patel (deleted)"},
    // No common ancestor (a file added on two branches): the union.
    {"no base: nothing is deleted", "", "A | Ann: 1@" D1 " | Bob: 0", "A,B | Ann: 0; 0 | Cy: 0; 0",
     "A,B | Ann: 1@" D1 "; 0 | Cy: 0; 0 | Bob: 0; 0", "From the other copy: 1 name, 1 action item.\r\nCy"},
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
        ASSERT_EQ(view.load(loadDataBytes(again, saved.data(), saved.size())), 1);
        EXPECT_TRUE(view.errors().empty());
        EXPECT_EQ(notationOf(again), notationOf(result));
        // Copies handed over to the merge (tvd merge) make the same file;
        // the result they lend their lists to edits as any document.
        Document baseCopy, mineCopy, theirsCopy, taken;
        build(baseCopy, c.base);
        build(mineCopy, c.mine);
        build(theirsCopy, c.theirs);
        MergeReport takenReport;
        ASSERT_EQ(mergeReadCopies(baseCopy, mineCopy, theirsCopy, taken, takenReport), 1);
        EXPECT_EQ(bytesOf(taken), saved);
        EXPECT_EQ(takenReport.text(), c.report);
        EXPECT_EQ(baseCopy.namesCount + mineCopy.namesCount + theirsCopy.namesCount, 0);
        // The program's Save: mine is the open document, only read.
        Document kept;
        build(baseCopy, c.base);
        build(theirsCopy, c.theirs);
        std::string mineBefore = notationOf(mine);
        ASSERT_EQ(mergeWithReadCopies(baseCopy, mine, theirsCopy, kept, takenReport), 1);
        EXPECT_EQ(bytesOf(kept), saved);
        EXPECT_EQ(notationOf(mine), mineBefore);
        EXPECT_EQ(mergedAsTvd(base, mine, theirs, takenReport), saved);
        EXPECT_EQ(takenReport.text(), c.report);
        for (Document* edited : {&taken, &kept})
            for (int32_t i = 0; i < edited->namesCount; ++i) {
                edited->deleteEntry(i, edited->names[i].entryCount - 1);
                ASSERT_EQ(edited->addMemo(i, "Later"), 1);
            }
        // One side unchanged: the other side exactly.
        Document same;
        MergeReport quiet;
        ASSERT_EQ(mergeDocuments(base, mine, base, same, quiet), 1);
        EXPECT_EQ(bytesOf(same), bytesOf(mine));
        ASSERT_EQ(mergeDocuments(base, base, theirs, same, quiet), 1);
        EXPECT_EQ(bytesOf(same), bytesOf(theirs));
    }
    // Nothing changed on either side: the very bytes of the file.
    std::string file = exampleFile();
    Document base, mine, theirs, result;
    RecordingView view;
    for (Document* doc : {&base, &mine, &theirs})
        ASSERT_EQ(view.load(loadDataBytes(*doc, file.data(), file.size())), 1);
    MergeReport report;
    ASSERT_EQ(mergeDocuments(base, mine, theirs, result, report), 1);
    EXPECT_EQ(bytesOf(result), file);
    EXPECT_TRUE(report.empty());
    // Read as tvd merge reads them, the copies share every list of the
    // base, and the result takes them.
    Document copies[3];
    readCopies(copies, {file, file, file});
    for (int32_t i = 0; i < copies[0].namesCount; ++i) {
        EXPECT_EQ(copies[1].names[i].entries, copies[0].names[i].entries);
        EXPECT_EQ(copies[2].names[i].entries, copies[0].names[i].entries);
    }
    ASSERT_EQ(mergeReadCopies(copies[0], copies[1], copies[2], result, report), 1);
    EXPECT_EQ(bytesOf(result), file);
}

// A merge of handed-over copies that runs out of memory at any allocation
// says so, and leaves no list of the result in the copies' released memory
// (the sanitizers see any use or leak).
TEST(Merge, ReadCopiesOutOfMemory)
{
    const MergeCase& c = kCases[1];
    for (bool mineInUse : {false, true})
    for (long failAt = 1;; ++failAt) {
        SCOPED_TRACE(std::to_string(failAt) + (mineInUse ? ", mine in use" : ""));
        Document base, mine, theirs, result, expected;
        build(base, c.base);
        build(mine, c.mine);
        build(theirs, c.theirs);
        build(expected, c.result);
        MergeReport report;
        heapHooks.reset();
        heapHooks.failAt = failAt;
        int merged = mineInUse ? mergeWithReadCopies(base, mine, theirs, result, report)
                               : mergeReadCopies(base, mine, theirs, result, report);
        heapHooks.reset();
        if (merged) {
            EXPECT_EQ(notationOf(result), notationOf(expected));
        }
        for (int32_t i = 0; i < result.namesCount; ++i)
            if (result.names[i].entries)
                result.addMemo(i, "Later");
        if (merged)
            break;
        ASSERT_LT(failAt, 1000);
    }
}

// The report names the first ten names and ticks that came in, on lines
// the message window can show unwrapped, and counts the rest.
TEST(Merge, ReportNamesTheFirstTenThings)
{
    std::string base = "Dues | Ann Smith: 0", theirs = base;
    for (int i = 1; i <= 12; ++i)
        theirs += " | Person number " + std::to_string(i) + ": 0";
    theirs.replace(theirs.find("Ann Smith: 0"), 12, "Ann Smith: 1@" D1);
    Document b, m, t, result;
    build(b, base);
    build(m, base);
    build(t, theirs);
    MergeReport report;
    ASSERT_EQ(mergeDocuments(b, m, t, result, report), 1);
    EXPECT_EQ(report.text(),
              "From the other copy: 12 names, 1 tick.\r\n"
              "Person number 1; Person number 2; Person number 3; Person number 4;\r\n"
              "Person number 5; Person number 6; Person number 7; Person number 8;\r\n"
              "Person number 9; Person number 10; and 3 more");
}

}  // namespace

namespace {

// One edit of a copy. A person of the base is named by its slot (equal
// names are told apart so), a new one by its text; an own entry of the
// base by its position in the person's list.
struct Edit {
    enum Type {
        Tick, Untick, RemoveDate, AddMemo, DeleteOwn, TickBox, AddName, DeleteName, AddAction, DeleteAction,
        RenameName, RenameAction, kTypes
    } type;
    int32_t slot;         // base person, or -1 for the new person called name
    std::string name, action, text, date;
    int32_t position;     // DeleteOwn, TickBox
    int32_t actionSlot;   // a base action item (its text may change), or -1 for the new one called action
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

int32_t personOf(const Document& doc, const Edit& edit)
{
    return edit.slot >= 0 ? edit.slot : slotOfName(doc, edit.name);
}

int32_t actionOf(const Document& doc, const Edit& edit)
{
    return edit.actionSlot >= 0 ? edit.actionSlot : slotOfAction(doc, edit.action);
}

// Applies edit as the program's commands would (a rename as another
// program or an older copy would have made it).
void apply(Document& doc, const Edit& edit)
{
    int32_t person = personOf(doc, edit);
    Entry* entry = nullptr;
    switch (edit.type) {
    case Edit::Tick:
    case Edit::Untick:
    case Edit::RemoveDate: {
        NameRecord* record = doc.nameAt(person);
        int32_t action = actionOf(doc, edit);
        for (int32_t k = 0; record && k < record->entryCount; ++k)
            if (isActionKind(record->entries[k].kind) && record->entries[k].actionIndex == action)
                entry = &record->entries[k];
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
    }
    case Edit::AddMemo:
        ASSERT_EQ(doc.addMemo(person, edit.text.c_str()), 1);
        break;
    case Edit::DeleteOwn:
        doc.deleteEntry(person, edit.position);
        break;
    case Edit::TickBox:
        entry = doc.entryAt(person, edit.position);
        ASSERT_NE(entry, nullptr);
        entry->kind = entry->kind == CheckboxDone ? CheckboxOpen : CheckboxDone;
        Document::copyField(entry->date, sizeof entry->date, edit.date.c_str());
        break;
    case Edit::AddName:
        ASSERT_GE(doc.addName(edit.name.c_str()), 0);
        break;
    case Edit::DeleteName:
        doc.deleteName(person);
        break;
    case Edit::AddAction:
        ASSERT_EQ(doc.addActionWithEntries(edit.action.c_str()), 1);
        break;
    case Edit::DeleteAction:
        doc.deleteActionItem(actionOf(doc, edit));
        break;
    case Edit::RenameName:
        ASSERT_EQ(doc.renameName(person, edit.text.c_str()), 1);
        break;
    case Edit::RenameAction:
        Document::copyField(doc.actions[actionOf(doc, edit)].text, Document::kTextSize, edit.text.c_str());
        break;
    case Edit::kTypes:
        break;
    }
}

// Random edits of the two copies, made so that the rules say what the
// merge must give: no entry is changed on both sides; a side never touches
// what it deletes itself; a delete of what the other side changed (a tick
// of a person it added included) is dropped, and the merge names it in a
// choice. Equal names carry a memo of their own, and a side that deletes
// one of them leaves the others alone, so what stayed tells them apart.
// A side renames a record only when the record can be known by its
// entries and the side adds and deletes nothing of its kind (the rename is
// then the one record gone and the one come); both sides may make the
// same rename, and then change the record too.
class EditMaker {
public:
    EditMaker(std::mt19937& random, const Document& base) : random_(random), base_(base)
    {
        for (int32_t i = 0; i < base.namesCount; ++i)
            if (base.names[i].name[0])
                basePeople_.push_back(i);
        for (int32_t i = 0; i < base.actionCount; ++i)
            if (base.actions[i].text[0])
                baseActions_.push_back(base.actions[i].text);
    }

    std::vector<Edit> make(int side, int count)
    {
        std::vector<Edit> edits;
        // The persons (base slot, or -1 and a text) and action items this side sees.
        std::vector<std::pair<int32_t, std::string>> people;
        for (int32_t slot : basePeople_)
            people.push_back({slot, ""});
        std::vector<std::string> actions = baseActions_;
        std::string tag = side ? "M" : "T";
        for (int i = 0; i < count; ++i) {
            Edit edit{Edit::Type(pick(Edit::kTypes)), -1, "", "", "", date(), -1, -1};
            std::string unique = tag + std::to_string(i);
            bool add = edit.type == Edit::AddName || edit.type == Edit::AddAction;
            bool remove = edit.type == Edit::DeleteName || edit.type == Edit::DeleteAction;
            bool names = edit.type == Edit::AddName || edit.type == Edit::DeleteName;
            if ((add || remove) && renamed_[side][names ? 0 : 1])
                continue;
            if (edit.type == Edit::DeleteAction && renamed_[side][0])
                continue;   // the rename of a name is known by the ticks
            if (edit.type == Edit::DeleteName && renamed_[side][1])
                continue;   // and the rename of an item by the names
            if (edit.type == Edit::AddName) {
                edit.name = "New " + unique;
                people.push_back({-1, edit.name});
            } else if (edit.type == Edit::AddAction) {
                edit.action = "Item " + unique;
                actions.push_back(edit.action);
            } else if (edit.type == Edit::DeleteAction || edit.type == Edit::RenameAction) {
                if (actions.empty())
                    continue;
                edit.action = actions[pick(actions.size())];
                edit.actionSlot = slotOfAction(base_, edit.action);
                std::string what = "action " + edit.action;
                if (edit.action.rfind("Item ", 0) == 0 || touched(side, what) || deleted(what))
                    continue;
                if (edit.type == Edit::RenameAction) {
                    if (!mayRename(side, what) || !columnKnown(edit.action))
                        continue;
                    edit.text = edit.action + " renamed";
                    renamed_[side][1] = true;
                    renames_[what][side] = edit.text;
                    change(side, what);
                } else {
                    deletes_[side].push_back(what);
                    actions.erase(std::find(actions.begin(), actions.end(), edit.action));
                }
            } else {
                if (people.empty())
                    continue;
                auto person = people[pick(people.size())];
                edit.slot = person.first;
                edit.name = person.second;
                std::string who = "name " + (edit.slot >= 0 ? std::to_string(edit.slot) : edit.name);
                if (deleted(side, who) || (edit.type != Edit::DeleteName && leftAlone_[side].count(edit.slot)))
                    continue;
                if (edit.type <= Edit::RemoveDate) {
                    if (actions.empty())
                        continue;
                    edit.action = actions[pick(actions.size())];
                    edit.actionSlot = slotOfAction(base_, edit.action);
                    std::string what = "action " + edit.action;
                    if (deleted(side, what) || soleRename(side, what) || soleRename(side, who) ||
                        !take("cell " + who + " " + edit.action))
                        continue;
                    if (!changes(edit, person.first))
                        continue;
                    change(side, who);
                    change(side, what);
                } else if (edit.type == Edit::AddMemo) {
                    if (soleRename(side, who))
                        continue;
                    edit.text = "Memo " + unique;
                    change(side, who);
                } else if (edit.type == Edit::DeleteOwn || edit.type == Edit::TickBox) {
                    if (edit.slot < 0 || soleRename(side, who))
                        continue;
                    std::vector<int32_t> own = ownPositions(edit.slot, edit.type == Edit::TickBox);
                    if (own.empty())
                        continue;
                    edit.position = own[pick(own.size())];
                    // Of equal texts, a side deletes one and leaves the others alone.
                    std::string text = who + "\t" + base_.names[edit.slot].entries[edit.position].text;
                    if (edit.type == Edit::DeleteOwn ? ownTouched_[side].count(text) > 0 : ownDeleted_[side].count(text) > 0)
                        continue;
                    if (!take("own " + who + " " + std::to_string(edit.position)))
                        continue;
                    ownTouched_[side].insert(text);
                    if (edit.type == Edit::DeleteOwn)
                        ownDeleted_[side].insert(text);
                    change(side, who);
                } else if (edit.type == Edit::DeleteName) {
                    if (touched(side, who) || deleted(who) || equalsTouched(side, edit.slot))
                        continue;
                    deletes_[side].push_back(who);
                    for (int32_t other : equals(edit.slot))
                        leftAlone_[side].insert(other);
                    people.erase(std::find(people.begin(), people.end(), person));
                } else if (edit.type == Edit::RenameName) {
                    if (edit.slot < 0 || !mayRename(side, who) || !equals(edit.slot).empty() || !known(edit.slot))
                        continue;
                    edit.text = std::string(base_.names[edit.slot].name) + " renamed";
                    renamed_[side][0] = true;
                    renames_[who][side] = edit.text;
                    change(side, who);
                }
            }
            if (add || remove)
                addedOrDeleted_[side][names ? 0 : 1] = true;
            edits.push_back(edit);
        }
        return edits;
    }

    // The deletes of side that the other side's changes undo.
    int dropped(int side, std::set<std::string>* out) const
    {
        int count = 0;
        for (const std::string& what : deletes_[side])
            if (changed_[1 - side].count(what)) {
                count++;
                if (out)
                    out->insert(what);
            }
        return count;
    }
    static std::string whatOf(const Edit& edit)
    {
        if (edit.type == Edit::DeleteAction)
            return "action " + edit.action;
        return "name " + (edit.slot >= 0 ? std::to_string(edit.slot) : edit.name);
    }

private:
    size_t pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random_); }
    // Never a date of the base documents: a tick always changes the entry.
    std::string date()
    {
        char text[40];
        snprintf(text, sizeof text, "12/%02d/27 %02d:%02d AM", int(pick(28)) + 1, int(pick(12)) + 1, int(pick(60)));
        return text;
    }
    bool take(const std::string& what) { return taken_.insert(what).second; }
    void change(int side, const std::string& what) { changed_[side].insert(what); }
    bool touched(int side, const std::string& what) const { return changed_[side].count(what) > 0; }
    bool deleted(const std::string& what) const { return deleted(0, what) || deleted(1, what); }
    bool deleted(int side, const std::string& what) const
    {
        return std::find(deletes_[side].begin(), deletes_[side].end(), what) != deletes_[side].end();
    }
    // One rename a side, on a side that added and deleted nothing, of a
    // record it left alone unless the other side renamed it too.
    bool mayRename(int side, const std::string& what) const
    {
        auto found = renames_.find(what);
        bool both = found != renames_.end() && found->second[1 - side].size();
        return !renamed_[side][0] && !renamed_[side][1] && !addedOrDeleted_[side][0] && !addedOrDeleted_[side][1] &&
               (both || !touched(side, what));
    }
    // A record this side renamed and the other did not: this side leaves it alone,
    // or its rename would not be known.
    bool soleRename(int side, const std::string& who) const
    {
        auto found = renames_.find(who);
        return found != renames_.end() && found->second[side].size() && found->second[1 - side].empty();
    }
    // Would the cell edit change the entry? (An untick of an open box does not.)
    bool changes(const Edit& edit, int32_t slot) const
    {
        if (edit.type == Edit::Tick)
            return true;
        const NameRecord* record = base_.nameAt(slot);
        int32_t action = slotOfAction(base_, edit.action);
        for (int32_t k = 0; record && action >= 0 && k < record->entryCount; ++k) {
            const Entry& e = record->entries[k];
            if (isActionKind(e.kind) && e.actionIndex == action)
                return edit.type == Edit::Untick ? e.kind == ActionDone : e.date[0] != 0;
        }
        return false;
    }
    std::vector<int32_t> ownPositions(int32_t slot, bool boxes) const
    {
        std::vector<int32_t> out;
        const NameRecord* record = base_.nameAt(slot);
        for (int32_t k = 0; record && k < record->entryCount; ++k)
            if (boxes ? record->entries[k].kind == CheckboxOpen || record->entries[k].kind == CheckboxDone
                      : hasOwnText(record->entries[k].kind))
                out.push_back(k);
        return out;
    }
    // The other base persons of the same name.
    std::vector<int32_t> equals(int32_t slot) const
    {
        std::vector<int32_t> out;
        for (int32_t other : basePeople_)
            if (slot >= 0 && other != slot && strcmp(base_.names[other].name, base_.names[slot].name) == 0)
                out.push_back(other);
        return out;
    }
    bool equalsTouched(int side, int32_t slot) const
    {
        for (int32_t other : equals(slot))
            if (touched(side, "name " + std::to_string(other)))
                return true;
        return false;
    }
    // The person has a memo, a single checkbox, a tick or a date.
    bool known(int32_t slot) const
    {
        const NameRecord* record = base_.nameAt(slot);
        for (int32_t k = 0; k < record->entryCount; ++k)
            if (record->entries[k].kind != EntryDeleted && (record->entries[k].kind != ActionOpen || record->entries[k].date[0]))
                return true;
        return false;
    }
    bool columnKnown(const std::string& action) const
    {
        int32_t a = slotOfAction(base_, action);
        for (int32_t slot : basePeople_) {
            const NameRecord& record = base_.names[slot];
            for (int32_t k = 0; k < record.entryCount; ++k)
                if (isActionKind(record.entries[k].kind) && record.entries[k].actionIndex == a &&
                    (record.entries[k].kind != ActionOpen || record.entries[k].date[0]))
                    return true;
        }
        return false;
    }

    std::mt19937& random_;
    const Document& base_;
    std::vector<int32_t> basePeople_;
    std::vector<std::string> baseActions_;
    std::set<std::string> taken_;                         // cells and own entries: one edit each
    std::set<std::string> changed_[2];                    // "name S", "name New T1", "action A" a side changed
    std::vector<std::string> deletes_[2];
    std::set<int32_t> leftAlone_[2];                      // equal names of a person the side deleted
    std::set<std::string> ownTouched_[2], ownDeleted_[2]; // "name S\ttext" of own entries a side edited, deleted
    std::map<std::string, std::string[2]> renames_;       // record -> its new text on each side
    bool renamed_[2][2] = {};                             // side renamed a name, an action item
    bool addedOrDeleted_[2][2] = {};                      // side added or deleted a name, an action item
};

// A random document: a few action items, names with random checkboxes,
// memos and single checkboxes; now and then two or three equal names, each
// with a memo of its own.
std::string randomDocument(std::mt19937& random)
{
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::string out;
    int actions = below(4);
    for (int a = 0; a < actions; ++a)
        out += (a ? "," : "") + std::string("Act ") + char('A' + a);
    int names = below(6);
    for (int n = 0; n < names; ++n) {
        bool equal = n > 0 && below(4) == 0;
        int number = equal ? n - 1 - below(n) % 2 : n;
        out += " | Person " + std::to_string(number < 0 ? 0 : number) + ":";
        std::vector<std::string> entries;
        for (int a = 0; a < actions; ++a)
            entries.push_back(below(2) ? "1@12/01/26 09:0" + std::to_string(below(10)) + " AM" : "0");
        for (int k = below(3); k > 0; --k)
            entries.insert(entries.begin() + below(int(entries.size()) + 1), "M Note " + std::to_string(k));
        // Single checkboxes; two of one text differ in their state.
        static const char* const states[] = {"C Box ", "D Box ", "C Box @12/02/26 10:00 AM", "D Box @12/02/26 10:00 AM"};
        int boxes = below(3), first = below(4);
        for (int k = 0; k < boxes; ++k) {
            bool same = k == 1 && below(2);
            std::string box = states[same ? (first + 1 + below(3)) % 4 : k ? below(4) : first];
            box.insert(box.find("Box ") + 4, std::to_string(same ? 0 : k));
            entries.insert(entries.begin() + below(int(entries.size()) + 1), box);
        }
        entries.push_back("M Own " + std::to_string(n));
        if (!equal && below(3))
            entries.pop_back();
        for (size_t i = 0; i < entries.size(); ++i)
            out += (i ? "; " : " ") + entries[i];
    }
    return out;
}

TEST(Merge, RandomEditsMergeByTheRules)
{
    std::mt19937 random(20261209);
    for (int round = 0; round < 4000; ++round) {
        std::string notation = randomDocument(random);
        SCOPED_TRACE(notation);
        Document base, mine, theirs, expected, result;
        build(base, notation);
        build(mine, notation);
        build(theirs, notation);
        build(expected, notation);
        EditMaker maker(random, base);
        std::vector<Edit> edits[2];
        edits[0] = maker.make(0, std::uniform_int_distribution<int>(0, 6)(random));   // theirs
        edits[1] = maker.make(1, std::uniform_int_distribution<int>(0, 6)(random));   // mine
        std::set<std::string> dropped;
        int choices = maker.dropped(0, &dropped) + maker.dropped(1, &dropped);
        for (int side = 0; side < 2; ++side)
            for (const Edit& edit : edits[side]) {
                apply(side ? mine : theirs, edit);
                bool undone = (edit.type == Edit::DeleteName || edit.type == Edit::DeleteAction) &&
                              dropped.count(EditMaker::whatOf(edit));
                if (!undone)
                    apply(expected, edit);
            }
        MergeReport report;
        ASSERT_EQ(mergeDocuments(base, mine, theirs, result, report), 1);
        // Copies handed over to the merge: the same result.
        Document copies[3], taken;
        for (Document& copy : copies)
            build(copy, notation);
        for (int side = 0; side < 2; ++side)
            for (const Edit& edit : edits[side])
                apply(copies[side ? 1 : 2], edit);
        MergeReport takenReport;
        ASSERT_EQ(mergeReadCopies(copies[0], copies[1], copies[2], taken, takenReport), 1);
        ASSERT_EQ(notationOf(taken), notationOf(result));
        EXPECT_EQ(takenReport.text(), report.text());
        // And with mine in use, as the program's Save merges.
        Document kept;
        build(copies[0], notation);
        build(copies[2], notation);
        for (const Edit& edit : edits[0])
            apply(copies[2], edit);
        ASSERT_EQ(mergeWithReadCopies(copies[0], mine, copies[2], kept, takenReport), 1);
        ASSERT_EQ(notationOf(kept), notationOf(result));
        if (round % 40 == 0) {
            ASSERT_EQ(mergedAsTvd(base, mine, theirs, takenReport), bytesOf(result)) << "round " << round;
        }
        std::string made;
        for (int side = 0; side < 2; ++side)
            for (const Edit& edit : edits[side])
                made += std::string(side ? "mine " : "theirs ") + std::to_string(edit.type) + " " +
                        (edit.slot >= 0 ? std::to_string(edit.slot) : edit.name) + " " + edit.action + " " + edit.text +
                        " " + std::to_string(edit.position) + "\n";
        ASSERT_EQ(notationOf(result), notationOf(expected)) << "round " << round << "\n" << made;
        EXPECT_EQ(int(report.choices.size()), choices) << report.text() << "\n" << made;
        // One side unchanged: the other exactly (in the notation, which is
        // the file's content; EachRule compares the bytes).
        Document same;
        ASSERT_EQ(mergeDocuments(base, mine, base, same, report), 1);
        ASSERT_EQ(notationOf(same), notationOf(mine)) << "round " << round;
        ASSERT_EQ(mergeDocuments(base, base, theirs, same, report), 1);
        ASSERT_EQ(notationOf(same), notationOf(theirs)) << "round " << round;
    }
}

}  // namespace
