// Command dispatch: first the notifications of the list panes, then the
// commands of the menus, accelerators and context menus.
#include "app/MainWindow.h"

// Runs for every WM_COMMAND of the main window.
void MainWindow::OnCommand(WPARAM wParam, LPARAM) {
    int id = LOWORD(wParam);
    int code = HIWORD(wParam);
    if (handlePaneNotification(id, code)) return;
    runCommand(id);
}

// Double clicks open the next view; the entries pane's selection shows its
// date. Returns 1 when the notification was one of these.
int MainWindow::handlePaneNotification(int id, int code) {
    if (id == parts.entriesPane->id) {
        if (code == LBN_DBLCLK) {
            // Edit selected, like the menu command.
            runCommand(40011);
            return 1;
        }
        if (code == LBN_SELCHANGE) {
            showEntryDate();
            return 1;
        }
        return 0;
    }
    if (code != LBN_DBLCLK) return 0;
    ListBoxControl* pane = id == parts.namesPane->id     ? parts.namesPane
                           : id == parts.actionsPane->id ? parts.actionsPane
                           : id == parts.pendingPane->id ? parts.pendingPane
                                                         : nullptr;
    if (!pane) return 0;
    // A double click that selected no row (an empty list, or after a delete)
    // does nothing: the view state still names whatever slot the last
    // command left behind, perhaps a deleted one.
    if (selectedRow(pane) == -1) return 1;
    readSelection();
    if (pane == parts.actionsPane) showPending();
    else showEntries();
    return 1;
}
