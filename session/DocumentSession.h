// The open data file and everything bound to it: its path, the document and
// its undo history, the base a save merges against (the file as this
// program last read or wrote it), this program's presence file beside it,
// the backups a save keeps, read-only mode, and the recovery file of
// unsaved changes. Every operation says how it ended and shows nothing:
// the program's window turns the outcomes into messages, tvd into lines.
//
// The path, base, presence and recovery change together, and only when a
// file was really opened or written: a dialog, a failed save or a Save as
// of a copy leaves them as they were. Portable; what it needs of the
// system comes through a SessionEnvironment.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "document/MergeReport.h"
#include "document/UndoHistory.h"
#include "storage/format/LoadReport.h"
#include "storage/format/PresenceFile.h"
#include "storage/sharing/SharedFile.h"
#include "storage/sharing/SharedSave.h"

class Document;
class MessageSink;
class RecoveryFile;
class SessionEnvironment;

class DocumentSession {
public:
    enum class Save {
        Saved,             // written; nobody else had changed the file
        Merged,            // someone had: the merged document was written and is now the document
        TheirsUnreadable,  // changed on disk, and not a whole data file now: nothing written
        Busy,              // another program was saving it for all of the wait: nothing written
        Unreadable,        // the file could not be read for all of the wait (problem() says why): nothing written
        NoLock,            // the save lock could not be made (problem() says why): nothing written
        ReadOnlyFolder,    // the folder refuses new files: nothing written
        Failed,            // not written; the view was told why
        ReadOnly,          // the document is open read-only: its file is never written over
    };
    enum class Disk {
        Same,        // nothing new on disk (or already said for this version of the file)
        Reloaded,    // changed by someone else, nothing unsaved here: the document is theirs now
        WillMerge,   // changed by someone else, with unsaved changes here: Save will merge
        Unreadable,  // changed by someone else, and not a whole data file now
    };
    enum class Restore {
        Failed,      // the recovered copy can't be read
        Untitled,    // restored as an untitled document (it had no file, or the file is gone)
        Merged,      // merged with the data file as it is now; report says what others changed
        Damaged,     // the data file on disk is damaged: restored as recovered, bound to
                     // the file; the recovery file stays until a save
    };

    static constexpr int kRecoveryDelayMs = 2000;     // a recovery write waits this long after the last change
    static constexpr uint32_t kLongestDelayMs = 10000;  // changes in a steady stream are written at least this often

    DocumentSession(Document& doc, SessionEnvironment& env);
    ~DocumentSession();

    // Whether an open file is announced with a presence file beside it
    // (tvd runs too briefly to).
    bool announce = true;
    // Whether a save keeps the file it replaces in the backups folder.
    bool keepBackups = true;
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    // Runs whenever the document or its saved state changed (the undo
    // history's signal: every step, undo and redo, open, save, reload).
    std::function<void()> changed;

    Document& document() { return doc_; }
    UndoHistory& history() { return history_; }
    // "" while untitled.
    const std::string& path() const { return path_; }
    bool untitled() const { return path_.empty(); }
    // Changes that are saved nowhere: the undo history is not at the last save.
    bool modified() const;
    // Opened read-only (chosen, or a damaged file): nothing is written over the file.
    bool readOnly() const { return readOnly_; }
    const SharedFile& base() const { return base_; }
    bool holdsPresence() const { return !presencePath_.empty(); }
    // This process's recovery file; "" until the first write.
    const std::string& recoveryPath() const { return recoveryPath_; }
    // Where saves keep the files they replace; "" without a local folder.
    std::string backupsFolder() const;
    std::string recoveryFolder() const;

    // --- open and close
    // Whose presence file lies beside path (found holds it); Mine when there is none.
    PresenceFile::Owner presenceAt(const char* path, PresenceFile& found);
    // Loads path for editing or read-only; a damaged file opens read-only.
    // On success the path, base and presence are the file's. On failure the
    // document is whatever the reader left, the session untitled. The
    // reader's messages are the caller's to show; a file that can't be read
    // fails without one.
    LoadReport open(const char* path, bool forEditing);
    // An empty untitled document; 0 when memory is short.
    int startUntitled();
    // An empty document for a new file at path (tvd add-names): whatever is
    // found there at the save, even now, was written by someone else and is
    // merged in full. 0 when memory is short.
    int startFor(const char* path);
    // Binds the document in memory to path, to be saved there; the base is
    // the file there now, when there is one, so that a save merges with it.
    void bindTo(const char* path);
    // Releases the presence file and drops the recovery file (or only lets
    // go of it, keepRecovery: the session of Windows ended); untitled.
    void close(bool keepRecovery = false);
    // Deletes the presence file, if it still is this process's own.
    void releasePresence();
    // Read-only mode on or off (on: the presence file goes, nothing is saved over the file).
    void setReadOnly(bool on);

    // --- save
    // Saves to the document's file, merging what someone else wrote since
    // it was read; keeps a backup of the replaced file (BackupFolder). report: what a merge
    // brought in; problem(): why theirs is unreadable.
    Save save(MessageSink& view, MergeReport& report);
    // The first save of an untitled document, or of a read-only one under a
    // new name: the document is bound to path once it is written there.
    Save saveAs(const char* path, MessageSink& view, MergeReport& report);
    // Save as: writes the document to path and leaves it bound where it was.
    // path being the document's own file is Save.
    Save saveCopyAs(const char* path, MessageSink& view, MergeReport& report);
    const std::string& problem() const { return problem_; }
    // Why the last save kept no backup of the file it replaced; "" when it did
    // (or had none to keep). The save goes on without one.
    const std::string& backupProblem() const { return backupProblem_; }
    // Runs now and then while a save waits for another one, or for the file
    // to be readable again (the window keeps itself painted).
    std::function<void()> whileWaiting;
    // Puts replacement (a sync client's copy merged in) in the document's
    // place, unsaved: the steps to undo belong to the old one. replacement
    // gets the old document.
    void adoptUnsaved(Document& replacement);

    // --- the file on disk
    // Compares the file with the base. quick: an unchanged stamp means the
    // same file. Reloaded replaces the document (the history is cleared).
    Disk checkDisk(bool quick = true);
    // The stamp of the changed file checkDisk told of last.
    const FileStamp& noticed() const { return noticed_; }
    // What the last Reloaded brought in ("1 name added, Dev Patel kept",
    // see ReloadSummary; "" when nothing is counted).
    const std::string& reloadSummary() const { return reloadSummary_; }

    // --- recovery
    // Call after every change, undo and redo: milliseconds until the
    // recovery file should be written (restart the timer), 0 to leave a
    // running timer alone, -1 when nothing is unsaved (the file was deleted).
    int noteChange();
    // Changes wait to be written to the recovery file.
    bool recoveryDue() const { return recoveryDue_; }
    // Writes the document, with its path and base, to this process's
    // recovery file; 1 when written.
    int writeRecovery();
    // Deletes this process's recovery file.
    void dropRecovery();
    // Recovery files of Tallyvane processes that no longer run, newest first.
    std::vector<std::string> orphanRecoveries();
    void declineRecovery(const std::string& path);
    // Opens the recovered changes of file (read from recoveryFilePath) in
    // place of the document, modified; see Restore. Merged and Untitled
    // write this process's recovery file and delete the old one.
    Restore restore(const RecoveryFile& file, const std::string& recoveryFilePath, MergeReport& report);

private:
    Save saveTo(const std::string& target, SharedFile& shared, MessageSink& view, MergeReport& report);
    static Save outcomeOf(SharedSave::Result result);
    // The save of doc_ to target through SharedSave, with the backup kept.
    SharedSave::Result write(const char* target, SharedFile& shared, MessageSink& view, Document& merged,
                             MergeReport& report);
    // A save wrote the document: the history is at its saved state.
    void markWritten();
    // Save As and Save a Copy As onto the open file itself are Save.
    bool isOwnFile(const char* path) const;
    // The base of a save onto another file: the file there now, if any.
    static void agreedToReplace(const char* path, SharedFile& target);
    void claimPresence();
    void settle();

    Document& doc_;              // the program's document; not owned
    SessionEnvironment& env_;    // not owned
    UndoHistory history_;
    std::string path_;
    SharedFile base_;
    bool readOnly_ = false;
    std::string presencePath_;   // this process's presence file; "" when none held
    std::string recoveryPath_;
    std::string restoredFrom_;   // a recovery file kept until the next save
    bool recoveryDue_ = false;
    uint32_t recoveryDueSince_ = 0;
    std::string lastChange_;     // when the last change was made, as the recovery file says it
    FileStamp noticed_;
    std::string reloadSummary_;
    // The names this program's saves deleted from the file since it was
    // opened, until a reload brings one back.
    std::vector<std::string> deletedHere_;
    std::string problem_;
    std::string backupProblem_;
};
