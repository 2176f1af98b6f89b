#pragma once

class OutputFile;
class ReportTable;

// The table as one self-contained printable page (no scripts, nothing
// fetched): a heading with title (the data file's name: UTF-8 when valid, else ANSI) and the
// export's date; a summary; per action item a completion bar and the names
// still pending; then the whole grid with a tick and the date for each done
// checkbox and each person's memos and single checkboxes. Every text is
// HTML-escaped. The style sheet lays it out for A4 and Letter alike.
void exportHtml(const ReportTable& table, const char* title, const char* date, OutputFile& out);
