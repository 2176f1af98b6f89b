#include "export/HtmlExport.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "export/ReportTable.h"
#include "document/Document.h"
#include "storage/file/AnsiText.h"

namespace {

// Page margins that fit both A4 (210 mm wide) and Letter (279 mm tall), and
// tick colours kept in print.
const char kStyle[] =
    "@page{margin:12mm}\n"
    "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}\n"
    "body{font:10pt/1.35 'Segoe UI',Arial,Helvetica,sans-serif;color:#111;margin:1.5em;max-width:60em}\n"
    "h1{font-size:16pt;margin:0}h2{font-size:12pt;margin:1.4em 0 .5em;border-bottom:1px solid #888}\n"
    ".when{color:#555;margin:.2em 0 0}\n"
    ".figures th{text-align:left;font-weight:normal;padding-right:1.5em}.figures td{font-weight:bold}\n"
    ".action{margin:.6em 0;break-inside:avoid}.action h3{font-size:10pt;margin:0 0 .2em}\n"
    ".bar{display:inline-block;vertical-align:middle;width:14em;height:.8em;border:1px solid #555;background:#eee}\n"
    ".bar span{display:block;height:100%;background:#2e7d32}\n"
    ".pct{margin-left:.6em}.pending{margin:.2em 0 0;color:#333}.pending.none{color:#2e7d32}\n"
    ".grid{border-collapse:collapse;font-size:9pt}\n"
    ".grid th,.grid td{border:1px solid #999;padding:2px 4px;vertical-align:top}\n"
    ".grid thead th{background:#e8e8e8;vertical-align:bottom}\n"
    ".grid th.act{padding:4px 2px}\n"
    ".grid th.act span{writing-mode:vertical-rl;transform:rotate(180deg);max-height:14em;text-align:left}\n"
    ".grid tbody th{text-align:left;font-weight:normal;white-space:nowrap}\n"
    ".grid td.done{text-align:center;color:#2e7d32;font-weight:bold}\n"
    ".grid td.done .date{display:none;font-size:6.5pt;font-weight:normal;color:#333;white-space:normal}\n"
    ".grid tbody tr:nth-child(even){background:#f6f6f6}\n"
    ".notes ul{margin:0;padding:0;list-style:none}.notes .date{color:#555}\n"
    "@media print{body{margin:0;max-width:none;font-size:9pt}.grid td.done .date{display:block}\n"
    "  .grid thead{display:table-header-group}.grid tr{break-inside:avoid}}\n";

const char kTick[] = "\xE2\x9C\x93";      // check mark
const char kBoxDone[] = "\xE2\x98\x91";   // ballot box with check
const char kBoxOpen[] = "\xE2\x98\x90";   // ballot box

// Appends UTF-8 text with &, <, >, " and ' escaped.
void appendEscaped(const std::string& text, std::string& out)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
}

// Appends ANSI text as escaped UTF-8.
void appendText(const char* ansi, std::string& out)
{
    std::string utf8;
    ReportTable::appendUtf8(ansi, utf8);
    appendEscaped(utf8, out);
}

int percent(int64_t part, int64_t whole)
{
    return whole > 0 ? int(part * 100 / whole) : 0;
}

void appendBar(int64_t done, int64_t possible, std::string& out)
{
    std::string pct = std::to_string(percent(done, possible));
    out += "<span class=\"bar\"><span style=\"width:" + pct + "%\"></span></span>";
    out += "<span class=\"pct\">" + pct + "% (" + std::to_string(done) + " of " + std::to_string(possible) + ")</span>";
}

// Per column: how many names have it done, and who has not.
struct ColumnFigures {
    int64_t done = 0;
    std::vector<int32_t> pending;   // name slots in row order
};

// A file name is UTF-8 in the native build and ANSI in the Windows build:
// taken as UTF-8 when it is valid UTF-8.
void appendTitle(const char* title, std::string& out)
{
    if (AnsiText::isUtf8(title, strlen(title)))
        appendEscaped(title, out);
    else
        appendText(title, out);
}

void writeHead(const char* title, const char* date, OutputFile& out)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    appendTitle(title, page);
    page += " - Tallyvane</title>\n<style>\n";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<header>\n<h1>";
    appendTitle(title, page);
    page += "</h1>\n<p class=\"when\">Exported ";
    appendText(date, page);
    page += " from Tallyvane</p>\n</header>\n";
    out.put(page);
}

void writeSummary(const ReportTable& table, const std::vector<ColumnFigures>& columns, OutputFile& out)
{
    const Document& doc = table.document();
    int64_t names = int64_t(table.nameSlots().size());
    int64_t done = 0;
    for (const ColumnFigures& column : columns)
        done += column.done;
    int64_t possible = names * int64_t(columns.size());
    std::string part = "<section class=\"summary\">\n<h2>Summary</h2>\n<table class=\"figures\">\n";
    part += "<tr><th>Names</th><td>" + std::to_string(names) + "</td></tr>\n";
    part += "<tr><th>Action items</th><td>" + std::to_string(columns.size()) + "</td></tr>\n";
    part += "<tr><th>Ticks done</th><td>" + std::to_string(done) + " of " + std::to_string(possible) + " ("
            + std::to_string(percent(done, possible)) + "%)</td></tr>\n</table>\n</section>\n";

    part += "<section class=\"actions\">\n<h2>Action items</h2>\n";
    for (size_t c = 0; c < columns.size(); ++c) {
        part += "<div class=\"action\">\n<h3>";
        appendText(doc.actions[table.actionSlots()[c]].text, part);
        part += "</h3>\n";
        appendBar(columns[c].done, names, part);
        if (columns[c].pending.empty()) {
            part += "\n<p class=\"pending none\">Nobody pending</p>\n</div>\n";
        } else {
            part += "\n<p class=\"pending\">Pending (" + std::to_string(columns[c].pending.size()) + "): ";
            for (size_t i = 0; i < columns[c].pending.size(); ++i) {
                if (i)
                    part += ", ";
                appendText(doc.names[columns[c].pending[i]].name, part);
            }
            part += "</p>\n</div>\n";
        }
        out.put(part);
        part.clear();
    }
    part += "</section>\n";
    out.put(part);
}

void appendOwnEntries(const std::vector<const Entry*>& own, std::string& row)
{
    row += "<td class=\"notes\">";
    if (!own.empty()) {
        row += "<ul>";
        for (const Entry* entry : own) {
            if (entry->kind == EntryMemo) {
                row += "<li class=\"memo\">";
                appendText(entry->text, row);
            } else {
                bool done = entry->kind == CheckboxDone;
                row += done ? "<li class=\"box done\">" : "<li class=\"box\">";
                row += done ? kBoxDone : kBoxOpen;
                row += ' ';
                appendText(entry->text, row);
                if (done && entry->date[0]) {
                    row += " <span class=\"date\">(";
                    appendText(entry->date, row);
                    row += ")</span>";
                }
            }
            row += "</li>";
        }
        row += "</ul>";
    }
    row += "</td>";
}

void writeGrid(const ReportTable& table, OutputFile& out)
{
    const Document& doc = table.document();
    std::string row = "<section class=\"matrix\">\n<h2>Who has done what</h2>\n<table class=\"grid\">\n"
                      "<thead><tr><th>Name</th>";
    for (int32_t slot : table.actionSlots()) {
        row += "<th class=\"act\" title=\"";
        appendText(doc.actions[slot].text, row);
        row += "\"><span>";
        appendText(doc.actions[slot].text, row);
        row += "</span></th>";
    }
    row += "<th>Memos and checkboxes</th></tr></thead>\n<tbody>\n";
    out.put(row);

    std::vector<const Entry*> cells, own;
    for (int32_t slot : table.nameSlots()) {
        row = "<tr><th>";
        appendText(doc.names[slot].name, row);
        row += "</th>";
        table.actionEntries(slot, cells);
        for (const Entry* entry : cells) {
            if (!entry || entry->kind != ActionDone) {
                row += "<td></td>";
                continue;
            }
            if (!entry->date[0]) {
                row += "<td class=\"done\" title=\"done\">";
                row += kTick;
                row += "</td>";
                continue;
            }
            row += "<td class=\"done\" title=\"";
            appendText(entry->date, row);
            row += "\">";
            row += kTick;
            row += "<span class=\"date\">";
            appendText(entry->date, row);
            row += "</span></td>";
        }
        table.ownEntries(slot, own);
        appendOwnEntries(own, row);
        row += "</tr>\n";
        out.put(row);
    }
    out.put("</tbody>\n</table>\n</section>\n</body>\n</html>\n");
}

} // namespace

void exportHtml(const ReportTable& table, const char* title, const char* date, OutputFile& out)
{
    std::vector<ColumnFigures> columns(table.actionSlots().size());
    std::vector<const Entry*> cells;
    for (int32_t slot : table.nameSlots()) {
        table.actionEntries(slot, cells);
        for (size_t c = 0; c < cells.size(); ++c) {
            if (cells[c] && cells[c]->kind == ActionDone)
                columns[c].done++;
            else
                columns[c].pending.push_back(slot);
        }
    }
    writeHead(title, date, out);
    writeSummary(table, columns, out);
    writeGrid(table, out);
}
