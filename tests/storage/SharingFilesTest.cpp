// The files a shared data file brings along: the presence file beside it,
// the recovery file of unsaved changes and the names of its backups.
#include <gtest/gtest.h>

#include <sstream>

#include <algorithm>

#include <cstring>
#include <string>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "document/MergeReport.h"
#include "storage/sharing/BackupFolder.h"
#include "storage/format/BackupName.h"
#include "storage/sharing/ConflictCopy.h"
#include "storage/file/FileHandle.h"
#include "storage/format/DataFile.h"
#include "storage/format/PresenceFile.h"
#include "storage/format/RecoveryFile.h"

using namespace testing_support;

namespace {

// count times "ж" (two bytes in UTF-8)
std::string cyrillic(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "\xD0\xB6";
    return text;
}

std::string presencePath(const char* dataPath)
{
    std::string path = PresenceFile::pathFor(dataPath);
    return path.empty() ? "<none>" : path;
}

TEST(PresenceFile, PathIsTheDataFileNameAfterTildeDollar)
{
    EXPECT_EQ(presencePath("C:\\Club\\club.tvd"), "C:\\Club\\~$club.tvd");
    EXPECT_EQ(presencePath("\\\\nas\\share\\club.tvd"), "\\\\nas\\share\\~$club.tvd");
    EXPECT_EQ(presencePath("club.tvd"), "~$club.tvd");
    EXPECT_EQ(presencePath("D:club.tvd"), "D:~$club.tvd");
    EXPECT_EQ(presencePath("/tmp/x/club.tvd"), "/tmp/x/~$club.tvd");
    EXPECT_EQ(presencePath("C:\\Club\\"), "<none>");
}

TEST(PresenceFile, ComposedLinesReadBackAndOddFilesAreToleratedOrRefused)
{
    PresenceFile ann;
    strcpy(ann.user, "ann");
    strcpy(ann.computer, "PC-7");
    ann.pid = 4294967295u;
    ann.started = 134099999999999999;
    strcpy(ann.since, "12/09/26 10:02 AM");
    char text[400];
    int length = ann.compose(text, sizeof text);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(text, size_t(length)), crlf({"user=ann", "computer=PC-7", "pid=4294967295",
                                                       "started=134099999999999999", "since=12/09/26 10:02 AM"}));
    EXPECT_EQ(ann.compose(text, length), 0);   // no room for the NUL

    struct Case {
        std::string text;
        int parsed;
        std::string user;
        const char* computer;
        uint32_t pid;
    };
    const std::string longName(300, 'x');
    const Case cases[] = {
        {std::string(text, size_t(length)), 1, "ann", "PC-7", 4294967295u},
        {"computer=PC-1\npid=12\nuser=bob\n", 1, "bob", "PC-1", 12},                 // any order, LF only
        {"pid=12\r\ncomputer=PC-1", 1, "", "PC-1", 12},                              // no end of line, no user
        {"junk\r\n\r\nlock=1\r\ncomputer=PC-1\r\npid=7\r\n", 1, "", "PC-1", 7},     // unknown lines passed over
        {"user=" + longName + "\r\ncomputer=PC-1\r\npid=7", 1, std::string(255, 'x'), "PC-1", 7},
        // "ж" is two bytes: the one the field ends in goes whole.
        {"user=" + cyrillic(150) + "\r\ncomputer=PC-1\r\npid=7", 1, cyrillic(127), "PC-1", 7},
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

// Process 200 of this computer, when it runs: started at ten (FILETIME ticks).
int64_t startOf200(uint32_t pid) { return pid == 200 ? 10 : pid == 300 ? 0 : -1; }

TEST(PresenceFile, OwnerIsMineStaleOrOther)
{
    struct Case {
        const char* what;
        const char* computer;
        uint32_t pid;
        int64_t started;   // as the file says
        int64_t written;   // the file's write time
        PresenceFile::Owner owner;
    };
    // Seen from process 100 on "pc-1.club.example" at time 1000000000.
    const int64_t now = 1000000000;
    const Case cases[] = {
        {"mine", "PC-1.club.example", 100, 0, 5, PresenceFile::Mine},
        {"its process is gone: taken over", "PC-1.club.example", 400, 0, 5, PresenceFile::Stale},
        {"a live Tallyvane of this computer", "PC-1.club.example", 200, 10, 50, PresenceFile::Other},
        {"an earlier version's file of a live one", "PC-1.club.example", 200, 0, 50, PresenceFile::Other},
        {"the id used again: started after the file", "PC-1.club.example", 200, 0, 5, PresenceFile::Stale},
        {"the id used again: another start", "PC-1.club.example", 200, 9, 50, PresenceFile::Stale},
        {"a process that can't be asked", "PC-1.club.example", 300, 7, 5, PresenceFile::Other},
        {"another computer: its processes can't be asked", "PC-7.club.example", 400, 0, 5, PresenceFile::Other},
        {"the same NetBIOS name, another computer", "PC-1.other.example", 400, 0, 5, PresenceFile::Other},
        {"names nobody, old", "", 200, 0, now - PresenceFile::kFreshTicks, PresenceFile::Stale},
        {"names nobody, being written", "", 0, 0, now - 1, PresenceFile::Starting},
        {"names nobody, time unknown", "", 0, 0, 0, PresenceFile::Stale},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PresenceFile file;
        strcpy(file.computer, c.computer);
        file.pid = c.pid;
        file.started = c.started;
        file.written = c.written;
        EXPECT_EQ(file.ownerFor("pc-1.club.example", 100, now, startOf200), c.owner);
    }
}

TEST(BackupName, NamesKeepFoldersApartAndCarryTheirSequence)
{
    const BackupName::Time t = {2026, 12, 9, 10, 2, 5, 123};
    std::string a = BackupName::compose("C:\\Club\\club.tvd", t, 17);
    const std::string prefix = BackupName::prefixFor("C:\\Club\\club.tvd");
    EXPECT_EQ(a, prefix + "2026-12-09 10.02.05.123Z 000017.tvd");
    EXPECT_EQ(prefix.substr(0, 6), "club (");
    EXPECT_EQ(prefix.size(), std::string("club (12345678) ").size());
    // The same folder however it is spelled; another folder never shares the slot.
    EXPECT_EQ(BackupName::prefixFor("c:\\CLUB\\club.tvd"), BackupName::prefixFor("C:/Club/club.tvd"));
    EXPECT_NE(prefix, BackupName::prefixFor("D:\\Club\\club.tvd"));
    EXPECT_NE(prefix, BackupName::prefixFor("\\\\nas\\Club\\club.tvd"));
    EXPECT_EQ(BackupName::compose("C:\\x\\club", t, 1).substr(a.size() - 35), "2026-12-09 10.02.05.123Z 000001.tvd");
    EXPECT_EQ(BackupName::compose("C:\\x\\club.dat", t, 1).substr(a.size() - 4), ".dat");
}

// Which backups a save deletes: the oldest beyond ten of the same data file,
// by sequence, never the one just made, whatever the clock said.
TEST(BackupName, SurplusIsTheOldestBeyondTenOfTheSameFileOnly)
{
    const char* club = "C:\\Club\\club.tvd";
    const std::string mine = BackupName::prefixFor(club);
    const std::string other = BackupName::prefixFor("D:\\Club\\club.tvd");
    auto at = [&](int year, uint32_t sequence) { return BackupName::compose(club, {year, 1, 2, 3, 4, 5, 6}, sequence); };
    const std::string older = mine + "2026-12-09 10.02.05.123.tvd";   // the earlier shape, without a number
    std::vector<std::string> names = {older, mine + "notes.txt", "club.tvd"};
    for (uint32_t s = 1; s <= 10; ++s) {
        names.push_back(at(2090 - int(s), s));   // the clock went back at every save
        names.push_back(BackupName::compose("D:\\Club\\club.tvd", {2026, 1, 2, 3, 4, 5, 6}, s));
    }
    EXPECT_EQ(BackupName::nextSequence(names, mine), 11u);
    EXPECT_EQ(BackupName::nextSequence({older}, mine), 1u);
    std::string justMade = at(2026, 11);
    names.push_back(justMade);
    struct Case {
        const char* what;
        int keep;
        std::vector<std::string> doomed;
    };
    const Case cases[] = {
        {"ten kept: the unnumbered one and the lowest number go", 10, {older, at(2089, 1)}},
        {"all twelve kept", 12, {}},
        {"none kept: all but the one just made", 0,
         {older, at(2089, 1), at(2088, 2), at(2087, 3), at(2086, 4), at(2085, 5), at(2084, 6), at(2083, 7),
          at(2082, 8), at(2081, 9), at(2080, 10)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BackupName::surplus(names, mine, c.keep, justMade), c.doomed) << c.what;
    EXPECT_EQ(BackupName::surplus(names, other).size(), 0u);
    // The prefix matches whatever the case of the listing.
    std::vector<std::string> upper = {older};
    for (char& c : upper[0])
        c = char(toupper(c));
    EXPECT_EQ(BackupName::surplus(upper, mine, 0).size(), 1u);
}

// The backups folder keeps the bytes it is given, ten per data file, the
// newest by sequence; a folder that can't be made says why.
TEST(BackupFolder, KeepsTheBytesGivenAndTheNewestTen)
{
    ScratchFolder folder;
    std::string data = folder.file("club.tvd");
    BackupFolder backups(folder.file("Backups/"));
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(backups.keep(data.c_str(), ("version " + std::to_string(i)).c_str(), 9 + (i > 9)), 1);
    std::vector<std::string> kept = filesIn(folder.file("Backups/").c_str(), "");
    EXPECT_EQ(kept.size(), 10u);
    EXPECT_EQ(readBytes(folder.file("Backups/") + backups.lastMade()), "version 11");
    EXPECT_NE(backups.lastMade().find("Z 000012.tvd"), std::string::npos) << backups.lastMade();
    EXPECT_EQ(BackupFolder(folder.file("Backups/")).keepFile(folder.file("none.tvd").c_str()), 1);

    writeBytes(folder.file("file"), "in the way");
    BackupFolder blocked(folder.file("file/Backups/"));
    EXPECT_EQ(blocked.keep(data.c_str(), "x", 1), 0);
    EXPECT_FALSE(blocked.problem().empty());
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
        ASSERT_EQ(view.load(loadDataFile(doc, in.c_str())), 1);
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
    // A path of 250 characters takes more than 400 bytes in UTF-8.
    const std::string longPath = "C:\\" + cyrillic(120) + "\\" + cyrillic(120) + ".tvd";
    for (const std::string& dataPath : {std::string("\\\\nas\\share\\club=2.tvd"), std::string(), longPath}) {
        SCOPED_TRACE(dataPath);
        RecoveryFile out;
        out.dataPath = dataPath;
        out.pid = 4000000000u;
        strcpy(out.changed, "12/09/26 10:02 AM");
        ASSERT_EQ(out.write(path.c_str(), doc, base.data(), base.size()), 1);
        EXPECT_EQ(doc.modified, 1);
        EXPECT_FALSE(exists(folder.file("1234.$$$")));

        RecoveryFile in;
        ASSERT_EQ(in.read(path.c_str()), 1);
        EXPECT_EQ(in.dataPath, dataPath);
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
    out.dataPath = "C:\\club.tvd";
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

// The recovery question names a file by its name, by its whole path when
// another recovery is of a file of the same name elsewhere.
TEST(RecoveryFile, ShownNamesTellFilesOfOneNameApart)
{
    const std::vector<std::string> paths = {"C:\\A\\club.tvd", "", "D:\\B\\CLUB.tvd", "C:\\A\\staff.tvd",
                                            "c:\\a\\Staff.tvd"};
    const std::vector<std::string> shown = {"C:\\A\\club.tvd", "Untitled", "D:\\B\\CLUB.tvd", "staff.tvd",
                                            "Staff.tvd"};
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(RecoveryFile::shownName(paths, i), shown[i]) << i;
}

TEST(ConflictCopy, CopiesAreNamedAsTheSyncClientsNameThem)
{
    struct Case {
        const char* name;
        bool copy;
    };
    const Case cases[] = {
        {"club (Ann's conflicted copy 2026-12-09).tvd", true},
        {"CLUB (conflicted copy 2026-12-09 101500).TVD", true},
        {"club-PC7.tvd", true},
        {"club-pc7.tvd", true},
        {"club-PC8.tvd", false},   // not this computer's name: an ordinary file
        {"club.sync-conflict-20261209-101500-ABCDEFG.tvd", true},
        {"club.sync-conflict-2026129-101500-ABCDEFG.tvd", false},
        {"club.sync-conflict-20261209-101500-.tvd", false},
        {"club (2).tvd", false},
        {"club (Ann's conflicted copy 2026-12-09).csv", false},
        {"clubs (Ann's conflicted copy 2026-12-09).tvd", false},
        {"club.tvd", false},
        {"staff (conflicted copy 2026-12-09).tvd", false},
    };
    std::vector<std::string> names;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        EXPECT_EQ(ConflictCopy::isCopyOf(c.name, "club.tvd", "PC7"), c.copy) << c.name;
        names.push_back(c.name);
        if (c.copy)
            expected.push_back(c.name);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ConflictCopy::copiesAmong(names, "club.tvd", "PC7"), expected);
    EXPECT_FALSE(ConflictCopy::isCopyOf("club-.tvd", "club.tvd", ""));
    EXPECT_EQ(ConflictCopy::question("club.tvd", "club-PC7.tvd", "12/09/26 10:15 AM"),
              "A copy of club.tvd made by a sync client was found:\nclub-PC7.tvd, 12/09/26 10:15 AM.\n"
              "Merge it into club.tvd?");
}

// "Dues,Form | Ann:Dues Bob" - action items, then names with their ticks and memos ("+memo").
void build(Document& doc, const std::string& shape)
{
    ASSERT_EQ(doc.resetDocument(0, 0), 1);
    size_t bar = shape.find('|');
    std::stringstream actions(shape.substr(0, bar)), people(shape.substr(bar + 1));
    std::string item;
    while (std::getline(actions, item, ',')) {
        item.erase(item.find_last_not_of(' ') + 1);
        if (!item.empty()) {
            ASSERT_EQ(doc.addActionWithEntries(item.c_str()), 1);
        }
    }
    while (people >> item) {
        std::stringstream parts(item);
        std::string name, part;
        std::getline(parts, name, ':');
        int32_t slot = doc.addName(name.c_str());
        ASSERT_GE(slot, 0);
        while (std::getline(parts, part, ':')) {
            if (part[0] == '+') {
                ASSERT_EQ(doc.addMemo(slot, part.c_str() + 1), 1);
                continue;
            }
            for (int32_t e = 0; e < doc.names[slot].entryCount; ++e)
                if (doc.names[slot].entries[e].kind == ActionOpen &&
                    part == doc.actionText(doc.names[slot].entries[e].actionIndex))
                    doc.names[slot].entries[e].kind = ActionDone;
        }
    }
}

TEST(ConflictCopy, ACommonBaseLostNothingOnEitherSide)
{
    struct Case {
        const char* what;
        const char* base;
        bool common;
    };
    const char* a = "Dues,Form | Ann:Dues:+paid Bob Carla:Form";
    const char* b = "Dues,Form,Badge | ann:Dues:+paid Bob:Badge";
    const Case cases[] = {
        {"empty", "Dues | ", true},
        {"older: fewer names and ticks", "Dues,Form | Ann Bob", true},
        {"the same as both share", "Dues,Form | Ann:Dues:+paid Bob", true},
        {"a name one side doesn't have", "Dues,Form | Ann Carla", false},
        {"a tick one side doesn't have", "Dues,Form | Carla:Form", false},
        {"an action item one side doesn't have", "Dues,Form,Badge | Ann", false},
        {"a memo one side doesn't have", "Dues | Bob:+late", false},
    };
    Document docA, docB;
    build(docA, a);
    build(docB, b);
    for (const Case& c : cases) {
        Document base;
        build(base, c.base);
        EXPECT_EQ(ConflictCopy::isCommonBase(base, docA, docB), c.common) << c.what;
    }
}

std::string bytesOf(const std::string& shape)
{
    ScratchFolder folder;
    Document doc;
    build(doc, shape);
    std::string path = folder.file("v.tvd");
    EXPECT_EQ(writeDataFile(doc, path.c_str()), SaveResult::Saved);
    return readBytes(path);
}

std::string namesAndTicks(const Document& doc)
{
    std::string out;
    for (int32_t n = 0; n < doc.namesCount; ++n) {
        if (!doc.names[n].name[0])
            continue;
        out += (out.empty() ? "" : " ") + std::string(doc.names[n].name);
        for (int32_t e = 0; e < doc.names[n].entryCount; ++e)
            if (doc.names[n].entries[e].kind == ActionDone)
                out += ":" + std::string(doc.actionText(doc.names[n].entries[e].actionIndex));
    }
    return out;
}

// A copy merged in keeps everything of both: against the newest version
// both grew from (a newer backup with a name neither has is passed over),
// or against nothing at all; then a name of the version this program read
// that the copy lacks is said to be kept, not "Nothing new".
TEST(ConflictCopy, MergedCopiesLoseNothingOfEither)
{
    Document mine, copy;
    build(mine, "Dues,Form | Ann:Dues Bob Carla");
    build(copy, "Dues,Form | Ann Bob:Form Dan");
    const std::vector<std::string> tooNew = {bytesOf("Dues,Form | Ann Bob Zed:Dues")};
    const std::vector<std::string> grewFrom = {tooNew[0], bytesOf("Dues,Form | Ann Bob")};
    const std::vector<std::string> copyLacksCarla = {bytesOf("Dues,Form | Ann Bob Carla")};
    const std::pair<const std::vector<std::string>*, const char*> cases[] = {
        {&tooNew, ""}, {&grewFrom, ""}, {&copyLacksCarla, "Carla: not in the other copy; kept"}};
    for (const auto& c : cases) {
        Document merged;
        MergeReport report;
        ASSERT_EQ(ConflictCopy::merge(mine, copy, *c.first, merged, report), 1);
        EXPECT_EQ(namesAndTicks(merged), "Ann:Dues Bob:Form Dan Carla");
        std::string choices;
        for (const std::string& line : report.choices)
            choices += line;
        EXPECT_EQ(choices, c.second);
    }
}

TEST(ConflictCopy, OffersComeBackOnlyForACopyThatChanged)
{
    ConflictOffers offers;
    FileStamp first, later;
    first.exists = later.exists = true;
    first.writeTime = 1;
    later.writeTime = 2;
    EXPECT_TRUE(offers.due("a", first));
    offers.declined("a", first);
    EXPECT_FALSE(offers.due("a", first));
    EXPECT_TRUE(offers.due("a", later));
    offers.merged("b");
    EXPECT_FALSE(offers.due("b", first));
    EXPECT_EQ(offers.takeMerged(), std::vector<std::string>{"b"});
    EXPECT_TRUE(offers.due("b", first));
    offers.clear();
    EXPECT_TRUE(offers.due("a", first));
}

} // namespace

