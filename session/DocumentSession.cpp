#include "session/DocumentSession.h"

#include <cstdio>
#include <cstring>

#include "session/SessionEnvironment.h"
#include "document/Document.h"
#include "document/Heap.h"
#include "document/HeapBlock.h"
#include "document/Merge.h"
#include "document/ReloadSummary.h"
#include "storage/format/BackupName.h"
#include "storage/format/DataFile.h"
#include "storage/format/MessageSink.h"
#include "storage/file/FileHandle.h"
#include "storage/format/RecoveryFile.h"
#include "storage/format/SectionFile.h"
#include "storage/sharing/BackupFolder.h"
#include "storage/sharing/SharedSave.h"
#include "storage/sharing/TheirCopy.h"

namespace {

// PresenceFile::ownerFor asks a plain function when a process started.
thread_local SessionEnvironment* askedEnvironment = nullptr;
int64_t tallyvaneStart(uint32_t pid) { return askedEnvironment->tallyvaneStartTime(pid); }

PresenceFile::Owner ownerOf(SessionEnvironment& env, const PresenceFile& found)
{
    askedEnvironment = &env;
    return found.ownerFor(env.computerName().c_str(), env.processId(), env.fileTimeNow(), tallyvaneStart);
}

// 1 when there is a presence file at path; found holds what could be read
// of it (nothing when it can't be read: its writer may be writing it) and
// its last write time.
int readPresence(SessionEnvironment& env, const char* path, PresenceFile& found)
{
    found = PresenceFile();
    if (!fileExists(path))
        return 0;
    int64_t written = env.writtenAt(path);
    // Shared: its owner may be writing it this moment.
    HeapBlock text;
    *text.receive() = SectionFile::readWhole(path, text.length(), FileHandle::ShareReadWrite);
    if (text)
        found.parse(text.data(), size_t(text.size()));
    found.written = written;
    return 1;
}

// Creates path with mine in it, only when no file of that name is there.
int createPresence(const char* path, const PresenceFile& mine)
{
    char text[1024];
    int length = mine.compose(text, sizeof text);
    FileHandle file;
    if (!length || !file.createNew(path))
        return 0;
    int ok = file.write(text, length) && file.close();
    if (!ok)
        deleteFile(path);
    return ok;
}

}  // namespace

DocumentSession::DocumentSession(Document& doc, SessionEnvironment& env) : doc_(doc), env_(env)
{
    history_.changed = [this] {
        settle();
        if (changed)
            changed();
    };
}

DocumentSession::~DocumentSession() { releasePresence(); }

bool DocumentSession::modified() const { return !history_.atSavedState(); }

std::string DocumentSession::backupsFolder() const
{
    std::string local = env_.localFolder();
    return local.empty() ? local : local + "Backups" + local.back();
}

std::string DocumentSession::recoveryFolder() const
{
    std::string local = env_.localFolder();
    return local.empty() ? local : local + "Recovery" + local.back();
}

void DocumentSession::settle() { doc_.modified = modified() ? 1 : 0; }

// --- open and close

PresenceFile::Owner DocumentSession::presenceAt(const char* path, PresenceFile& found)
{
    std::string presence = PresenceFile::pathFor(path);
    if (presence.empty() || !readPresence(env_, presence.c_str(), found))
        return PresenceFile::Mine;
    return ownerOf(env_, found);
}

LoadReport DocumentSession::open(const char* path, bool forEditing)
{
    releasePresence();
    history_.clear();
    noticed_ = FileStamp();
    deletedHere_.clear();
    // The bytes are read once and kept: they are the base a later save
    // compares the file on disk with.
    FileStamp stamp = FileStamp::of(path);
    HeapBlock block;
    *block.receive() = SectionFile::readWhole(path, block.length());
    LoadReport report;
    if (block)
        report = loadDataBytes(doc_, block.data(), size_t(block.size()));
    else
        report.fail(nullptr);
    if (report.failed()) {
        path_.clear();
        base_.forget();
        readOnly_ = false;
        settle();
        return report;
    }
    base_.adopt(block.release(), block.size(), stamp);
    path_ = path;
    readOnly_ = report.damaged() || !forEditing;
    claimPresence();
    settle();
    return report;
}

int DocumentSession::startUntitled()
{
    releasePresence();
    history_.clear();
    path_.clear();
    base_.forget();
    readOnly_ = false;
    noticed_ = FileStamp();
    deletedHere_.clear();
    int ok = doc_.resetDocument(0, 0);
    settle();
    return ok;
}

int DocumentSession::startFor(const char* path)
{
    if (!startUntitled())
        return 0;
    // No base, even when a file is there by now: it was not there when the
    // caller looked, so it is another saver's, to be merged in full.
    path_ = path;
    return 1;
}

void DocumentSession::bindTo(const char* path)
{
    releasePresence();
    path_ = path;
    base_.forget();
    noticed_ = FileStamp();
    deletedHere_.clear();
    // What is there now is what a save may replace: kept as the base. One
    // that can't be read leaves no base, and a save then merges with it.
    if (fileExists(path))
        base_.remember(path);
}

void DocumentSession::close(bool keepRecovery)
{
    releasePresence();
    if (keepRecovery)
        recoveryPath_.clear();
    else
        dropRecovery();
    recoveryDue_ = false;
    history_.clear();
    path_.clear();
    base_.forget();
    readOnly_ = false;
    restoredFrom_.clear();
    noticed_ = FileStamp();
    deletedHere_.clear();
    settle();
}

void DocumentSession::setReadOnly(bool on)
{
    readOnly_ = on;
    if (on)
        releasePresence();
    else
        claimPresence();
}

void DocumentSession::claimPresence()
{
    // Read-only edits nothing: nobody to warn.
    if (!announce || readOnly_ || path_.empty() || holdsPresence())
        return;
    std::string presence = PresenceFile::pathFor(path_.c_str());
    if (presence.empty())
        return;
    const char* path = presence.c_str();
    PresenceFile mine;
    PresenceFile::setField(mine.user, env_.userName());
    PresenceFile::setField(mine.computer, env_.computerName());
    mine.pid = env_.processId();
    mine.started = env_.processStartTime();
    PresenceFile::setField(mine.since, env_.nowText());
    int created = createPresence(path, mine);
    if (!created && fileExists(path)) {
        // Another's, or one being written this moment (two programs opening
        // the file together: the first one's is still empty), stays.
        PresenceFile found;
        PresenceFile::Owner owner = readPresence(env_, path, found) ? ownerOf(env_, found) : PresenceFile::Stale;
        if (owner == PresenceFile::Other || owner == PresenceFile::Starting)
            return;
        // Ours from before, or stale: replaced. Another process may win the
        // race for the new one; then it is theirs.
        deleteFile(path);
        created = createPresence(path, mine);
    }
    if (!created)
        return;
    env_.hideFile(path);
    presencePath_ = path;
}

void DocumentSession::releasePresence()
{
    if (presencePath_.empty())
        return;
    // Deleted only while it still is this process's own.
    PresenceFile found;
    if (readPresence(env_, presencePath_.c_str(), found) && ownerOf(env_, found) == PresenceFile::Mine)
        deleteFile(presencePath_.c_str());
    presencePath_.clear();
}

// --- save

SharedSave::Result DocumentSession::write(const char* target, SharedFile& shared, MessageSink& view,
                                          Document& merged, MergeReport& report)
{
    problem_.clear();
    backupProblem_.clear();
    SharedSave save;
    save.whileWaiting = whileWaiting;
    // The version the save replaces (theirs, when it merges) is kept while
    // the save lock is held, so it is the very file that is replaced; the
    // bytes come from memory where the save has them, so that a program
    // holding the file can't stop the copy.
    save.beforeReplace = [this](const char* replaced, const char* data, size_t size) {
        if (!keepBackups)
            return;
        BackupFolder backups(backupsFolder());
        if (!(data ? backups.keep(replaced, data, size) : backups.keepFile(replaced)))
            backupProblem_ = backups.problem();
    };
    SharedSave::Result result = save.save(doc_, view, target, shared, merged, report);
    problem_ = save.problem;
    return result;
}

DocumentSession::Save DocumentSession::outcomeOf(SharedSave::Result result)
{
    switch (result) {
    case SharedSave::Saved:
        return Save::Saved;
    case SharedSave::Merged:
        return Save::Merged;
    case SharedSave::TheirsUnreadable:
        return Save::TheirsUnreadable;
    case SharedSave::Busy:
        return Save::Busy;
    case SharedSave::Unreadable:
        return Save::Unreadable;
    case SharedSave::NoLock:
        return Save::NoLock;
    case SharedSave::ReadOnlyFolder:
        return Save::ReadOnlyFolder;
    case SharedSave::Failed:
        break;
    }
    return Save::Failed;
}

DocumentSession::Save DocumentSession::saveTo(const std::string& target, SharedFile& shared, MessageSink& view,
                                              MergeReport& report)
{
    Document merged;
    doc_.modified = 1;   // the writer clears it
    Save outcome = outcomeOf(write(target.c_str(), shared, view, merged, report));
    if (outcome == Save::Merged) {
        // The merged document is what the file holds now; the steps to undo belong to the old one.
        doc_.swap(merged);
        history_.clear();
    }
    settle();
    return outcome;
}

void DocumentSession::markWritten()
{
    history_.markSaved();
    // A recovery file kept beside a damaged data file has done its work.
    if (!restoredFrom_.empty()) {
        deleteFile(restoredFrom_.c_str());
        restoredFrom_.clear();
    }
}

DocumentSession::Save DocumentSession::save(MessageSink& view, MergeReport& report)
{
    report.clear();
    if (readOnly_)
        return Save::ReadOnly;
    if (path_.empty())
        return Save::Failed;
    // The names of the file this save deletes, for a later reload that
    // brings one back. Slots stay while a document is open: only one with
    // an empty slot can lack a name of the file.
    std::vector<std::string> deleting;
    if (doc_.liveNames < doc_.namesCount && base_.hasBase()) {
        Document was;
        if (loadTheirCopy(was, base_.baseData(), size_t(base_.baseSize())))
            deleting = ReloadSummary::namesGone(was, doc_);
    }
    Save result = saveTo(path_, base_, view, report);
    if (result != Save::Saved && result != Save::Merged)
        return result;
    deletedHere_.insert(deletedHere_.end(), deleting.begin(), deleting.end());
    markWritten();
    // Opened while someone else had it: theirs may be gone by now.
    claimPresence();
    settle();
    return result;
}

bool DocumentSession::isOwnFile(const char* path) const
{
    return !path_.empty() && isSameFile(path, path_.c_str());
}

void DocumentSession::agreedToReplace(const char* path, SharedFile& target)
{
    // The file there now is what the user agreed to replace; whatever
    // someone writes there from now on is merged.
    if (fileExists(path))
        target.remember(path);
}

DocumentSession::Save DocumentSession::saveAs(const char* path, MessageSink& view, MergeReport& report)
{
    report.clear();
    if (isOwnFile(path))
        return save(view, report);
    SharedFile target;
    agreedToReplace(path, target);
    Save result = saveTo(path, target, view, report);
    if (result != Save::Saved && result != Save::Merged)
        return result;
    markWritten();
    releasePresence();
    path_ = path;
    base_.swap(target);
    deletedHere_.clear();
    readOnly_ = false;
    noticed_ = FileStamp();
    claimPresence();
    settle();
    return result;
}

DocumentSession::Save DocumentSession::saveCopyAs(const char* path, MessageSink& view, MergeReport& report)
{
    report.clear();
    if (isOwnFile(path))
        return save(view, report);
    SharedFile target;
    agreedToReplace(path, target);
    // A copy that had to be merged holds more than the document: it stays as
    // it was, and so do the path, base, presence and recovery.
    Document merged;
    int32_t wasModified = doc_.modified;
    doc_.modified = 1;
    Save outcome = outcomeOf(write(path, target, view, merged, report));
    doc_.modified = wasModified;
    if (outcome == Save::Saved) {
        // A copy written clears the modified flag as every save does; the
        // changes are safe in it.
        markWritten();
        settle();
    }
    return outcome;
}

void DocumentSession::adoptUnsaved(Document& replacement)
{
    doc_.swap(replacement);
    // Nothing of this is saved yet: no Undo may clear the modified flag.
    history_.clearUnsaved();
    settle();
}

// --- the file on disk

DocumentSession::Disk DocumentSession::checkDisk(bool quick)
{
    if (path_.empty() || !base_.hasBase())
        return Disk::Same;
    HeapBlock theirs;
    // The stamp is the one taken before the bytes were read: a change that
    // lands in between leaves the file newer than the base, for the next look.
    FileStamp stamp;
    if (base_.compare(path_.c_str(), quick, theirs.receive(), theirs.length(), &stamp) != SharedFile::Changed)
        return Disk::Same;
    if (modified()) {
        if (stamp == noticed_)
            return Disk::Same;   // already said for this version of the file
        noticed_ = stamp;
        return Disk::WillMerge;
    }
    noticed_ = stamp;
    Document reloaded;
    if (!loadTheirCopy(reloaded, theirs.data(), size_t(theirs.size()), &problem_))
        return Disk::Unreadable;
    reloadSummary_ = ReloadSummary::between(doc_, reloaded, deletedHere_);
    base_.adopt(theirs.release(), theirs.size(), stamp);
    doc_.swap(reloaded);
    history_.clear();
    settle();
    return Disk::Reloaded;
}

// --- recovery

int DocumentSession::noteChange()
{
    if (!modified()) {
        dropRecovery();
        return -1;
    }
    lastChange_ = env_.nowText();
    uint32_t now = env_.ticks();
    if (!recoveryDue_) {
        recoveryDue_ = true;
        recoveryDueSince_ = now;
    }
    // Each change puts the write off again, as long as the oldest unwritten
    // change is younger than kLongestDelayMs; then a running timer is left to fire.
    return now - recoveryDueSince_ < kLongestDelayMs ? kRecoveryDelayMs : 0;
}

int DocumentSession::writeRecovery()
{
    recoveryDue_ = false;
    std::string folder = recoveryFolder();
    if (folder.empty() || !env_.makeFolder(folder))
        return 0;
    if (recoveryPath_.empty()) {
        char name[40];
        snprintf(name, sizeof name, "%lu-%08lX.tvr", static_cast<unsigned long>(env_.processId()),
                 static_cast<unsigned long>(env_.ticks()));
        recoveryPath_ = folder + name;
    }
    RecoveryFile file;
    file.dataPath = path_;
    file.pid = env_.processId();
    snprintf(file.changed, sizeof file.changed, "%s",
             (lastChange_.empty() ? env_.nowText() : lastChange_).c_str());
    const char* base = !path_.empty() && base_.hasBase() ? base_.baseData() : nullptr;
    return file.write(recoveryPath_.c_str(), doc_, base, base ? base_.baseSize() : 0);
}

void DocumentSession::dropRecovery()
{
    recoveryDue_ = false;
    if (!recoveryPath_.empty())
        deleteFile(recoveryPath_.c_str());
}

std::vector<std::string> DocumentSession::orphanRecoveries()
{
    std::vector<std::string> orphans;
    std::string folder = recoveryFolder();
    if (folder.empty())
        return orphans;
    env_.pruneDeclined(folder);
    std::vector<std::string> names = env_.filesIn(folder, "", ".tvr");
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        std::string path = folder + *name;
        if (path == recoveryPath_)
            continue;
        RecoveryFile file;
        // One that can't be read is being replaced by its writer right now,
        // or is not one: left alone. Process ids are used again (Wine hands
        // out the same small ones after a restart): a file naming this
        // process is an earlier one's, and a process that started after the
        // file was last written is not its writer.
        if (file.read(path.c_str()) &&
            (file.pid == env_.processId() ||
             PresenceFile::writerGone(env_.tallyvaneStartTime(file.pid), 0, env_.writtenAt(path))))
            orphans.push_back(path);
    }
    return orphans;
}

void DocumentSession::declineRecovery(const std::string& path) { env_.declineRecovery(path, recoveryFolder()); }

DocumentSession::Restore DocumentSession::restore(const RecoveryFile& file, const std::string& recoveryFilePath,
                                                  MergeReport& report)
{
    report.clear();
    Document recovered;
    if (!loadTheirCopy(recovered, file.document, file.documentSize, &problem_))
        return Restore::Failed;
    Document base;
    bool merge = !file.dataPath.empty() && file.baseSize && loadTheirCopy(base, file.base, file.baseSize);

    // The data file as it is on disk now takes the part of "theirs", read
    // and judged as Save reads and judges it. One that is gone leaves the
    // recovered document, untitled.
    FileStamp stamp;
    HeapBlock theirs;
    if (merge) {
        stamp = FileStamp::of(file.dataPath.c_str());
        *theirs.receive() = SectionFile::readWhole(file.dataPath.c_str(), theirs.length());
        merge = bool(theirs);
    }
    Restore outcome = Restore::Untitled;
    if (merge) {
        Document theirDoc;
        if (loadTheirCopy(theirDoc, theirs.data(), size_t(theirs.size()), &problem_)) {
            Document merged;
            if (!mergeDocuments(base, recovered, theirDoc, merged, report))
                return Restore::Failed;
            close();
            doc_.swap(merged);
            base_.adopt(theirs.release(), theirs.size(), stamp);
            outcome = Restore::Merged;
        } else {
            // Damaged (a power cut left it cut short, a sync client half
            // wrote it): nothing is merged with it. The recovered document
            // opens as it was, with the base it was changed from, so that
            // Save compares with the damaged file and refuses it too.
            close();
            doc_.swap(recovered);
            char* copy = static_cast<char*>(allocZeroed(file.baseSize + 1));
            if (copy) {
                memcpy(copy, file.base, file.baseSize);
                base_.adopt(copy, int32_t(file.baseSize), stamp);
            }
            outcome = Restore::Damaged;
        }
        path_ = file.dataPath;
        claimPresence();
    } else {
        if (!startUntitled())
            return Restore::Failed;
        close();
        doc_.swap(recovered);
    }
    // Nothing of this is saved: no Undo may clear the modified flag.
    history_.clearUnsaved();
    lastChange_ = env_.nowText();
    settle();
    // The changes are this process's now: its own recovery file holds them
    // before the old one goes; the only whole copy beside a damaged file
    // stays until the document is saved.
    int written = writeRecovery();
    if (outcome == Restore::Damaged)
        restoredFrom_ = recoveryFilePath;
    else if (written)
        deleteFile(recoveryFilePath.c_str());
    return outcome;
}
