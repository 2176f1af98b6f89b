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
// imported or dropped in the main window go through here, so they read and
// skip alike:
//
// - each line that is valid UTF-8 is UTF-8 (a byte-order mark is allowed),
//   any other line ANSI; UTF-16 with a byte-order mark, or without one when
//   it is plain from its NUL bytes; names are converted to ANSI, and a name
//   with a character that has no ANSI form is skipped;
// - any other file with a NUL byte is refused (a workbook, a program);
// - CSV fields are separated by the character of a first line "sep=X"
//   (Excel's), else by ';' or a tab when the first line has one outside
//   quotes and no comma, else by ','; a quote that is never closed refuses
//   the roster; a leading "'" before =, +, -, @, a tab or a CR (the guard
//   that exports write against formulas) is dropped;
// - a first row whose first cell reads "Name" (any case) is a header;
// - blanks, non-breaking spaces and control characters around a name go,
//   blank lines are skipped; a CSV row with text but none in its first cell
//   is skipped with a note;
// - a name longer than a name slot holds is cut to 127 bytes;
// - a name that an earlier row or the document already holds (ignoring case,
//   and tidied alike on both sides) is skipped.
class RosterFile {
public:
    static const size_t kNameLimit = 127;   // a name slot of 128 bytes, NUL included

    // Why a roster line is reported.
    enum NoteKind {
        NameCut,       // cut to kNameLimit bytes, still added
        NoAnsiForm,    // skipped
        Repeated,      // skipped: an earlier line (firstLine) has the same name
        Present,       // skipped: the document holds the name already
        NoName,        // skipped: a CSV row with text, but not in its first column
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

    // Reads path (other programs may keep it open); a path ending in ".csv"
    // (any case) is read as CSV. 0 when the file can't be opened or read or
    // is refused: error() tells why, and no names are taken.
    int read(const char* path);
    // Reads a roster held in memory; 0 when it is refused.
    int parse(const char* data, size_t size, bool csv);
    // Why read or parse refused the roster, as the user is told it:
    // "Failed to open the existing file - the file does not exist".
    const std::string& error() const { return error_; }

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
    void takeName(const std::string& cell, int32_t line, std::unordered_map<std::string, int32_t>& seen);
    int refuse(const std::string& reason);

    std::vector<Name> names_;
    std::vector<Note> notes_;
    std::vector<std::string> keys_;   // caseKey of each name, for sortOut
    int32_t presentCount_ = 0;
    int32_t skipped_ = 0;
    std::string error_;
};
