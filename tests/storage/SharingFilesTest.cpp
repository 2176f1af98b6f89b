// The files a shared data file brings along: the presence file beside it,
// the recovery file of unsaved changes and the names of its backups.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "storage/format/BackupName.h"
#include "storage/format/DataFile.h"
#include "storage/format/PresenceFile.h"
#include "storage/format/RecoveryFile.h"

using namespace testing_support;

namespace {

std::string presencePath(const char* dataPath, int size = 300)
{
    char out[300];
    return PresenceFile::pathFor(dataPath, out, size) ? out : "<none>";
}

TEST(PresenceFile, PathIsTheDataFileNameAfterTildeDollar)
{
    EXPECT_EQ(presencePath("C:\\Club\\club.tvd"), "C:\\Club\\~$club.tvd");
    EXPECT_EQ(presencePath("\\\\nas\\share\\club.tvd"), "\\\\nas\\share\\~$club.tvd");
    EXPECT_EQ(presencePath("club.tvd"), "~$club.tvd");
    EXPECT_EQ(presencePath("D:club.tvd"), "D:~$club.tvd");
    EXPECT_EQ(presencePath("/tmp/x/club.tvd"), "/tmp/x/~$club.tvd");
    EXPECT_EQ(presencePath("C:\\Club\\"), "<none>");
    EXPECT_EQ(presencePath("C:\\a.tvd", 10), "<none>");   // 10 characters and the NUL
    EXPECT_EQ(presencePath("C:\\a.tvd", 11), "C:\\~$a.tvd");
}

TEST(PresenceFile, ComposedLinesReadBackAndOddFilesAreToleratedOrRefused)
{
    PresenceFile ann;
    strcpy(ann.user, "ann");
    strcpy(ann.computer, "PC-7");
    ann.pid = 4294967295u;
    strcpy(ann.since, "12/09/26 10:02 AM");
    char text[400];
    int length = ann.compose(text, sizeof text);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(text, size_t(length)), crlf({"user=ann", "computer=PC-7", "pid=4294967295",
                                                       "since=12/09/26 10:02 AM"}));
    EXPECT_EQ(ann.compose(text, length), 0);   // no room for the NUL

    struct Case {
        std::string text;
        int parsed;
        std::string user;
        const char* computer;
        uint32_t pid;
    };
    const std::string longName(200, 'x');
    const Case cases[] = {
        {std::string(text, size_t(length)), 1, "ann", "PC-7", 4294967295u},
        {"computer=PC-1\npid=12\nuser=bob\n", 1, "bob", "PC-1", 12},                 // any order, LF only
        {"pid=12\r\ncomputer=PC-1", 1, "", "PC-1", 12},                              // no end of line, no user
        {"junk\r\n\r\nlock=1\r\ncomputer=PC-1\r\npid=7\r\n", 1, "", "PC-1", 7},     // unknown lines passed over
        {"user=" + longName + "\r\ncomputer=PC-1\r\npid=7", 1, std::string(63, 'x'), "PC-1", 7},
        {"computer=PC-1\r\npid=4294967296\r\n", 0, "", "PC-1", 0},                   // pid out of range
        {"computer=PC-1\r\npid=12a\r\n", 0, "", "PC-1", 0},
        {"computer=PC-1\r\n", 0, "", "PC-1", 0},
        {"pid=12\r\n", 0, "", "", 12},
        {std::string("computer=PC\0-1\r\npid=3", 21), 1, "", "PC", 3},
        {"", 0, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PresenceFile read;
        EXPECT_EQ(read.parse(c.text.data(), c.text.size()), c.parsed);
        EXPECT_EQ(read.user, c.user);
        EXPECT_STREQ(read.computer, c.computer);
        EXPECT_EQ(read.pid, c.pid);
    }
}

uint32_t livePid = 0;
int isLive(uint32_t pid) { return pid == livePid; }

TEST(PresenceFile, OwnerIsMineStaleOrOther)
{
    struct Case {
        const char* computer;
        uint32_t pid;
        uint32_t live;
        PresenceFile::Owner owner;
    };
    // Seen from process 100 on "PC-1".
    const Case cases[] = {
        {"PC-1", 100, 0, PresenceFile::Mine},
        {"pc-1", 100, 0, PresenceFile::Mine},
        {"PC-1", 200, 0, PresenceFile::Stale},   // its process is gone: taken over
        {"PC-1", 200, 200, PresenceFile::Other}, // a live Tallyvane of this computer
        {"PC-7", 100, 0, PresenceFile::Other},   // another computer: its processes can't be asked
        {"PC-7", 200, 0, PresenceFile::Other},
        {"", 200, 200, PresenceFile::Stale},     // names nobody
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.computer) + " " + std::to_string(c.pid));
        PresenceFile file;
        strcpy(file.computer, c.computer);
        file.pid = c.pid;
        livePid = c.live;
        EXPECT_EQ(file.ownerFor("PC-1", 100, isLive), c.owner);
    }
}

TEST(BackupName, NamesKeepFoldersApartAndSortByTime)
{
    const BackupName::Time t = {2026, 12, 9, 10, 2, 5, 123};
    std::string a = BackupName::compose("C:\\Club\\club.tvd", t);
    ASSERT_EQ(a.size(), std::string("club (12345678) 2026-12-09 10.02.05.123.tvd").size()) << a;
    EXPECT_EQ(a.substr(0, 6), "club (");
    EXPECT_EQ(a.substr(15), " 2026-12-09 10.02.05.123.tvd");
    EXPECT_EQ(BackupName::prefixFor("C:\\Club\\club.tvd"), a.substr(0, 16));

    // The same folder however it is spelled; another folder never shares the slot.
    EXPECT_EQ(BackupName::prefixFor("c:\\CLUB\\club.tvd"), BackupName::prefixFor("C:/Club/club.tvd"));
    EXPECT_NE(BackupName::prefixFor("C:\\Club\\club.tvd"), BackupName::prefixFor("D:\\Club\\club.tvd"));
    EXPECT_NE(BackupName::prefixFor("C:\\Club\\club.tvd"), BackupName::prefixFor("\\\\nas\\Club\\club.tvd"));
    EXPECT_EQ(BackupName::compose("C:\\x\\club", t).substr(a.size() - 4 - 23), "2026-12-09 10.02.05.123.tvd");
    EXPECT_EQ(BackupName::compose("C:\\x\\club.dat", t).substr(a.size() - 4), ".dat");
}

TEST(BackupName, SurplusIsTheOldestBeyondTenOfTheSameFileOnly)
{
    const std::string mine = BackupName::prefixFor("C:\\Club\\club.tvd");
    const std::string other = BackupName::prefixFor("D:\\Club\\club.tvd");
    std::vector<std::string> names;
    // Twelve of mine, listed out of order, across a month and a year boundary.
    for (int i = 11; i >= 0; --i) {
        BackupName::Time t = {2026 + i / 6, 1 + (i % 6) * 2, 28, 23, 59, 59, 990 + i % 6};
        names.push_back(BackupName::compose("C:\\Club\\club.tvd", t));
        names.push_back(BackupName::compose("D:\\Club\\club.tvd", t));
    }
    names.push_back(mine + "notes.txt");   // not a backup's shape
    names.push_back("club.tvd");

    std::vector<std::string> doomed = BackupName::surplus(names, mine);
    ASSERT_EQ(doomed.size(), 2u);
    EXPECT_EQ(doomed[0], BackupName::compose("C:\\Club\\club.tvd", {2026, 1, 28, 23, 59, 59, 990}));
    EXPECT_EQ(doomed[1], BackupName::compose("C:\\Club\\club.tvd", {2026, 3, 28, 23, 59, 59, 991}));
    EXPECT_EQ(BackupName::surplus(names, other).size(), 2u);
    EXPECT_TRUE(BackupName::surplus(names, mine, 12).empty());
    EXPECT_EQ(BackupName::surplus(names, mine, 0).size(), 12u);
    // The prefix matches whatever the case of the listing.
    std::vector<std::string> upper = {names[0]};
    for (char& c : upper[0])
        c = char(toupper(c));
    EXPECT_EQ(BackupName::surplus(upper, mine, 0).size(), 1u);
}

class RecoveryTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    RecordingView view;
    std::string path = folder.file("1234.tvr");

    // The example file loaded, with a change in memory.
    void loadChanged(Document& doc)
    {
        std::string in = folder.file("in.tvd");
        writeBytes(in, exampleFile());
        ASSERT_EQ(loadDataFile(doc, view, in.c_str()), 1);
        doc.addName("Cy Young");
        doc.names[0].entries[1].kind = 1;
        doc.modified = 1;
    }
    std::string savedBytes(Document& doc)
    {
        std::string out = folder.file("saved.tvd");
        EXPECT_EQ(int(writeDataFile(doc, out.c_str())), int(SaveResult::Saved));
        doc.modified = 1;
        return readBytes(out);
    }
};

TEST_F(RecoveryTest, RoundTripKeepsPathPidBaseAndDocument)
{
    Document doc;
    loadChanged(doc);
    const std::string base = exampleFile();
    for (const char* dataPath : {"\\\\nas\\share\\club=2.tvd", ""}) {
        SCOPED_TRACE(dataPath);
        RecoveryFile out;
        strcpy(out.dataPath, dataPath);
        out.pid = 4000000000u;
        strcpy(out.changed, "12/09/26 10:02 AM");
        ASSERT_EQ(out.write(path.c_str(), doc, base.data(), base.size()), 1);
        EXPECT_EQ(doc.modified, 1);
        EXPECT_FALSE(exists(folder.file("1234.$$$")));

        RecoveryFile in;
        ASSERT_EQ(in.read(path.c_str()), 1);
        EXPECT_STREQ(in.dataPath, dataPath);
        EXPECT_EQ(in.pid, 4000000000u);
        EXPECT_STREQ(in.changed, "12/09/26 10:02 AM");
        EXPECT_EQ(std::string(in.base, in.baseSize), base);
        EXPECT_EQ(std::string(in.document, in.documentSize), savedBytes(doc));
    }
    // An untitled document has no base.
    RecoveryFile untitled;
    ASSERT_EQ(untitled.write(path.c_str(), doc, nullptr, 0), 1);
    RecoveryFile in;
    ASSERT_EQ(in.read(path.c_str()), 1);
    EXPECT_EQ(in.baseSize, 0u);
    EXPECT_EQ(std::string(in.document, in.documentSize), savedBytes(doc));
}

TEST_F(RecoveryTest, DamagedRecoveryFilesAreRefused)
{
    Document doc;
    loadChanged(doc);
    RecoveryFile out;
    strcpy(out.dataPath, "C:\\club.tvd");
    out.pid = 7;
    const std::string base = exampleFile();
    ASSERT_EQ(out.write(path.c_str(), doc, base.data(), base.size()), 1);
    const std::string whole = readBytes(path);
    const size_t header = whole.find("\r\n\r\n") + 4;

    struct Case {
        const char* what;
        std::string bytes;
        int read;
    };
    std::string badPid = whole;
    badPid.replace(badPid.find("pid=7"), 5, "pid=x");
    std::string longBase = whole;
    longBase.replace(longBase.find("base="), 5, "base=9");
    const Case cases[] = {
        {"whole", whole, 1},
        {"cut in the base", whole.substr(0, header + base.size() - 1), 0},
        {"cut in the header", whole.substr(0, header - 3), 0},
        {"not one", exampleFile(), 0},
        {"bad pid", badPid, 0},
        {"base longer than the file", longBase, 0},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(path, c.bytes);
        RecoveryFile in;
        EXPECT_EQ(in.read(path.c_str()), c.read);
    }
    RecoveryFile missing;
    EXPECT_EQ(missing.read(folder.file("none.tvr").c_str()), 0);
}

TEST_F(RecoveryTest, AFailedWriteLeavesThePreviousFileWhole)
{
    Document doc;
    loadChanged(doc);
    RecoveryFile out;
    out.pid = 7;
    ASSERT_EQ(out.write(path.c_str(), doc, nullptr, 0), 1);
    const std::string before = readBytes(path);
    FaultGuard faults;
    fileFaults.failWriteAt = 1;
    doc.addName("Dee Lane");
    EXPECT_EQ(out.write(path.c_str(), doc, nullptr, 0), 0);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(exists(folder.file("1234.$$$")));
}

} // namespace
