#include "DocumentFile.h"

#include <cstring>

#include "DataFile.h"
#include "DocumentView.h"
#include "FileHandle.h"
#include "SectionFile.h"
#include "TemporaryFile.h"
#include "document/Document.h"

namespace {

const char kFailed[] = "Failed to save the file";

} // namespace

int saveDocumentFile(Document& doc, DocumentView& view, const char* path)
{
    TemporaryFile temp;
    SectionFile file;
    if (!temp.create(path, file)) {
        view.reportError(path, kFailed);
        return 0;
    }
    bool consistent = writeDataLines(doc, file);
    bool written = file.close() != 0;
    if (!consistent) {
        temp.discard();
        view.reportError("Tallyvane", "Data is corrupt - file not saved");
        return 0;
    }
    if (!written || !temp.putInPlace()) {
        temp.discard();
        view.reportError(path, kFailed);
        return 0;
    }
    doc.modified = 0;
    return 1;
}
