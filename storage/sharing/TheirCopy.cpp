#include "storage/sharing/TheirCopy.h"

#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"
#include "document/Document.h"

int loadTheirCopy(Document& doc, const char* data, size_t size, std::string* problem)
{
    bool whole = false;
    LoadReport report = data ? loadDataBytes(doc, data, size, &whole) : LoadReport();
    if (!data || report.failed() || report.damaged()) {
        if (problem)
            *problem = report.messages().empty() ? "Not a Tallyvane data file" : report.firstMessage();
        return 0;
    }
    // A copy cut off in the middle of a write reads as a smaller document:
    // merged, it would delete what it lost.
    if (!whole) {
        if (problem)
            *problem = std::string("Tallyvane: ") + kIncompleteDataFile;
        return 0;
    }
    return 1;
}
