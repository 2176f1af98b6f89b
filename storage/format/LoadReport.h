// How a load of a data file ended, and what it has to say: the messages in
// the order the user sees them, whether the file loaded damaged (so it is
// open read-only) and whether it failed. The reader fills it and shows
// nothing; the program's window puts the messages in its message window,
// tvd prints them.
#pragma once
#include <string>
#include <vector>

class LoadReport {
public:
    // The inconsistencies of a readable file, shown as "Data file is
    // corrupt - Err# N" with N the number here. When a file has several,
    // the last one the reader comes upon is told.
    enum class Damage {
        None = 0,
        ActionCount = 1,    // another number of action items than declared
        NameCount = 2,      // another number of name lines than declared
        EntryKind = 3,      // an entry line of a kind that doesn't exist
        MissingList = 4,    // a live name has no section of its own
        EntryCount = 5,     // another number of entry lines than declared
        ActionEntries = 6,  // a list with another number of action entries than action items
        BlankName = 7,      // a name line without a name
        NotUtf8 = 8,        // text of a UTF-8 file that is not UTF-8
    };

    struct Message {
        std::string caption;
        std::string text;
    };

    // The load ended with text (caption "Tallyvane"); text may be null for
    // a file that could not be opened, which the caller reports.
    void fail(const char* text);
    // The file loaded with damage: told, and opened read-only.
    void damage(Damage what);
    // The file loaded whole, but text in it can't be shown here: told, and
    // opened read-only.
    void unshown(const char* text);
    // The document was emptied and holds what was read of the file (set
    // even when the load then failed part way).
    void markReplaced() { replaced_ = true; }

    bool loaded() const { return !failed_; }
    bool failed() const { return failed_; }
    // Loaded, but to be opened read-only (damaged, or not all of it can be shown).
    bool damaged() const { return damaged_; }
    Damage damage() const { return damage_; }
    bool replaced() const { return replaced_; }
    const std::vector<Message>& messages() const { return messages_; }
    // "CAPTION: TEXT" of the first message, or "".
    std::string firstMessage() const;

private:
    void add(const char* text);

    std::vector<Message> messages_;
    Damage damage_ = Damage::None;
    bool damaged_ = false;
    bool failed_ = false;
    bool replaced_ = false;
};
