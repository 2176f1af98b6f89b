// A DocumentView that shows nothing: for loading a copy of a data file
// that the user does not look at (the file on disk before a merge, a base
// kept in memory). It keeps the first message and whether the copy is damaged.
#pragma once
#include <string>

#include "storage/format/DocumentView.h"

class QuietView : public DocumentView {
public:
    void clearNames() override {}
    void addNameRow(const char*, int) override {}
    void setViewTitle(const char*) override {}
    void reportError(const char* caption, const char* text) override
    {
        if (message.empty())
            message = std::string(caption) + ": " + text;
    }
    void enterReadOnly() override { damaged = true; }
    void clearReadOnlyPrompt() override {}
    void addRecentFile(const char*) override {}

    std::string message;   // "CAPTION: TEXT" of the first message, or empty
    bool damaged = false;  // the copy loaded, but would open read-only
};
