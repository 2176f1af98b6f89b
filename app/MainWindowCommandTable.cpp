// The commands of the main menu, the accelerators and the context menus
// (ids 40001-40023) and the recent-file items (5900 and up), and which of
// them the main menu grays in each view.
#include "app/MainWindow.h"
#include "resource.h"

// Runs a command by its id; 1 when the id is a command. The notification
// code is not looked at, so a menu item, its accelerator and a context-menu
// item act alike. Cancel (40101) and unknown ids do nothing.
int MainWindow::runCommand(int id) {
    switch (id) {
    case CMD_NEW: newDocument(); return 1;
    case CMD_OPEN: openDocument(1, 0); return 1;
    case CMD_SAVE: saveDocument(); return 1;
    case CMD_SAVE_AS: saveDocumentAs(); return 1;
    case CMD_EXIT: exitProgram(); return 1;
    case CMD_ADD_NAME: addName(); return 1;
    case CMD_ADD_ACTION: addAction(); return 1;
    case CMD_ADD_MEMO: addMemo(); return 1;
    case CMD_ADD_CHECKBOX: addCheckbox(); return 1;
    case CMD_COPY: copySelection(); return 1;
    case CMD_EDIT_SELECTED: editSelected(); return 1;
    case CMD_DELETE_SELECTED: deleteSelected(); return 1;
    case CMD_REMOVE_DATE: removeDate(); return 1;
    case CMD_VIEW_NAMES: showNames(); return 1;
    case CMD_VIEW_ACTIONS: showActionItems(); return 1;
    case CMD_ABOUT: showAbout(); return 1;
    case CMD_IMPORT_NAMES: importNames(); return 1;
    case CMD_EXPORT: exportDocument(); return 1;
    case CMD_MARK_DONE: markDone(); return 1;
    case CMD_FIND: find(); return 1;
    case CMD_FIND_NEXT: findNext(); return 1;
    case CMD_UNDO: undo(); return 1;
    case CMD_REDO: redo(); return 1;
    }
    // A recent-file id counts while the File menu lists an item for it.
    if (recentFiles.holds(id)) {
        openDocument(0, id);
        return 1;
    }
    return 0;
}

int MainWindow::commandGrayed(ViewMode mode, int id) {
    switch (id) {
    case CMD_ADD_NAME: return mode != NamesView;
    case CMD_ADD_ACTION: return mode != ActionsView;
    case CMD_ADD_MEMO:
    case CMD_ADD_CHECKBOX:
    case CMD_REMOVE_DATE: return mode != EntriesView;
    case CMD_EDIT_SELECTED:
    case CMD_DELETE_SELECTED: return mode == PendingView;
    case CMD_MARK_DONE: return mode != PendingView;
    case CMD_FIND:
    case CMD_FIND_NEXT: return mode == EntriesView;
    default: return 0;
    }
}

// Runs when the main menu opens, before an accelerator of a main-menu item
// acts (the platform drops the key when its item is grayed) and before a
// context menu opens. The context menus themselves are never grayed.
void MainWindow::OnInitMenu() {
    static const int editingItems[] = {CMD_ADD_NAME,    CMD_ADD_ACTION,    CMD_ADD_MEMO,        CMD_ADD_CHECKBOX,
                                       CMD_REMOVE_DATE, CMD_EDIT_SELECTED, CMD_DELETE_SELECTED, CMD_MARK_DONE,
                                       CMD_FIND,        CMD_FIND_NEXT};
    HMENU menu = GetMenu(hwnd);
    for (int id : editingItems)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (commandGrayed(viewMode, id) ? MF_GRAYED : MF_ENABLED));
    // Undo and Redo follow the history; nothing changes in read-only mode.
    EnableMenuItem(menu, CMD_UNDO, MF_BYCOMMAND | (!readOnlyMode && history.canUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, CMD_REDO, MF_BYCOMMAND | (!readOnlyMode && history.canRedo() ? MF_ENABLED : MF_GRAYED));
    if (readOnlyMode) EnableMenuItem(menu, CMD_MARK_DONE, MF_BYCOMMAND | MF_GRAYED);
}
