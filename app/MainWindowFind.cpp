// Find and Find next in the Names, Pending and Action items views: the next
// row after the selection that holds the text, anywhere and in any case.
#include <string>

#include "framework/InputDialog.h"
#include "app/MainWindow.h"
#include "document/RowSearch.h"
#include "app/StatusBar.h"

void MainWindow::find() {
    if (viewMode == EntriesView) return;
    // Finding changes nothing, so it is asked for in read-only mode too,
    // where the prompt otherwise closes at once.
    InputDialog& input = *parts.inputDialog;
    int readOnly = input.readOnly;
    input.readOnly = 0;
    int answered = askText("Find", "Text to find:", findText);
    input.readOnly = readOnly;
    if (!answered || !input.text[0]) return;
    lstrcpynA(findText, input.text, sizeof findText);
    findNext();
}

void MainWindow::findNext() {
    if (viewMode == EntriesView) return;
    if (!findText[0]) {
        find();
        return;
    }
    HWND pane = currentPane->hwnd;
    int count = static_cast<int>(SendMessageA(pane, LB_GETCOUNT, 0, 0));
    std::string text;
    auto textOf = [&](int row) {
        LRESULT length = SendMessageA(pane, LB_GETTEXTLEN, row, 0);
        text.assign(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
        if (length > 0) SendMessageA(pane, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
        return text.c_str();
    };
    int row = RowSearch::nextMatch(count, selectedRow(currentPane), textOf, findText);
    if (row == -1) {
        std::string note = std::string("\"") + findText + "\" not found";
        statusBar->setStatusText(0, note.c_str());
        return;
    }
    if (viewMode == PendingView) selectPendingRow(row);
    else SendMessageA(pane, LB_SETCURSEL, row, 0);
    if (viewMode == NamesView) savedNamesRow = row;
    else if (viewMode == ActionsView) savedActionsRow = row;
    // Part 0 loses a "not found" of the last search; the Pending view's text stays.
    statusBar->setStatusText(0, viewMode == PendingView ? "Action item not complete" : "");
}
