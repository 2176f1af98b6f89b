#include "export/CsvExport.h"

#include <cstring>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "export/ReportTable.h"
#include "document/Document.h"

namespace {

// Appends text (UTF-8) as one field, quoted when it has to be. A text that a
// spreadsheet would take for a formula (=, +, -, @, and the tab or CR that
// some skip before one) gets a "'" in front, which the spreadsheet shows as
// text; a roster read from the export drops it again.
void appendField(const std::string& text, std::string& row)
{
    const char* guard = !text.empty() && strchr("=+-@\t\r", text[0]) ? "'" : "";
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        row += guard;
        row += text;
        return;
    }
    row += '"';
    row += guard;
    for (char c : text) {
        if (c == '"')
            row += '"';
        row += c;
    }
    row += '"';
}

// The Notes cell: "memo | [x] checkbox (date) | [ ] checkbox".
void appendNotes(const std::vector<const Entry*>& own, std::string& cell)
{
    for (size_t i = 0; i < own.size(); ++i) {
        const Entry& entry = *own[i];
        if (i)
            cell += " | ";
        if (entry.kind == CheckboxDone)
            cell += "[x] ";
        else if (entry.kind == CheckboxOpen)
            cell += "[ ] ";
        ReportTable::appendUtf8(entry.text, cell);
        if (entry.kind == CheckboxDone && entry.date[0]) {
            cell += " (";
            ReportTable::appendUtf8(entry.date, cell);
            cell += ')';
        }
    }
}

} // namespace

void exportCsv(const ReportTable& table, OutputFile& out)
{
    const Document& doc = table.document();
    std::string row = "\xEF\xBB\xBFName";
    std::string cell;
    for (int32_t slot : table.actionSlots()) {
        cell.clear();
        ReportTable::appendUtf8(doc.actions[slot].text, cell);
        row += ',';
        appendField(cell, row);
    }
    row += ",Notes\r\n";
    out.put(row);

    std::vector<const Entry*> cells, own;
    for (int32_t slot : table.nameSlots()) {
        row.clear();
        cell.clear();
        ReportTable::appendUtf8(doc.names[slot].name, cell);
        appendField(cell, row);
        table.actionEntries(slot, cells);
        for (const Entry* entry : cells) {
            row += ',';
            if (!entry || entry->kind != ActionDone)
                continue;
            cell.clear();
            if (entry->date[0])
                ReportTable::appendUtf8(entry->date, cell);
            else
                cell = "done";
            appendField(cell, row);
        }
        table.ownEntries(slot, own);
        cell.clear();
        appendNotes(own, cell);
        row += ',';
        appendField(cell, row);
        row += "\r\n";
        out.put(row);
    }
}
