#pragma once
#include <cstdint>
#include <string>
#include <vector>

class Document;
struct Entry;

// The document as the exports lay it out: one column per live action item in
// the order of the file, one row per live name sorted by name ignoring ASCII
// case (names that compare equal keep the file's order).
class ReportTable {
public:
    explicit ReportTable(const Document& doc);

    const Document& document() const { return doc_; }
    const std::vector<int32_t>& actionSlots() const { return actions_; }
    const std::vector<int32_t>& nameSlots() const { return names_; }
    // The name's action entry for each column, or null where it has none (a
    // damaged file can leave a name short of entries).
    void actionEntries(int32_t nameSlot, std::vector<const Entry*>& cells) const;
    // The name's memos and single checkboxes, in the order they were added.
    void ownEntries(int32_t nameSlot, std::vector<const Entry*>& entries) const;

    // Appends ANSI text to out as UTF-8.
    static void appendUtf8(const char* text, std::string& out);

private:
    const Document& doc_;                 // not owned; outlives the table
    std::vector<int32_t> actions_;        // action slots, one per column
    std::vector<int32_t> columnOf_;       // action slot -> column, or -1
    std::vector<int32_t> names_;          // name slots, one per row
};
