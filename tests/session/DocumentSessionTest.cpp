// The open file's rules with a made-up computer: open, save, Save as, the
// look at the disk, presence, backups, read-only and crash recovery.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "tests/storage/FileTestSupport.h"
#include "document/Document.h"
#include "session/DocumentSession.h"
#include "session/HostEnvironment.h"
#include "storage/format/DataFile.h"
#include "storage/format/RecoveryFile.h"

using namespace testing_support;

namespace {

// The native folders, with a clock, a person and processes of the test's own.
class FakeEnvironment : public HostEnvironment {
public:
    explicit FakeEnvironment(const std::string& local) : local_(local) {}
    std::string nowText() override { return "12/09/26 10:02 AM"; }
    BackupName::Time now() override { return {2026, 12, 9, 10, 2, 5, ++millisecond}; }
    uint32_t ticks() override { return tick; }
    std::string userName() override { return "ann"; }
    std::string computerName() override { return "PC7"; }
    uint32_t processId() override { return pid; }
    // Processes of the test's own started at startedAt; the rest run no Tallyvane.
    int64_t tallyvaneStartTime(uint32_t other) override { return running.count(other) ? startedAt : -1; }
    std::string localFolder() override { return local_; }

    uint32_t tick = 1000;
    uint32_t pid = 100;
    int millisecond = 0;
    std::set<uint32_t> running;
    int64_t startedAt = 1;   // long ago

private:
    std::string local_;
};

// The live names of doc, comma-separated.
std::string namesOf(const Document& doc)
{
    std::string out;
    for (int32_t i = 0; i < doc.namesCount; ++i)
        if (doc.names[i].name[0])
            out += (out.empty() ? "" : ",") + std::string(doc.names[i].name);
    return out;
}

std::string namesIn(const std::string& path)
{
    Document doc;
    RecordingView view;
    return view.load(loadDataFile(doc, path.c_str())) ? namesOf(doc) : "(not loaded)";
}

// Someone else adds name to the file at path.
void addElsewhere(const std::string& path, const char* name)
{
    Document theirs;
    RecordingView view;
    ASSERT_EQ(view.load(loadDataFile(theirs, path.c_str())), 1);
    ASSERT_GE(theirs.addName(name), 0);
    ASSERT_EQ(writeDataFile(theirs, path.c_str()), SaveResult::Saved);
}

// The example cut short inside its second name's section, as a power cut leaves it.
std::string cutShort() { return exampleFile().substr(0, exampleFile().find("[1]") + 6); }

class SessionTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    FakeEnvironment env{folder.file("local") + "/"};
    Document doc;
    DocumentSession session{doc, env};
    RecordingView view;
    MergeReport report;
    std::string club = folder.file("club.tvd");
    std::string presence = folder.file("~$club.tvd");

    void SetUp() override { writeBytes(club, exampleFile()); }
    void addName(const char* name) { ASSERT_GE(session.history().addName(doc, name), 0); }
    int backups() { return int(env.filesIn(session.backupsFolder(), "club", "").size()); }
};

TEST_F(SessionTest, OpenEditSaveAndCloseKeepPresenceBackupsAndModifiedInStep)
{
    ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
    EXPECT_EQ(session.path(), club);
    EXPECT_FALSE(session.modified());
    ASSERT_TRUE(exists(presence));
    PresenceFile found;
    EXPECT_EQ(session.presenceAt(club.c_str(), found), PresenceFile::Mine);
    EXPECT_EQ(found.pid, 100u);

    // Modified follows the history, back and forth across the save.
    addName("Cy Young");
    EXPECT_TRUE(session.modified());
    session.history().undo(doc);
    EXPECT_FALSE(session.modified());
    session.history().redo(doc);
    EXPECT_EQ(session.save(view, report), DocumentSession::Save::Saved);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(doc.modified, 0);
    EXPECT_EQ(namesIn(club), "Ann Smith,Bob Jones,Cy Young");
    EXPECT_EQ(backups(), 1);
    session.history().undo(doc);
    EXPECT_TRUE(session.modified());

    // Ten backups are kept of one file; saves go on after that.
    for (int i = 0; i < 11; ++i) {
        addName(("Saved " + std::to_string(i)).c_str());
        EXPECT_EQ(session.save(view, report), DocumentSession::Save::Saved);
    }
    EXPECT_EQ(backups(), int(BackupName::kKept));

    session.close();
    EXPECT_FALSE(exists(presence));
    EXPECT_TRUE(session.untitled());
}

TEST_F(SessionTest, PresenceOfALiveProgramIsLeftAloneAndAStaleOneTakenOver)
{
    const int64_t hour = 36000000000LL;
    struct Case {
        const char* what;
        bool written, running;
        int64_t started;   // of the process with the file's id
        PresenceFile::Owner owner;
    };
    const Case cases[] = {
        {"a live program's", true, true, 1, PresenceFile::Other},
        {"left by a program gone", true, false, 1, PresenceFile::Stale},
        {"its id now a later program's", true, true, env.fileTimeNow() + hour, PresenceFile::Stale},
        {"still empty: its program is writing it", false, true, 1, PresenceFile::Starting},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PresenceFile theirs;
        strcpy(theirs.user, "bob");
        strcpy(theirs.computer, "PC7");
        theirs.pid = 200;
        char text[512];
        writeBytes(presence, c.written ? std::string(text, size_t(theirs.compose(text, sizeof text))) : "");
        env.running = c.running ? std::set<uint32_t>{200} : std::set<uint32_t>{};
        env.startedAt = c.started;

        PresenceFile found;
        EXPECT_EQ(session.presenceAt(club.c_str(), found), c.owner);
        ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
        bool takenOver = c.owner == PresenceFile::Stale;
        EXPECT_EQ(session.holdsPresence(), takenOver);
        session.close();
        // Theirs stays; a stale one became this program's and went with it.
        EXPECT_EQ(exists(presence), !takenOver);
    }
}

// A save finds the file as someone else left it.
TEST_F(SessionTest, SaveMergesWhatOthersWroteAndRefusesWhatItCannotRead)
{
    struct Case {
        const char* what;
        bool untitledStart;   // startFor a file that was not there, then it appeared
        const char* onDisk;   // "name X", "cut", "same", "example", "held"
        DocumentSession::Save result;
        const char* names;
    };
    const Case cases[] = {
        {"another name", false, "name Dee", DocumentSession::Save::Merged, "Ann Smith,Bob Jones,Dee,Cy Young"},
        {"rewritten the same", false, "same", DocumentSession::Save::Saved, "Ann Smith,Bob Jones,Cy Young"},
        {"cut short", false, "cut", DocumentSession::Save::TheirsUnreadable, "(not loaded)"},
        // Held by another program for all of the wait: nothing written over it.
        {"held elsewhere", false, "held", DocumentSession::Save::Unreadable, ""},
        // No base, but a file appeared: everything in it is theirs and stays.
        {"appeared meanwhile", true, "example", DocumentSession::Save::Merged, "Ann Smith,Bob Jones,Cy Young"},
        // tvd add-names found no file, and another saver's appeared before the start.
        {"appeared just before", true, "early", DocumentSession::Save::Merged, "Ann Smith,Bob Jones,Cy Young"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.untitledStart) {
            std::remove(club.c_str());
            if (std::string(c.onDisk) == "early")
                writeBytes(club, exampleFile());
            ASSERT_EQ(session.startFor(club.c_str()), 1);
        } else {
            writeBytes(club, exampleFile());
            ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
        }
        addName("Cy Young");
        std::string onDisk = c.onDisk;
        FaultGuard faults;
        if (onDisk == "same" || onDisk == "example")
            writeBytes(club, exampleFile());
        else if (onDisk == "held")
            fileFaults.failOpenRead = 1000;
        else if (onDisk == "early")
            ;
        else if (onDisk == "cut")
            writeBytes(club, cutShort());
        else
            addElsewhere(club, onDisk.substr(5).c_str());
        std::string before = readBytes(club);

        EXPECT_EQ(session.save(view, report), c.result);
        fileFaults.reset();
        if (c.result != DocumentSession::Save::Saved && c.result != DocumentSession::Save::Merged) {
            EXPECT_EQ(readBytes(club), before);
            EXPECT_TRUE(session.modified());
            EXPECT_FALSE(session.problem().empty());
        } else {
            EXPECT_EQ(namesIn(club), c.names);
            EXPECT_EQ(namesOf(doc), c.names);
            EXPECT_FALSE(session.modified());
            // The base is what was written: nothing new on disk.
            EXPECT_EQ(session.checkDisk(false), DocumentSession::Disk::Same);
        }
        session.close();
    }
}

// Save as writes a copy and leaves the document bound to its own file; onto
// that file itself it is Save, merging.
TEST_F(SessionTest, SaveAsKeepsPathBasePresenceAndRecoveryUntilTheNewFileIsWritten)
{
    std::string copy = folder.file("copy.tvd");
    ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
    std::string base(session.base().baseData(), session.base().baseSize());
    addName("Cy Young");

    EXPECT_EQ(session.saveCopyAs(copy.c_str(), view, report), DocumentSession::Save::Saved);
    EXPECT_EQ(namesIn(copy), "Ann Smith,Bob Jones,Cy Young");
    EXPECT_EQ(session.path(), club);
    EXPECT_EQ(std::string(session.base().baseData(), session.base().baseSize()), base);
    EXPECT_TRUE(exists(presence));
    EXPECT_FALSE(exists(folder.file("~$copy.tvd")));
    addName("Dee");
    ASSERT_EQ(session.writeRecovery(), 1);
    RecoveryFile recovery;
    ASSERT_EQ(recovery.read(session.recoveryPath().c_str()), 1);
    EXPECT_EQ(recovery.dataPath, club);
    EXPECT_EQ(std::string(recovery.base, recovery.baseSize), base);

    // Onto the open file itself: what someone else added meanwhile stays.
    addElsewhere(club, "Eve");
    EXPECT_EQ(session.saveCopyAs(club.c_str(), view, report), DocumentSession::Save::Merged);
    EXPECT_EQ(namesIn(club), "Ann Smith,Bob Jones,Eve,Cy Young,Dee");

    // A failed save as binds nothing.
    EXPECT_EQ(session.saveAs(folder.file("no/such/folder.tvd").c_str(), view, report),
              DocumentSession::Save::Failed);
    EXPECT_EQ(session.path(), club);
    EXPECT_TRUE(session.holdsPresence());
}

// Read-only, chosen or for a damaged file: Save never writes over the file;
// a save under a new name binds the document there, for editing.
TEST_F(SessionTest, ReadOnlyNeverWritesOverItsFile)
{
    for (bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged" : "chosen");
        writeBytes(club, damaged ? cutShort() : exampleFile());
        ASSERT_EQ(view.load(session.open(club.c_str(), damaged)), 1);
        EXPECT_TRUE(session.readOnly());
        EXPECT_FALSE(session.holdsPresence());
        // Delete works in read-only mode.
        session.history().deleteName(doc, 0);
        EXPECT_TRUE(session.modified());
        std::string before = readBytes(club);
        EXPECT_EQ(session.save(view, report), DocumentSession::Save::ReadOnly);
        EXPECT_EQ(session.saveAs(club.c_str(), view, report), DocumentSession::Save::ReadOnly);
        EXPECT_EQ(readBytes(club), before);

        std::string other = folder.file(damaged ? "mended.tvd" : "mine.tvd");
        EXPECT_EQ(session.saveAs(other.c_str(), view, report), DocumentSession::Save::Saved);
        EXPECT_EQ(session.path(), other);
        EXPECT_FALSE(session.readOnly());
        EXPECT_TRUE(session.holdsPresence());
        EXPECT_EQ(readBytes(club), before);
        session.close();
    }
}

TEST_F(SessionTest, DiskCheckReloadsOrWaitsForTheMerge)
{
    struct Case {
        const char* what;
        bool modified;
        const char* onDisk;
        DocumentSession::Disk result;
        const char* names;   // of the document afterwards
        const char* summary = "";   // what a reload says it brought
    };
    const Case cases[] = {
        {"untouched", false, "", DocumentSession::Disk::Same, "Ann Smith,Bob Jones"},
        {"rewritten the same", false, "same", DocumentSession::Disk::Same, "Ann Smith,Bob Jones"},
        {"changed", false, "name Dee", DocumentSession::Disk::Reloaded, "Ann Smith,Bob Jones,Dee", "1 name added"},
        {"changed under changes", true, "name Dee", DocumentSession::Disk::WillMerge, "Ann Smith,Bob Jones,Cy Young"},
        {"cut short", false, "cut", DocumentSession::Disk::Unreadable, "Ann Smith,Bob Jones"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(club, exampleFile());
        ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
        if (c.modified)
            addName("Cy Young");
        std::string onDisk = c.onDisk;
        if (onDisk == "same")
            writeBytes(club, exampleFile());
        else if (onDisk == "cut")
            writeBytes(club, cutShort());
        else if (!onDisk.empty())
            addElsewhere(club, onDisk.substr(5).c_str());
        EXPECT_EQ(session.checkDisk(false), c.result);
        EXPECT_EQ(namesOf(doc), c.names);
        if (c.result == DocumentSession::Disk::Reloaded) {
            EXPECT_EQ(session.reloadSummary(), c.summary);
        }
        EXPECT_EQ(session.modified(), c.modified);
        // Said once for each version of the file.
        if (c.result == DocumentSession::Disk::WillMerge) {
            EXPECT_EQ(session.checkDisk(false), DocumentSession::Disk::Same);
        }
        session.close();
    }

    // A delete saved here that someone else's save merged away (they had
    // changed Bob meanwhile) is told once, with what else came: Bob is
    // "kept", not added.
    writeBytes(club, exampleFile());
    ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
    session.history().deleteName(doc, 1);
    ASSERT_EQ(session.save(view, report), DocumentSession::Save::Saved);
    writeBytes(club, exampleFile());
    addElsewhere(club, "Dee");
    ASSERT_EQ(session.checkDisk(false), DocumentSession::Disk::Reloaded);
    EXPECT_EQ(namesOf(doc), "Ann Smith,Bob Jones,Dee");
    EXPECT_EQ(session.reloadSummary(), "1 name added, 1 tick changed, 1 checkbox changed, Bob Jones kept");
    addElsewhere(club, "Eve");
    ASSERT_EQ(session.checkDisk(false), DocumentSession::Disk::Reloaded);
    EXPECT_EQ(session.reloadSummary(), "1 name added");
    session.close();
}

TEST_F(SessionTest, RecoveryIsDueAfterChangesAndGoesWithThem)
{
    ASSERT_EQ(view.load(session.open(club.c_str(), true)), 1);
    EXPECT_EQ(session.noteChange(), -1);
    addName("Cy Young");
    EXPECT_EQ(session.noteChange(), DocumentSession::kRecoveryDelayMs);
    env.tick += 9000;
    EXPECT_EQ(session.noteChange(), DocumentSession::kRecoveryDelayMs);
    env.tick += 1500;   // a steady stream: the running timer is left to fire
    EXPECT_EQ(session.noteChange(), 0);
    EXPECT_TRUE(session.recoveryDue());
    ASSERT_EQ(session.writeRecovery(), 1);
    EXPECT_FALSE(session.recoveryDue());
    std::string own = session.recoveryPath();
    EXPECT_TRUE(exists(own));

    // Only files of processes that no longer run are orphans; this one's is not.
    RecoveryFile other;
    other.pid = 300;
    std::string left = session.recoveryFolder() + "300-0.tvr";
    ASSERT_EQ(other.write(left.c_str(), doc, nullptr, 0), 1);
    EXPECT_EQ(session.orphanRecoveries(), std::vector<std::string>{left});
    // The newest first; a live process that started after a file was written is not its writer.
    std::string later = session.recoveryFolder() + "301-0.tvr";
    other.pid = 301;
    ASSERT_EQ(other.write(later.c_str(), doc, nullptr, 0), 1);
    std::filesystem::last_write_time(later, std::filesystem::last_write_time(left) + std::chrono::minutes(1));
    env.running = {300, 301};
    env.startedAt = env.fileTimeNow() + 36000000000LL;
    EXPECT_EQ(session.orphanRecoveries(), (std::vector<std::string>{later, left}));
    env.startedAt = 1;
    EXPECT_TRUE(session.orphanRecoveries().empty());

    session.history().undo(doc);
    EXPECT_EQ(session.noteChange(), -1);
    EXPECT_FALSE(exists(own));
}

// The recovered changes against the data file as it is at the next start.
TEST_F(SessionTest, RestoreMergesWithTheFileButNeverWithADamagedOne)
{
    struct Case {
        const char* what;
        const char* onDisk;   // "name X", "cut", "gone"
        DocumentSession::Restore result;
        const char* names;
    };
    const Case cases[] = {
        {"someone added a name", "name Dee", DocumentSession::Restore::Merged, "Ann Smith,Bob Jones,Dee,Cy Young"},
        {"cut short by a power cut", "cut", DocumentSession::Restore::Damaged, "Ann Smith,Bob Jones,Cy Young"},
        {"gone", "gone", DocumentSession::Restore::Untitled, "Ann Smith,Bob Jones,Cy Young"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A lost session of process 300 left its changes.
        writeBytes(club, exampleFile());
        std::string lost = session.recoveryFolder() + "300-1.tvr";
        {
            FakeEnvironment before(env.localFolder());
            before.pid = 300;
            Document lostDoc;
            DocumentSession earlier(lostDoc, before);
            ASSERT_EQ(view.load(earlier.open(club.c_str(), true)), 1);
            ASSERT_GE(earlier.history().addName(lostDoc, "Cy Young"), 0);
            ASSERT_EQ(earlier.writeRecovery(), 1);
            ASSERT_TRUE(before.makeFolder(session.recoveryFolder()));
            std::rename(earlier.recoveryPath().c_str(), lost.c_str());
            earlier.close();
        }
        std::string onDisk = c.onDisk;
        if (onDisk == "cut")
            writeBytes(club, cutShort());
        else if (onDisk == "gone")
            std::remove(club.c_str());
        else
            addElsewhere(club, onDisk.substr(5).c_str());
        std::string before = exists(club) ? readBytes(club) : "";

        RecoveryFile file;
        ASSERT_EQ(file.read(lost.c_str()), 1);
        EXPECT_EQ(session.restore(file, lost, report), c.result);
        EXPECT_EQ(namesOf(doc), c.names);
        EXPECT_TRUE(session.modified());
        EXPECT_EQ(session.path(), c.result == DocumentSession::Restore::Untitled ? "" : club);
        EXPECT_TRUE(exists(session.recoveryPath()));
        // The old recovery file goes once its changes are safe elsewhere;
        // beside a damaged file it stays until a save.
        EXPECT_EQ(exists(lost), c.result == DocumentSession::Restore::Damaged);
        if (c.result == DocumentSession::Restore::Damaged) {
            EXPECT_EQ(session.save(view, report), DocumentSession::Save::TheirsUnreadable);
            EXPECT_EQ(readBytes(club), before);
            EXPECT_TRUE(exists(lost));
            std::string mended = folder.file("mended.tvd");
            EXPECT_EQ(session.saveAs(mended.c_str(), view, report), DocumentSession::Save::Saved);
            EXPECT_FALSE(exists(lost));
        }
        session.close();
        std::remove(lost.c_str());
    }
}

}  // namespace
