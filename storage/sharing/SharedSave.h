// Save for a data file that other people may change too (a shared or
// synced folder, a second computer, a second window): the file on disk is
// compared with the base; when someone else changed it, the document is
// merged with their version before it is written, so nobody's work is
// lost. Two programs saving the same file take turns. Whenever the save
// can't be sure it holds the other version (the file can't be read, no
// lock can be made), it writes nothing. Portable: used by the program's
// Save and by tvd add-names.
#pragma once
#include <functional>
#include <string>

#include "document/MergeReport.h"

class Document;
class MessageSink;
class SharedFile;

class SharedSave {
public:
    enum Result {
        Saved,             // written; nobody else had changed the file
        Merged,            // someone had: the merged document was written and is in merged
        TheirsUnreadable,  // changed on disk, but not a readable data file: nothing written
        Busy,              // another program was saving it for all of the wait: nothing written
        Unreadable,        // the file could not be read for all of the wait: nothing written, problem says why
        NoLock,            // the save lock could not be made: nothing written, problem says why
        ReadOnlyFolder,    // the folder refuses new files: nothing written
        Failed,            // not written; view was told why, as saveDocumentFile tells
    };

    static const int kWaitMs = 4000;      // how long a save waits for another one
    static const int kReadWaitMs = 1000;  // how long it waits for the file to be readable

    // Runs at every pause while the save waits for another save or for the
    // file to become readable (up to about five seconds): the window keeps
    // painting and says what it waits for.
    std::function<void()> whileWaiting;

    // Runs with the path of an existing file just before the save replaces
    // it, inside the lock, with the bytes it holds when the save has them in
    // memory (data null otherwise): they are what a backup keeps.
    std::function<void(const char* path, const char* data, size_t size)> beforeReplace;

    // Saves doc to path as saveDocumentFile does, merging first when the
    // file is no longer shared's base. shared becomes the file as written.
    // On Merged, doc is left as it was and merged holds what was saved
    // (with its modified flag cleared) and report what came in.
    Result save(Document& doc, MessageSink& view, const char* path, SharedFile& shared, Document& merged,
                MergeReport& report);

    // TheirsUnreadable, Unreadable, NoLock: what went wrong, as the user is told it.
    std::string problem;
};
