#pragma once

class OutputFile;
class ReportTable;

// The table as CSV for spreadsheets: UTF-8 with a byte-order mark, CR LF
// line ends, a field quoted (quotes doubled) when it holds a comma, a quote
// or a line break, and a "'" before a field that starts with =, +, -, @, a
// tab or a CR, so that no name runs as a formula. Columns: Name, one per
// action item, Notes. An action cell holds the date of the tick, "done" for
// a tick without a date, or nothing; Notes joins the memos and single
// checkboxes with " | ".
void exportCsv(const ReportTable& table, OutputFile& out);
