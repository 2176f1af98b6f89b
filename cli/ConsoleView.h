#pragma once
#include <cstdio>

#include "storage/format/MessageSink.h"

class LoadReport;

// The program's messages for tvd: every message the program would show is
// printed as "CAPTION: TEXT", one line each, the two messages of a failed
// file call with the reason the system gave (lastFileError) after " - ".
// Callers clear the reason (setFileError("")) before the file calls whose
// failures they report.
class ConsoleView : public MessageSink {
public:
    explicit ConsoleView(FILE* out) : out_(out) {}

    void reportError(const char* caption, const char* text) override;
    // Prints a load's messages in order; true when it loaded.
    bool show(const LoadReport& report);

private:
    FILE* out_;          // not owned
};
