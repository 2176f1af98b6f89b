#include <gtest/gtest.h>

#include <string>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/file/FileHandle.h"

using namespace testing_support;

namespace {

class SaveTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    FaultGuard faults;
    Document doc;
    RecordingView view;
    std::string target = folder.file("staff.tvd");
    std::string temp = folder.file("staff.$$$");
    const std::string oldBytes = exampleFile();

    void SetUp() override
    {
        writeBytes(target, oldBytes);
        ASSERT_EQ(loadDataFile(doc, view, target.c_str()), 1);
        ASSERT_EQ(doc.addMemo(1, "a new memo"), 1);
        EXPECT_EQ(doc.modified, 1);
        view.calls.clear();
    }
};

TEST_F(SaveTest, ReplacesTheFileAndLeavesNoTemporaryFile)
{
    ASSERT_EQ(saveDocumentFile(doc, view, target.c_str()), 1);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(doc.modified, 0);
    EXPECT_FALSE(exists(temp));
    std::string bytes = readBytes(target);
    EXPECT_NE(bytes.find("2 a new memo\r\n"), std::string::npos);
}

TEST_F(SaveTest, SavesUnderANameWithoutExtension)
{
    std::string bare = folder.file("bare");
    ASSERT_EQ(saveDocumentFile(doc, view, bare.c_str()), 1);
    EXPECT_TRUE(exists(bare));
    EXPECT_FALSE(exists(bare + ".$$$"));
}

struct Fault {
    const char* step;
    int* flag;
    bool newContentStays;   // the complete new file remains as ".$$$"
};

TEST_F(SaveTest, AFailureAtAnyStepKeepsTheOldFileAndTheModifiedFlag)
{
    const Fault steps[] = {
        {"create", &fileFaults.failCreate, false},
        {"write", &fileFaults.failWriteAt, false},
        {"flush", &fileFaults.failFlush, false},
        {"close", &fileFaults.failClose, false},
        {"replace", &fileFaults.failReplace, true},
    };
    for (const Fault& fault : steps) {
        fileFaults.reset();
        view.calls.clear();
        *fault.flag = 1;
        EXPECT_EQ(saveDocumentFile(doc, view, target.c_str()), 0) << fault.step;
        EXPECT_EQ(view.calls, std::vector<std::string>{"error " + target + ": Failed to save the file"}) << fault.step;
        EXPECT_EQ(doc.modified, 1) << fault.step;
        EXPECT_EQ(readBytes(target), oldBytes) << fault.step;
        EXPECT_EQ(exists(temp), fault.newContentStays) << fault.step;
        if (fault.newContentStays) {
            EXPECT_NE(readBytes(temp).find("2 a new memo\r\n"), std::string::npos);
            deleteFile(temp.c_str());
        }
    }
}

TEST_F(SaveTest, AFailedWriteInTheMiddleOfALargeFile)
{
    for (int i = 0; i < 8000; ++i)
        ASSERT_EQ(doc.addMemo(0, "a memo long enough to fill the write buffer several times"), 1);
    fileFaults.failWriteAt = 3;
    EXPECT_EQ(saveDocumentFile(doc, view, target.c_str()), 0);
    EXPECT_EQ(readBytes(target), oldBytes);
    EXPECT_FALSE(exists(temp));
    EXPECT_EQ(doc.modified, 1);
}

TEST_F(SaveTest, ACorruptDocumentLeavesNothingBehind)
{
    doc.liveNames++;
    EXPECT_EQ(saveDocumentFile(doc, view, target.c_str()), 0);
    EXPECT_EQ(view.errors(), std::vector<std::string>{"Tallyvane: Data is corrupt - file not saved"});
    EXPECT_EQ(readBytes(target), oldBytes);
    EXPECT_FALSE(exists(temp));
    EXPECT_EQ(doc.modified, 1);
    doc.liveNames--;
}

TEST_F(SaveTest, AMissingFolderIsReported)
{
    std::string nowhere = folder.file("no-folder/staff.tvd");
    EXPECT_EQ(saveDocumentFile(doc, view, nowhere.c_str()), 0);
    EXPECT_EQ(view.errors(), std::vector<std::string>{nowhere + ": Failed to save the file"});
    EXPECT_EQ(doc.modified, 1);
}

#ifdef _WIN32
// Data files are opened without sharing: while another handle holds the
// file, neither a load nor the replacement can touch it.
TEST_F(SaveTest, AFileHeldOpenIsNeitherReadNorReplaced)
{
    FileHandle holder;
    ASSERT_EQ(holder.openRead(target.c_str()), 1);
    Document other;
    RecordingView otherView;
    EXPECT_EQ(loadDataFile(other, otherView, target.c_str()), 0);
    EXPECT_EQ(saveDocumentFile(doc, view, target.c_str()), 0);
    EXPECT_EQ(view.errors(), std::vector<std::string>{target + ": Failed to save the file"});
    EXPECT_EQ(doc.modified, 1);
    holder.close();
    EXPECT_EQ(readBytes(target), oldBytes);
    EXPECT_TRUE(exists(temp));
}
#endif

} // namespace
