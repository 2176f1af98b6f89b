// The Save dialog of File > Export...: CSV for spreadsheets or a printable
// report, proposing the data file's name in its folder.
#pragma once

#include "storage/win32/FileDialog.h"

class ExportDialog : public FileDialog {
public:
    ExportDialog();

    // The type chosen gives the extension, unless the name was typed with
    // the other type's (".html", ".htm" or ".csv").
    const char* extensionFor(int chosenFilter, const char* path) override;
    // Whether the chosen path is for the printable report.
    bool html() const { return html_; }

private:
    bool html_ = false;
};
