#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

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
    std::string temp = folder.file("staff.tvd.$$$");
    const std::string oldBytes = exampleFile();

    void SetUp() override
    {
        writeBytes(target, oldBytes);
        ASSERT_EQ(view.load(loadDataFile(doc, target.c_str())), 1);
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

// The temporary file is the saved file's own: what stands under the names
// of others' temporary files (another save of club or club.bak, an
// unrelated file, a link) is never written, and nothing is left behind.
TEST_F(SaveTest, TheTemporaryFileIsNeverAnotherOne)
{
    for (const char* name : {"staff.tvd", "staff", "staff.bak"}) {
        SCOPED_TRACE(name);
        std::string saved = folder.file(name);
        std::vector<std::string> others = {folder.file("staff.$$$"), saved + ".$$$"};
        for (const std::string& other : others)
            writeBytes(other, "precious");
#ifndef _WIN32
        std::string linked = folder.file("precious.txt");
        writeBytes(linked, "precious");
        std::filesystem::remove(others.back());
        std::filesystem::create_symlink(linked, others.back());
        others.push_back(linked);
#endif
        ASSERT_EQ(saveDocumentFile(doc, view, saved.c_str()), 1);
        EXPECT_NE(readBytes(saved).find("2 a new memo\r\n"), std::string::npos);
        EXPECT_FALSE(std::filesystem::is_symlink(saved));
        for (const std::string& other : others)
            EXPECT_EQ(readBytes(other), "precious") << other;
        for (const std::string& other : others)
            std::filesystem::remove(other);
        EXPECT_FALSE(exists(saved + ".2.$$$"));
        doc.modified = 1;
    }
}

struct Fault {
    const char* step;
    int* flag;
};

TEST_F(SaveTest, AFailureAtAnyStepKeepsTheOldFileAndTheModifiedFlag)
{
    const Fault steps[] = {
        {"create", &fileFaults.failCreate},
        {"write", &fileFaults.failWriteAt},
        {"flush", &fileFaults.failFlush},
        {"close", &fileFaults.failClose},
        {"replace", &fileFaults.failReplace},
    };
    for (const Fault& fault : steps) {
        fileFaults.reset();
        view.calls.clear();
        *fault.flag = 1;
        EXPECT_EQ(saveDocumentFile(doc, view, target.c_str()), 0) << fault.step;
        EXPECT_EQ(view.calls, std::vector<std::string>{"error " + target + ": Failed to save the file"}) << fault.step;
        EXPECT_EQ(doc.modified, 1) << fault.step;
        EXPECT_EQ(readBytes(target), oldBytes) << fault.step;
        EXPECT_FALSE(exists(temp)) << fault.step;
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
// Data files are read with FILE_SHARE_READ: two readers never block each
// other, while no save replaces the file under a reader. A program that
// holds it without sharing keeps everyone out.
TEST_F(SaveTest, AFileHeldOpenIsReadByOthersButNotReplaced)
{
    FileHandle reader;
    ASSERT_EQ(reader.openRead(target.c_str()), 1);
    Document other;
    RecordingView otherView;
    EXPECT_EQ(otherView.load(loadDataFile(other, target.c_str())), 1);
    EXPECT_EQ(saveDocumentFile(doc, view, target.c_str()), 0);
    EXPECT_EQ(view.errors(), std::vector<std::string>{target + ": Failed to save the file"});
    EXPECT_EQ(doc.modified, 1);
    reader.close();
    EXPECT_EQ(readBytes(target), oldBytes);
    EXPECT_FALSE(exists(temp));

    HANDLE holder = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(otherView.load(loadDataFile(other, target.c_str())), 0);
    CloseHandle(holder);
}
#endif

} // namespace
