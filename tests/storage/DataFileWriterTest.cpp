#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "storage/format/DataFile.h"

using namespace testing_support;

namespace {

class WriterTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    FaultGuard faults;
    Document doc;
    RecordingView view;
    std::string out = folder.file("out.tvd");

    std::string save()
    {
        EXPECT_EQ(saveDataFile(doc, view, out.c_str()), 1);
        return readBytes(out);
    }
};

TEST_F(WriterTest, ExampleFileSavesBackByteForByte)
{
    std::string in = folder.file("in.tvd");
    writeBytes(in, exampleFile());
    ASSERT_EQ(view.load(loadDataFile(doc, in.c_str())), 1);
    doc.modified = 1;
    EXPECT_EQ(save(), exampleFile());
    EXPECT_EQ(doc.modified, 0);
}

TEST_F(WriterTest, NewDocumentStartsWithTheProgramSection)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    EXPECT_EQ(save(), crlf({"[Program]", "Tallyvane", "", "[Action Items]", "0", "", "[Names]", "0", ""}));
}

TEST_F(WriterTest, DeletedSlotsAndEntriesAreDroppedAndIndexesBecomeDense)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    for (const char* action : {"gone", "first", "second"}) {
        ASSERT_EQ(doc.addActionItem(action), 1);
        ASSERT_EQ(doc.addActionEntries(), 1);
    }
    ASSERT_EQ(doc.addName("Removed"), 0);
    ASSERT_EQ(doc.addName("Ann"), 1);
    ASSERT_EQ(doc.addName("Bob"), 2);
    ASSERT_EQ(doc.addMemo(1, "kept memo"), 1);
    ASSERT_EQ(doc.addMemo(1, "deleted memo"), 1);
    ASSERT_EQ(doc.addCheckbox(2, "own box"), 1);
    Entry* annSecond = doc.entryAt(1, 2);
    annSecond->kind = ActionDone;
    strcpy(annSecond->date, "05/06/26 07:08 PM");
    Entry* bobBox = doc.entryAt(2, 3);
    bobBox->kind = CheckboxDone;
    strcpy(bobBox->date, "01/02/26 03:04 AM");
    doc.deleteEntry(1, 4);
    doc.deleteName(0);
    doc.deleteActionItem(0);

    std::string expected = crlf({"[Program]", "Tallyvane", "", "[Action Items]", "2", "first", "second", "",
                                 "[Names]", "2", "0 Ann", "1 Bob", "", "[0]", "3", "0 ", "1 05/06/26 07:08 PM",
                                 "2 kept memo", "[1]", "3", "0 ", "0 ", "4 own box\t01/02/26 03:04 AM"});
    EXPECT_EQ(save(), expected);

    Document reloaded;
    RecordingView reloadView;
    ASSERT_EQ(reloadView.load(loadDataFile(reloaded, out.c_str())), 1);
    EXPECT_TRUE(reloadView.errors().empty());
    EXPECT_STREQ(reloaded.names[0].name, "Ann");
    EXPECT_STREQ(reloaded.names[1].name, "Bob");
    EXPECT_EQ(reloaded.actionCount, 2);
    EXPECT_STREQ(reloaded.actions[1].text, "second");
    const Entry* done = reloaded.entryAt(0, 1);
    EXPECT_EQ(done->kind, ActionDone);
    EXPECT_EQ(done->actionIndex, 1);
    EXPECT_STREQ(done->date, "05/06/26 07:08 PM");
    EXPECT_STREQ(reloaded.entryAt(0, 2)->text, "kept memo");
    EXPECT_EQ(reloaded.entryAt(1, 2)->kind, CheckboxDone);
    EXPECT_STREQ(reloaded.entryAt(1, 2)->date, "01/02/26 03:04 AM");
    // Saving the reloaded document changes nothing.
    std::string again = folder.file("again.tvd");
    ASSERT_EQ(saveDataFile(reloaded, reloadView, again.c_str()), 1);
    EXPECT_EQ(readBytes(again), expected);
}

TEST_F(WriterTest, CountMismatchesRefuseTheSave)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addActionItem("a"), 1);
    ASSERT_EQ(doc.addName("Ann"), 0);
    doc.modified = 1;
    for (int fault = 0; fault < 3; ++fault) {
        if (fault == 0)
            doc.liveActions++;
        if (fault == 1)
            doc.liveNames++;
        if (fault == 2)
            doc.names[0].liveEntries++;
        view.calls.clear();
        EXPECT_EQ(saveDataFile(doc, view, out.c_str()), 0) << fault;
        EXPECT_EQ(view.errors(), std::vector<std::string>{"Tallyvane: Data is corrupt - file not saved"});
        EXPECT_EQ(doc.modified, 1);
        if (fault == 0)
            doc.liveActions--;
        if (fault == 1)
            doc.liveNames--;
    }
}

TEST_F(WriterTest, WriteFailuresAreDetectedWithoutTheCorruptMessage)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addName("Ann"), 0);
    doc.modified = 1;
    EXPECT_EQ(writeDataFile(doc, folder.file("no-folder/out.tvd").c_str()), SaveResult::NotCreated);
    fileFaults.failWriteAt = 1;
    EXPECT_EQ(writeDataFile(doc, out.c_str()), SaveResult::WriteFailed);
    fileFaults.failClose = 1;
    EXPECT_EQ(saveDataFile(doc, view, out.c_str()), 0);
    EXPECT_TRUE(view.errors().empty());
    EXPECT_EQ(doc.modified, 1);
}

TEST_F(WriterTest, TextsThatWouldBreakTheFormatAreWrittenSafely)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addActionItem("[Names]"), 1);
    ASSERT_EQ(doc.addActionItem("second"), 1);
    ASSERT_EQ(doc.addName("Ann"), 0);
    ASSERT_EQ(doc.addMemo(0, "two\r\nlines"), 1);
    ASSERT_EQ(doc.addCheckbox(0, "tab\tinside"), 1);
    ASSERT_EQ(doc.addCheckbox(0, "dated\ttab"), 1);
    strcpy(doc.names[0].entries[4].date, "01/02/26 03:04 AM");
    ASSERT_EQ(doc.addMemo(0, "memo\ttab"), 1);
    std::string bytes = save();
    EXPECT_NE(bytes.find("\r\n [Names]\r\nsecond\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("2 two  lines\r\n3 tab inside\r\n3 dated tab\t01/02/26 03:04 AM\r\n2 memo\ttab\r\n"),
              std::string::npos);

    Document reloaded;
    RecordingView reloadView;
    ASSERT_EQ(reloadView.load(loadDataFile(reloaded, out.c_str())), 1);
    EXPECT_TRUE(reloadView.errors().empty());
    EXPECT_EQ(reloaded.actionCount, 2);
    EXPECT_STREQ(reloaded.actions[0].text, " [Names]");
    EXPECT_STREQ(reloaded.names[0].name, "Ann");
    EXPECT_STREQ(reloaded.names[0].entries[3].text, "tab inside");
    EXPECT_STREQ(reloaded.names[0].entries[3].date, "");
    EXPECT_STREQ(reloaded.names[0].entries[4].text, "dated tab");
    EXPECT_STREQ(reloaded.names[0].entries[4].date, "01/02/26 03:04 AM");
    EXPECT_STREQ(reloaded.names[0].entries[5].text, "memo\ttab");
}

TEST_F(WriterTest, LongTextsAreCutToTheLine)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    ASSERT_EQ(doc.addName("Ann"), 0);
    std::string memo(300, 'm');
    ASSERT_EQ(doc.addMemo(0, memo.c_str()), 1);
    std::string bytes = save();
    EXPECT_NE(bytes.find("2 " + std::string(157, 'm') + "\r\n"), std::string::npos);

    // A checkbox whose date no longer fits loses the date with its tab, so
    // the file saves the same again after loading it.
    for (size_t length : {139u, 150u, 156u}) {
        ASSERT_EQ(doc.addCheckbox(0, std::string(length, 'c').c_str()), 1);
        strcpy(doc.names[0].entries[doc.names[0].entryCount - 1].date, "03/15/26 02:30 PM");
    }
    bytes = save();
    EXPECT_NE(bytes.find("3 " + std::string(139, 'c') + "\t03/15/26 02:30 PM\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("3 " + std::string(150, 'c') + "\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("3 " + std::string(156, 'c') + "\r\n"), std::string::npos);
    Document again;
    ASSERT_EQ(view.load(loadDataFile(again, out.c_str())), 1);
    EXPECT_EQ(writeDataFile(again, out.c_str()), SaveResult::Saved);
    EXPECT_EQ(readBytes(out), bytes);
}

} // namespace
