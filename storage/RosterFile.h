#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class Document;

// A roster: a list of names to add to a document at once, read from a text
// file (one name per line) or a CSV file (the names in the first column;
// fields quoted with '"', quotes doubled). Both tvd add-names and a roster
// dropped on the main window go through here, so they read and skip alike:
//
// - UTF-8 with or without a byte-order mark, or else ANSI; names are
//   converted to ANSI, and a name with a character that has no ANSI form is
//   skipped;
// - a first row whose first cell reads "Name" (any case) is a header;
// - blanks and control characters around a name go, blank lines are skipped;
// - a name longer than a name slot holds is cut to 127 bytes;
// - a name that an earlier row or the document already holds (ignoring
//   case) is skipped.
class RosterFile {
public:
    static const size_t kNameLimit = 127;   // a name slot of 128 bytes, NUL included

    // Why a roster line is reported.
    enum NoteKind {
        NameCut,       // cut to kNameLimit bytes, still added
        NoAnsiForm,    // skipped
        Repeated,      // skipped: an earlier line (firstLine) has the same name
        Present,       // skipped: the document holds the name already
    };
    struct Note {
        int32_t line;        // 1-based line of the roster where the row starts
        NoteKind kind;
        int32_t firstLine;   // Repeated: the line it repeats
    };
    struct Name {
        std::string text;    // ANSI, at most kNameLimit bytes
        int32_t line;
        bool present;        // set by sortOut
    };

    // Reads path; a path ending in ".csv" (any case) is read as CSV. 0 when
    // the file can't be opened or read.
    int read(const char* path);
    // Reads a roster held in memory.
    void parse(const char* data, size_t size, bool csv);

    // Marks the names that doc already holds; returns the number of new ones.
    int32_t sortOut(const Document& doc);
    // Adds the new names with Document::addName in roster order, as the Add
    // name command adds one (each gets an open checkbox for every live action
    // item), and appends their slots to slots when given. Returns the number
    // added, or -1 when memory ran out (the names added before stay).
    int32_t addTo(Document& doc, std::vector<int32_t>* slots = nullptr) const;

    const std::vector<Name>& names() const { return names_; }
    // Every reported line, in roster order.
    std::vector<Note> notes() const;
    int32_t newCount() const { return int32_t(names_.size()) - presentCount_; }
    int32_t presentCount() const { return presentCount_; }
    // Rows skipped for another reason than Present.
    int32_t skippedCount() const { return skipped_; }

    // The reason of a note as shown to the user: "name cut to 127 characters".
    static std::string noteText(const Note& note);
    // Every note as a line "ROSTER:LINE: reason\n", ROSTER being rosterName.
    std::string noteLines(const char* rosterName) const;

private:
    void takeName(const std::string& cell, int32_t line, bool utf8, std::unordered_map<std::string, int32_t>& seen);

    std::vector<Name> names_;
    std::vector<Note> notes_;
    std::vector<std::string> keys_;   // caseKey of each name, for sortOut
    int32_t presentCount_ = 0;
    int32_t skipped_ = 0;
};
