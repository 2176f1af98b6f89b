#include "storage/sharing/DocumentFile.h"

#include <cstring>

#include "storage/format/DataFile.h"
#include "storage/format/DocumentView.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "storage/sharing/SharedFile.h"
#include "document/Document.h"

namespace {

const char kFailed[] = "Failed to save the file";

} // namespace

int temporaryPathFor(const char* path, char* temp, int size)
{
    size_t length = strlen(path);
    if (length + 1 > size_t(size))
        return 0;
    memcpy(temp, path, length + 1);
    if (!replaceExtension(temp, size, ".$$$"))
        return 0;
    // A data file that itself ends in ".$$$" must not be written in place.
    if (strcmp(temp, path) == 0) {
        if (length + 5 > size_t(size))
            return 0;
        strcat(temp, ".$$$");
    }
    return 1;
}

int saveDocumentFile(Document& doc, DocumentView& view, const char* path, SharedFile* written)
{
    char temp[320];
    if (!temporaryPathFor(path, temp, sizeof temp)) {
        view.reportError(path, kFailed);
        return 0;
    }
    int32_t wasModified = doc.modified;
    switch (writeDataFile(doc, temp)) {
    case SaveResult::Saved:
        break;
    case SaveResult::Corrupt:
        deleteFile(temp);
        view.reportError("Tallyvane", "Data is corrupt - file not saved");
        return 0;
    case SaveResult::NotCreated:
        view.reportError(path, kFailed);
        return 0;
    case SaveResult::WriteFailed:
        deleteFile(temp);
        view.reportError(path, kFailed);
        return 0;
    }
    // The temporary file is this save's own: what it holds is what was written.
    SharedFile wrote;
    if (written && !wrote.remember(temp)) {
        deleteFile(temp);
        doc.modified = wasModified;
        view.reportError(path, kFailed);
        return 0;
    }
    if (!replaceFile(temp, path)) {
        doc.modified = wasModified;
        view.reportError(path, kFailed);
        return 0;
    }
    if (written)
        written->swap(wrote);
    return 1;
}
