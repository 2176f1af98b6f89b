#include "storage/sharing/TheirCopy.h"

#include "storage/format/DataFile.h"
#include "storage/format/QuietView.h"
#include "document/Document.h"

int loadTheirCopy(Document& doc, const char* data, size_t size, std::string* problem)
{
    QuietView view;
    if (!data || !loadDataBytes(doc, view, data, size) || view.damaged) {
        if (problem)
            *problem = view.message.empty() ? "Not a Tallyvane data file" : view.message;
        return 0;
    }
    // The reader's check that the copy is whole (every section it announces,
    // every list as long as its count says) goes here as well, once it has one.
    return 1;
}
