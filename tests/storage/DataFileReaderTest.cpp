#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"

using namespace testing_support;

namespace {

class ReaderTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    FaultGuard faults;
    Document doc;
    RecordingView view;
    LoadReport report;   // of the last load
    std::string path = folder.file("data.tvd");

    int load(const std::string& bytes)
    {
        writeBytes(path, bytes);
        view.calls.clear();
        report = loadDataFile(doc, path.c_str());
        return view.load(report);
    }

    // Program, one action item "Act" and one name "Ann", then the given lines.
    static std::string oneByOne(std::initializer_list<const char*> nameSection)
    {
        return crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Act", "", "[Names]", "1", "0 Ann", ""})
               + crlf(nameSection);
    }

    const Entry& entry(int name, int position) const { return doc.names[name].entries[position]; }
};

TEST_F(ReaderTest, ExampleFileLoadsWithEveryField)
{
    ASSERT_EQ(load(exampleFile()), 1);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_TRUE(report.replaced());
    EXPECT_EQ(report.damage(), LoadReport::Damage::None);
    EXPECT_EQ(doc.actionCount, 2);
    EXPECT_EQ(doc.liveActions, 2);
    EXPECT_STREQ(doc.actions[1].text, "Return the badge");
    EXPECT_EQ(doc.namesCount, 2);
    EXPECT_EQ(doc.modified, 0);

    const NameRecord& ann = doc.names[0];
    EXPECT_EQ(ann.entryCount, 3);
    EXPECT_EQ(ann.liveEntries, 3);
    EXPECT_EQ(ann.entryCapacity, 23);
    EXPECT_EQ(entry(0, 0).kind, ActionDone);
    EXPECT_EQ(entry(0, 0).actionIndex, 0);
    EXPECT_STREQ(entry(0, 0).date, "03/14/26 09:05 AM");
    EXPECT_EQ(entry(0, 1).kind, ActionOpen);
    EXPECT_EQ(entry(0, 1).actionIndex, 1);
    EXPECT_STREQ(entry(0, 1).date, "");
    EXPECT_EQ(entry(0, 2).kind, EntryMemo);
    EXPECT_STREQ(entry(0, 2).text, "Phoned on Monday");

    EXPECT_EQ(entry(1, 1).kind, CheckboxDone);
    EXPECT_STREQ(entry(1, 1).text, "Parking permit");
    EXPECT_STREQ(entry(1, 1).date, "03/15/26 02:30 PM");
    EXPECT_EQ(entry(1, 1).actionIndex, 0);
    EXPECT_EQ(entry(1, 2).actionIndex, 1);
}

// Entry lists and texts read from the file share the document's blocks;
// editing, deleting, growing and loading again must neither free them one by
// one nor leak them (the sanitizers watch); texts keep the two NULs of a heap copy.
TEST_F(ReaderTest, TextsReadFromTheFileAreEditedAndDeletedLikeAnyOther)
{
    ASSERT_EQ(load(exampleFile()), 1);
    EXPECT_EQ(entry(1, 1).text[strlen("Parking permit") + 1], 0);
    Entry& memo = doc.names[0].entries[2];
    ASSERT_EQ(doc.setEntryText(memo, "Called back"), 1);
    ASSERT_EQ(doc.setEntryText(memo, "Called again"), 1);
    EXPECT_STREQ(memo.text, "Called again");
    doc.deleteEntry(1, 1);
    EXPECT_EQ(entry(1, 1).text, nullptr);
    for (int i = 0; i < 25; ++i)
        ASSERT_EQ(doc.addMemo(1, "new"), 1);
    EXPECT_EQ(doc.names[1].entryCapacity, 43);
    EXPECT_STREQ(entry(1, 2).date, "03/16/26 11:00 AM");
    doc.deleteName(0);

    ASSERT_EQ(load(exampleFile()), 1);
    EXPECT_STREQ(entry(0, 2).text, "Phoned on Monday");
    EXPECT_STREQ(entry(1, 1).text, "Parking permit");
    doc.deleteName(1);
}

TEST_F(ReaderTest, LfOnlyAndCrOnlyFilesReadLikeCrLf)
{
    std::string crlfBytes = exampleFile();
    std::string lfBytes, crBytes;
    for (size_t i = 0; i < crlfBytes.size(); ++i) {
        if (crlfBytes[i] == '\r')
            continue;
        lfBytes += crlfBytes[i];
        crBytes += crlfBytes[i] == '\n' ? '\r' : crlfBytes[i];
    }
    std::string saved = folder.file("saved.tvd");
    for (const std::string& bytes : {lfBytes, crBytes}) {
        ASSERT_EQ(load(bytes), 1);
        EXPECT_TRUE(view.errors().empty());
        ASSERT_EQ(saveDataFile(doc, view, saved.c_str()), 1);
        EXPECT_EQ(readBytes(saved), crlfBytes);
    }
}

TEST_F(ReaderTest, HeadersInAnyCase)
{
    std::string bytes = crlf({"[PROGRAM]", "TALLYVANE", "", "[action items]", "1", "Act", "", "[nAmEs]", "1",
                              "0 Ann", "", "[0]", "1", "1 01/02/26 03:04 PM"});
    ASSERT_EQ(load(bytes), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(entry(0, 0).kind, ActionDone);
}

TEST_F(ReaderTest, MagicWithATrailingBlankOrMissingIsRefused)
{
    ASSERT_EQ(load(exampleFile()), 1);
    for (const std::string& bytes : {crlf({"[Program]", "Tallyvane ", "", "[Names]", "0"}),
                                     crlf({"[Names]", "0"}), std::string(), crlf({"[Program]", "[Names]"})}) {
        EXPECT_EQ(load(bytes), 0);
        EXPECT_EQ(view.calls, (std::vector<std::string>{"error Tallyvane: Not a Tallyvane data file"}));
        EXPECT_FALSE(report.replaced());
        EXPECT_EQ(doc.namesCount, 2);   // the content is unchanged
    }
}

TEST_F(ReaderTest, MissingFileChangesNothing)
{
    ASSERT_EQ(load(exampleFile()), 1);
    view.calls.clear();
    EXPECT_EQ(view.load(loadDataFile(doc, folder.file("missing.tvd").c_str())), 0);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(doc.namesCount, 2);
}

struct Inconsistency {
    const char* what;
    int number;
    std::string bytes;
};

TEST_F(ReaderTest, EachInconsistencyIsReportedAndOpensReadOnly)
{
    const std::string program = crlf({"[Program]", "Tallyvane", ""});
    std::vector<Inconsistency> cases = {
        {"action count", 1, program + crlf({"[Action Items]", "2", "Act", "", "[Names]", "1", "0 Ann", "", "[0]", "1", "0 "})},
        {"name count", 2, program + crlf({"[Action Items]", "1", "Act", "", "[Names]", "3", "0 Ann", "", "[0]", "1", "0 "})},
        {"bad kind", 3, oneByOne({"[0]", "2", "0 ", "7 seven"})},
        {"no section", 4, oneByOne({})},
        {"entry count", 5, oneByOne({"[0]", "2", "0 "})},
        {"action entries", 6, oneByOne({"[0]", "2", "0 ", "1 "})},
        {"nameless name", 7, program + crlf({"[Action Items]", "0", "", "[Names]", "1", "0 "})},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(load(c.bytes), 1) << c.what;
        EXPECT_EQ(view.calls, (std::vector<std::string>{
                                  "error Tallyvane: Data file is corrupt - Err# " + std::to_string(c.number), "readonly"}))
            << c.what;
        EXPECT_EQ(int(report.damage()), c.number) << c.what;
    }
}

TEST_F(ReaderTest, TheLastInconsistencyNotedWins)
{
    // Name 0 has a bad kind and the wrong count (3 then 5); name 1 has no section (4).
    std::string bytes = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Act", "", "[Names]", "2", "0 Ann",
                              "1 Bob", "", "[0]", "5", "0 ", "9"});
    ASSERT_EQ(load(bytes), 1);
    EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt - Err# 4");
    // A bad kind alone in name 0 and no section for name 1.
    bytes = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Act", "", "[Names]", "2", "0 Ann", "1 Bob",
                  "", "[0]", "2", "0 ", "-3"});
    ASSERT_EQ(load(bytes), 1);
    EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt - Err# 4");
    // Within a name, 6 replaces 3.
    ASSERT_EQ(load(oneByOne({"[0]", "1", "8"})), 1);
    EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt - Err# 6");
}

TEST_F(ReaderTest, BadNameLinesFailTheLoadAndKeepWhatWasRead)
{
    const std::string head = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "0", "", "[Names]", "2"});
    for (const char* bad : {"x Bob", "5 Bob", " 1 Bob", "-1 Bob"}) {
        ASSERT_EQ(load(head + crlf({"0 Ann", bad})), 0) << bad;
        EXPECT_EQ(view.calls, (std::vector<std::string>{"error Tallyvane: Data file is corrupt"}));
        EXPECT_TRUE(report.replaced());   // the window shows the names read so far
        EXPECT_EQ(doc.namesCount, 1);
    }
    EXPECT_EQ(load(head + crlf({"1 Ann"})), 0);
    EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt");
}

TEST_F(ReaderTest, ANamelessNameLineCountsAsDeletedAndTheFileStillSaves)
{
    const std::string head = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Act", "", "[Names]", "4",
                                   "0 Ann", "1", "2    ", "3 Cy", ""});
    const std::string sections = crlf({"[0]", "1", "1 01/01/26 01:00 AM", "[1]", "1", "1 02/02/26 02:00 AM", "[2]",
                                       "1", "0 ", "[3]", "1", "1 03/03/26 03:00 AM"});
    ASSERT_EQ(load(head + sections), 1);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"error Tallyvane: Data file is corrupt - Err# 7", "readonly"}));
    EXPECT_EQ(report.damage(), LoadReport::Damage::BlankName);
    EXPECT_EQ(doc.namesCount, 4);
    EXPECT_EQ(doc.liveNames, 2);
    EXPECT_EQ(doc.names[1].entries, nullptr);
    EXPECT_EQ(doc.liveEntryTotal(), 2);

    // Saved, the two names keep their own entries under dense numbers.
    std::string saved = folder.file("saved.tvd");
    doc.modified = 1;
    ASSERT_EQ(saveDataFile(doc, view, saved.c_str()), 1);
    EXPECT_EQ(readBytes(saved), crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Act", "", "[Names]", "2",
                                      "0 Ann", "1 Cy", "", "[0]", "1", "1 01/01/26 01:00 AM", "[1]", "1",
                                      "1 03/03/26 03:00 AM"}));
}

TEST_F(ReaderTest, NameLinesKeepTheirTextAfterTheNumber)
{
    std::string bytes = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "0", "", "[Names]", "3",
                              "00 Ann", "1     Bob", "2 42nd Street Club", ""});
    for (int i = 0; i < 3; ++i)
        bytes += crlf({("[" + std::to_string(i) + "]").c_str(), "0"});
    ASSERT_EQ(load(bytes), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_STREQ(doc.names[0].name, "Ann");
    EXPECT_STREQ(doc.names[1].name, "Bob");
    EXPECT_STREQ(doc.names[2].name, "42nd Street Club");
    EXPECT_EQ(doc.names[0].entryCount, 0);
}

TEST_F(ReaderTest, EmptyActionListLoadsWithoutInconsistency)
{
    std::string bytes = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "0", "", "[Names]", "1", "0 Ann", "",
                              "[0]", "1", "2 memo"});
    ASSERT_EQ(load(bytes), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(doc.actionCount, 0);
}

TEST_F(ReaderTest, EntryLinesOfEveryShape)
{
    ASSERT_EQ(load(oneByOne({"[0]", "7", "1 ", "2 ", "3 no tab here", "2 memo\twith tab", "4 box\t01/01/26 01:01 AM",
                             "3 \t", "4 box\tdate that is far too long for its field"})),
              1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(entry(0, 0).kind, ActionDone);
    EXPECT_STREQ(entry(0, 0).date, "");
    EXPECT_STREQ(entry(0, 1).text, "");
    EXPECT_STREQ(entry(0, 2).text, "no tab here");
    EXPECT_STREQ(entry(0, 2).date, "");
    EXPECT_STREQ(entry(0, 3).text, "memo\twith tab");
    EXPECT_STREQ(entry(0, 4).text, "box");
    EXPECT_STREQ(entry(0, 4).date, "01/01/26 01:01 AM");
    EXPECT_STREQ(entry(0, 5).text, "");
    EXPECT_STREQ(entry(0, 6).date, "date that is far to");   // cut to the 19-character field
}

TEST_F(ReaderTest, ActionDatesOfEighteenCharactersAreDropped)
{
    ASSERT_EQ(load(oneByOne({"[0]", "1", "1 123456789012345678"})), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_STREQ(entry(0, 0).date, "");
    ASSERT_EQ(load(oneByOne({"[0]", "1", "1 12345678901234567"})), 1);
    EXPECT_STREQ(entry(0, 0).date, "12345678901234567");
}

TEST_F(ReaderTest, SurplusEntryLinesAreLeftUnread)
{
    std::vector<const char*> lines = {"[0]", "1", "0 "};
    for (int i = 0; i < 30; ++i)
        lines.push_back("2 memo");
    std::string bytes = oneByOne({});
    for (const char* line : lines)
        bytes += std::string(line) + "\r\n";
    ASSERT_EQ(load(bytes), 1);
    EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt - Err# 5");
    EXPECT_EQ(doc.names[0].entryCount, 21);
    // The list read up to its capacity has room for the next entry.
    EXPECT_GT(doc.names[0].entryCapacity, 21);
    EXPECT_EQ(doc.addMemo(0, "one more"), 1);
}

TEST_F(ReaderTest, NegativeKindsStayLiveAndTheWriterRefusesThem)
{
    ASSERT_EQ(load(oneByOne({"[0]", "2", "0 ", "-1 gone"})), 1);
    EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt - Err# 3");
    EXPECT_EQ(entry(0, 1).kind, -1);
    EXPECT_EQ(entry(0, 1).text, nullptr);
    EXPECT_EQ(doc.names[0].liveEntries, 2);
    doc.modified = 1;
    view.calls.clear();
    EXPECT_EQ(saveDataFile(doc, view, folder.file("out.tvd").c_str()), 0);
    EXPECT_EQ(view.errors(), std::vector<std::string>{"Tallyvane: Data is corrupt - file not saved"});
    EXPECT_EQ(doc.modified, 1);
}

TEST_F(ReaderTest, OverlongLinesAreCutToTheirFields)
{
    std::string longText(400, 'a');
    std::string bytes = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", longText.c_str(), "", "[Names]",
                              "1", ("0 " + longText).c_str(), "", "[0]", "3", "0 ", ("2 " + longText).c_str(),
                              ("3 " + longText + "\tdate").c_str()});
    ASSERT_EQ(load(bytes), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(strlen(doc.actions[0].text), 127u);
    EXPECT_EQ(strlen(doc.names[0].name), 127u);
    EXPECT_EQ(strlen(entry(0, 1).text), 157u);
    EXPECT_EQ(strlen(entry(0, 2).text), 157u);   // the tab lay beyond the line buffer
    EXPECT_STREQ(entry(0, 2).date, "");
}

TEST_F(ReaderTest, AbsurdCountsOnlySizeTheTables)
{
    for (const char* count : {"2000000000", "-5", "99999999999999999999", "nonsense"}) {
        std::string bytes = crlf({"[Program]", "Tallyvane", "", "[Action Items]", count, "Act", "", "[Names]", count,
                                  "0 Ann", "", "[0]", count, "0 ", "2 memo"});
        ASSERT_EQ(load(bytes), 1) << count;
        EXPECT_EQ(view.lastError(), "Tallyvane: Data file is corrupt - Err# 5") << count;
        EXPECT_LE(doc.nameTable.capacity, 101) << count;
        EXPECT_LE(doc.actionTable.capacity, 101) << count;
        EXPECT_EQ(doc.names[0].entryCount, 2) << count;
        EXPECT_LE(doc.names[0].entryCapacity, 42) << count;
        EXPECT_STREQ(entry(0, 1).text, "memo");
    }
}

TEST_F(ReaderTest, MissingNamesOrActionSectionsCountAsZero)
{
    ASSERT_EQ(load(crlf({"[Program]", "Tallyvane", "", "[Action Items]", "1", "Act"})), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(doc.actionCount, 1);
    ASSERT_EQ(load(crlf({"[Program]", "Tallyvane", "", "[Names]", "1", "0 Ann", "", "[0]", "0"})), 1);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(doc.namesCount, 1);
}

TEST_F(ReaderTest, RunningOutOfMemoryAnywhereEndsTheLoadCleanly)
{
    std::string bytes = exampleFile();
    writeBytes(path, bytes);
    int failures = 0;
    for (long failAt = 1; failAt < 200; ++failAt) {
        Document fresh;
        RecordingView freshView;
        heapHooks.reset();
        heapHooks.failAt = failAt;
        int loaded = freshView.load(loadDataFile(fresh, path.c_str()));
        bool reached = heapHooks.failAt == 0;
        heapHooks.reset();
        if (!reached) {
            EXPECT_EQ(loaded, 1);
            break;
        }
        if (loaded) {
            // The header index is a speed-up: without it the plain search serves.
            EXPECT_TRUE(freshView.errors().empty()) << "allocation " << failAt;
            EXPECT_EQ(fresh.liveEntryTotal(), 6);
            continue;
        }
        failures++;
        // Only the file buffer fails silently: the caller then reports the open.
        if (failAt > 1) {
            EXPECT_EQ(freshView.errors(), std::vector<std::string>{"Tallyvane: Out of memory"}) << "allocation " << failAt;
        }
    }
    // File buffer, two tables and the block of the entry lists and texts.
    EXPECT_GE(failures, 4);
}

} // namespace

namespace {

// Every cut of a file short of its last line end is not whole: a prefix of
// any length, at a line boundary or inside a line or a header; the file
// with any line ends, its sections in another order, is. Whole is no more
// than that: a count that does not match the list is not whole either.
TEST(DataFileCheck, OnlyAWholeCopyIsWhole)
{
    const std::string file = exampleFile();
    // The reader tells the same while it loads (loadDataBytes with whole).
    auto both = [](const std::string& bytes) {
        Document doc;
        RecordingView view;
        bool whole = true;
        view.load(loadDataBytes(doc, bytes.data(), bytes.size(), &whole));
        EXPECT_EQ(whole, isWholeDataFile(bytes.data(), bytes.size())) << bytes;
        return whole;
    };
    for (size_t length = 0; length <= file.size(); ++length)
        EXPECT_EQ(both(file.substr(0, length)), length + 1 >= file.size()) << file.substr(0, length);
    std::string lf = file;
    for (size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    EXPECT_TRUE(both(lf));
    size_t names = file.find("[Names]");
    std::string reordered = file.substr(names) + file.substr(0, names);
    EXPECT_TRUE(both(reordered));
    for (const char* bad : {"[Action Items]\r\n2\r\n", "[Names]\r\n2\r\n", "[1]\r\n3\r\n"}) {
        std::string changed = file;
        std::string count = std::string(bad).replace(std::string(bad).size() - 3, 1, "4");
        changed.replace(changed.find(bad), strlen(bad), count);
        EXPECT_FALSE(both(changed)) << count;
    }
    std::string noCount = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "", "[Names]", "0", ""});
    EXPECT_FALSE(both(noCount));
    std::string empty = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "0", "", "[Names]", "0", ""});
    EXPECT_TRUE(both(empty));
}

}  // namespace
