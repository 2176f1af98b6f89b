#include "storage/sharing/SharedSave.h"

#include <chrono>
#include <thread>

#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/format/DocumentView.h"
#include "storage/format/QuietView.h"
#include "storage/sharing/SaveLock.h"
#include "storage/sharing/SharedFile.h"
#include "storage/sharing/TheirCopy.h"
#include "document/Document.h"
#include "document/Heap.h"
#include "document/Merge.h"

namespace {

// Owns a block from SectionFile::readWhole.
struct BlockOwner {
    char* block = nullptr;
    ~BlockOwner() { releaseBlock(block); }
};

}  // namespace

SharedSave::Result SharedSave::save(Document& doc, DocumentView& view, const char* path, SharedFile& shared,
                                    Document& merged, MergeReport& report)
{
    problem.clear();
    report.clear();
    SaveLock lock;
    if (lock.acquire(path, kWaitMs) == SaveLock::Busy)
        return Busy;

    // The file can be held for a moment by a program that reads or saves it
    // without the lock (an older Tallyvane, a sync client): look again for
    // a while. A file held for longer can't be replaced either; the save
    // then goes ahead and fails as any save of a file held open does.
    BlockOwner theirs;
    int32_t theirsSize = 0;
    SharedFile::Disk disk = shared.compare(path, false, &theirs.block, &theirsSize);
    for (int waited = 0; disk == SharedFile::Unreadable && waited < kReadWaitMs; waited += 100) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        disk = shared.compare(path, false, &theirs.block, &theirsSize);
    }

    Document* toWrite = &doc;
    if (disk == SharedFile::Changed) {
        Document theirDoc, baseDoc;
        QuietView baseView;
        if (!loadTheirCopy(theirDoc, theirs.block, size_t(theirsSize), &problem))
            return TheirsUnreadable;
        if (!loadDataBytes(baseDoc, baseView, shared.baseData(), shared.baseSize()) && !baseDoc.resetDocument(0, 0)) {
            view.reportError("Tallyvane", "Out of memory");
            return Failed;
        }
        if (!mergeDocuments(baseDoc, doc, theirDoc, merged, report)) {
            view.reportError("Tallyvane", "Out of memory");
            return Failed;
        }
        merged.modified = 1;
        toWrite = &merged;
    }
    if (disk != SharedFile::Missing && beforeReplace)
        beforeReplace(path);
    // The new base is what this save wrote, never the file read again:
    // a sync client may have put its own version there the moment after.
    if (!saveDocumentFile(*toWrite, view, path, &shared))
        return Failed;
    return toWrite == &doc ? Saved : Merged;
}
