#include "storage/sharing/SharedSave.h"

#include <chrono>
#include <thread>

#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/format/MessageSink.h"
#include "storage/file/FileHandle.h"
#include "storage/sharing/SaveLock.h"
#include "storage/sharing/SharedFile.h"
#include "storage/sharing/TheirCopy.h"
#include "document/Document.h"
#include "document/HeapBlock.h"
#include "document/Merge.h"

SharedSave::Result SharedSave::save(Document& doc, MessageSink& view, const char* path, SharedFile& shared,
                                    Document& merged, MergeReport& report)
{
    problem.clear();
    report.clear();
    SaveLock lock;
    switch (lock.acquire(path, kWaitMs, whileWaiting)) {
    case SaveLock::Held:
        break;
    case SaveLock::Busy:
        return Busy;
    case SaveLock::ReadOnly:
        return ReadOnlyFolder;
    case SaveLock::Unavailable:
        problem = lock.problem();
        return NoLock;
    case SaveLock::NoFolder:
        // Nothing could be saved there anyway: the save's own failure, with the folder's reason.
        setFileError(lock.problem().c_str());
        view.reportError(path, "Failed to save the file");
        return Failed;
    }

    // The file can be held for a moment by a program that reads or saves it
    // without the lock (an older Tallyvane, a sync client, a virus scanner):
    // look again for a while. Whoever holds it longer may be about to write
    // their version; without it in hand nothing is written over it.
    HeapBlock theirs;
    SharedFile::Disk disk = shared.compare(path, false, theirs.receive(), theirs.length());
    for (int waited = 0; disk == SharedFile::Unreadable && waited < kReadWaitMs; waited += 100) {
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        disk = shared.compare(path, false, theirs.receive(), theirs.length());
    }
    if (disk == SharedFile::Unreadable) {
        problem = lastFileError();
        return Unreadable;
    }

    Document* toWrite = &doc;
    if (disk == SharedFile::Changed) {
        // Both are only read to be merged: no room to grow, and theirs shares
        // the base's entry lists where a person is as the base has them.
        // (baseDoc is declared first, so it outlives theirDoc.)
        Document baseDoc, theirDoc;
        baseDoc.readRoom = theirDoc.readRoom = 0;
        if (loadDataBytes(baseDoc, shared.baseData(), shared.baseSize()).failed() && !baseDoc.resetDocument(0, 0)) {
            view.reportError("Tallyvane", "Out of memory");
            return Failed;
        }
        theirDoc.lender = &baseDoc;
        if (!loadTheirCopy(theirDoc, theirs.data(), size_t(theirs.size()), &problem))
            return TheirsUnreadable;
        // The result takes their lists where it keeps them: the memory the
        // two copies were read into goes with it.
        if (!mergeWithReadCopies(baseDoc, doc, theirDoc, merged, report)) {
            view.reportError("Tallyvane", "Out of memory");
            return Failed;
        }
        merged.modified = 1;
        toWrite = &merged;
    }
    if (disk != SharedFile::Missing && beforeReplace) {
        if (disk == SharedFile::Changed)
            beforeReplace(path, theirs.data(), size_t(theirs.size()));
        else
            beforeReplace(path, shared.baseData(), shared.baseSize());
    }
    // The new base is what this save wrote, never the file read again:
    // a sync client may have put its own version there the moment after.
    if (!saveDocumentFile(*toWrite, view, path, &shared))
        return Failed;
    return toWrite == &doc ? Saved : Merged;
}
