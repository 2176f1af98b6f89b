#pragma once

// What the data-file reader and the save path do to the windows: the main
// window implements it over the Names list, the status bar, the message
// window and the recent-file list; tests and tvd implement it to record or
// print. Calls come in the order the user would see them.
class DocumentView {
public:
    virtual ~DocumentView() = default;

    // Empties the Names list (LB_RESETCONTENT).
    virtual void clearNames() = 0;
    // Appends one name row whose item data is the name's table slot.
    virtual void addNameRow(const char* text, int slot) = 0;
    virtual void setViewTitle(const char* title) = 0;
    // Shows a message with the exclamation icon and an OK button.
    virtual void reportError(const char* caption, const char* text) = 0;
    // A damaged file was loaded: prompts end at once, ticks are ignored.
    virtual void enterReadOnly() = 0;
    // Clears the input prompt's end-at-once flag of read-only mode.
    virtual void clearReadOnlyPrompt() = 0;
    virtual void addRecentFile(const char* path) = 0;
};
