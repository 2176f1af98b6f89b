#pragma once
#include <cstdio>

#include "storage/format/DocumentView.h"

// The document's window side for tvd: every message the program would show
// is printed as "CAPTION: TEXT", one line each, the two messages of a failed
// file call with the reason the system gave (lastFileError) after " - "; the
// rest is remembered. Callers clear the reason (setFileError("")) before
// the file calls whose failures they report.
class ConsoleView : public DocumentView {
public:
    explicit ConsoleView(FILE* out) : out_(out) {}

    void clearNames() override {}
    void addNameRow(const char*, int) override {}
    void setViewTitle(const char*) override {}
    void reportError(const char* caption, const char* text) override;
    void enterReadOnly() override { readOnly_ = true; }
    void clearReadOnlyPrompt() override { readOnly_ = false; }
    void addRecentFile(const char*) override {}

    bool readOnly() const { return readOnly_; }

private:
    FILE* out_;          // not owned
    bool readOnly_ = false;
};
