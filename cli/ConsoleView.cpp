#include "cli/ConsoleView.h"

#include <cstring>

#include "storage/file/FileHandle.h"
#include "storage/format/LoadReport.h"

void ConsoleView::reportError(const char* caption, const char* text)
{
    // The program's two file messages carry the system's reason here.
    bool fileMessage =
        strcmp(text, "Failed to save the file") == 0 || strcmp(text, "Failed to open the existing file") == 0;
    if (fileMessage && *lastFileError())
        fprintf(out_, "%s: %s - %s\n", caption, text, lastFileError());
    else
        fprintf(out_, "%s: %s\n", caption, text);
    fflush(out_);
}

bool ConsoleView::show(const LoadReport& report)
{
    for (const LoadReport::Message& message : report.messages())
        reportError(message.caption.c_str(), message.text.c_str());
    return report.loaded();
}
