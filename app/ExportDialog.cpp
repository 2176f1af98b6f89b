#include "app/ExportDialog.h"

#include "storage/file/FileName.h"

ExportDialog::ExportDialog() : FileDialog(0) {
    filter = "CSV for spreadsheets (*.csv)\0*.csv\0Report for printing (*.html)\0*.html\0";
    defaultExtension = ".csv";
    title = "Export";
}

const char* ExportDialog::extensionFor(int chosenFilter, const char* path) {
    if (hasExtension(path, ".csv"))
        html_ = false;
    else if (hasExtension(path, ".html") || hasExtension(path, ".htm"))
        html_ = true;
    else
        html_ = chosenFilter == 2;
    if (hasExtension(path, ".htm")) return ".htm";
    return html_ ? ".html" : ".csv";
}
