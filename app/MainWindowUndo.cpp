// Undo and Redo: the history changes the document, then the window shows the
// change in the view it belongs to, with the changed row selected.
#include "document/Document.h"
#include "document/EntryRows.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"

namespace {

// The row of pane whose item data is data, or -1.
int rowOfData(HWND pane, LPARAM data) {
    int count = static_cast<int>(SendMessageA(pane, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        if (SendMessageA(pane, LB_GETITEMDATA, row, 0) == data) return row;
    return -1;
}

}  // namespace

void MainWindow::undo() {
    if (readOnlyMode || !history.canUndo()) return;
    UndoHistory::Target target = history.undo(*parts.document);
    if (target.what == UndoHistory::Target::Nothing) showError("Out of memory", "Tallyvane");
    else showChange(target);
}

void MainWindow::redo() {
    if (readOnlyMode || !history.canRedo()) return;
    UndoHistory::Target target = history.redo(*parts.document);
    if (target.what == UndoHistory::Target::Nothing) showError("Out of memory", "Tallyvane");
    else showChange(target);
}

void MainWindow::showChange(const UndoHistory::Target& target) {
    using T = UndoHistory::Target;
    Document& doc = *parts.document;
    NameRecord* person = doc.nameAt(target.slot);
    bool personLive = person && person->name[0];
    switch (target.what) {
    case T::Ticks:
        // Ticks made in a Pending view show there again; any other in the
        // person's page.
        if (viewMode == PendingView && target.action == currentItem) {
            showPending();
            selectPendingRow(rowOfData(parts.pendingPane->hwnd, target.slot));
            return;
        }
        [[fallthrough]];
    case T::Entries:
        if (personLive) {
            currentItem = target.slot;
            showEntries();
            int row = target.position >= 0 ? EntryRows::rowOfPosition(*person, target.position) : -1;
            SendMessageA(parts.entriesPane->hwnd, LB_SETCURSEL, row, 0);
            showEntryDate();
            return;
        }
        break;
    case T::ActionItems: {
        savedActionsRow = -1;
        showActionItems();
        int row = rowOfData(parts.actionsPane->hwnd, target.slot);
        SendMessageA(parts.actionsPane->hwnd, LB_SETCURSEL, row, 0);
        savedActionsRow = row;
        return;
    }
    default:
        break;
    }
    savedNamesRow = -1;
    showNames();
    int row = personLive ? rowOfData(parts.namesPane->hwnd, target.slot) : -1;
    SendMessageA(parts.namesPane->hwnd, LB_SETCURSEL, row, 0);
    savedNamesRow = row;
    statusBar->setStatusText(0, "");
}
