#include "storage/sharing/TheirCopy.h"

#include "storage/format/DataFile.h"
#include "storage/format/DataFileCheck.h"
#include "storage/format/QuietView.h"
#include "document/Document.h"

int loadTheirCopy(Document& doc, const char* data, size_t size, std::string* problem)
{
    QuietView view;
    bool whole = false;
    if (!data || !loadDataBytes(doc, view, data, size, &whole) || view.damaged) {
        if (problem)
            *problem = view.message.empty() ? "Not a Tallyvane data file" : view.message;
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
