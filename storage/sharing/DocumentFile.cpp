#include "storage/sharing/DocumentFile.h"

#include <cstring>

#include "storage/format/DataFile.h"
#include "storage/format/MessageSink.h"
#include "storage/file/FileHandle.h"
#include "storage/format/SectionFile.h"
#include "storage/file/TemporaryFile.h"
#include "storage/sharing/SharedFile.h"
#include "document/Document.h"

namespace {

const char kFailed[] = "Failed to save the file";

} // namespace

int saveDocumentFile(Document& doc, MessageSink& view, const char* path, SharedFile* written)
{
    TemporaryFile temp;
    SectionFile file;
    if (!temp.create(path, file)) {
        view.reportError(path, kFailed);
        return 0;
    }
    bool utf8 = dataFileInUtf8(doc);
    bool consistent = writeDataLines(doc, file);
    bool closed = file.close() != 0;
    if (!consistent) {
        temp.discard();
        view.reportError("Tallyvane", "Data is corrupt - file not saved");
        return 0;
    }
    // The temporary file is this save's own: what it holds is what was written.
    SharedFile wrote;
    if (!closed || (written && !wrote.remember(temp.path().c_str())) || !temp.putInPlace()) {
        temp.discard();
        view.reportError(path, kFailed);
        return 0;
    }
    doc.modified = 0;
    // Once written in UTF-8 the file stays so, whatever its texts become.
    if (utf8)
        doc.utf8File = 1;
    if (written)
        written->swap(wrote);
    return 1;
}
