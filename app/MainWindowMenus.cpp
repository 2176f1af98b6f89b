// What the status bar says while a menu item is highlighted, and the
// context menus of the Names, Action items and entries panes.
#include <windowsx.h>

#include "framework/Framework.h"
#include "framework/ListBoxControl.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"
#include "resource.h"

// Runs while the user moves through a menu (the main menu or a context
// menu, both owned by this window) and when it closes; returns 0.
int MainWindow::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    char help[80] = "";
    int id = LOWORD(wParam);
    bool closed = HIWORD(wParam) == 0xFFFF && lParam == 0;
    // Popups report their position, never a command id, in the low word.
    // Ids without a help string leave part 0 empty.
    if (!closed && !(HIWORD(wParam) & MF_POPUP) && id >= CMD_NEW && id < CMD_CANCEL)
        LoadStringA(framework::instance(), id, help, sizeof help);
    statusBar->setStatusText(0, help);
    return 0;
}

// Runs on a right click or the context-menu key anywhere in the window; the
// panes and bars pass theirs up with their own handle in wParam.
void MainWindow::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    // Only the shown pane has a context menu. Anywhere else the default
    // applies: the title bar's system menu, nothing on the bars.
    HWND clicked = reinterpret_cast<HWND>(wParam);
    POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    bool fromKeyboard = at.x == -1 && at.y == -1;
    RECT client;
    GetClientRect(currentPane->hwnd, &client);
    ScreenToClient(currentPane->hwnd, &at);
    if (clicked != currentPane->hwnd || (!fromKeyboard && !PtInRect(&client, at))) {
        DefWindowProcA(hwnd, WM_CONTEXTMENU, wParam, lParam);
        return;
    }
    showContextMenu(clicked, lParam);
}

void MainWindow::showContextMenu(HWND, LPARAM position) {
    HMENU menu;
    ListBoxControl* pane;
    switch (viewMode) {
    case NamesView: menu = namesMenu; pane = parts.namesPane; break;
    case ActionsView: menu = actionsMenu; pane = parts.actionsPane; break;
    case EntriesView: menu = entriesMenu; pane = parts.entriesPane; break;
    case PendingView: menu = pendingMenu; pane = parts.pendingPane; break;
    default: return;
    }
    POINT at = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: no pointer to aim with, so the selection stays
        // and the menu opens at the pane's top left corner.
        POINT corner = {0, 0};
        ClientToScreen(pane->hwnd, &corner);
        at = corner;
    } else {
        // The row under the pointer becomes the selection the command acts
        // on; below the last row nothing is selected, so no command acts on
        // the row selected before.
        POINT client = at;
        ScreenToClient(pane->hwnd, &client);
        int rowHeight = static_cast<int>(SendMessageA(pane->hwnd, LB_GETITEMHEIGHT, 0, 0));
        int top = static_cast<int>(SendMessageA(pane->hwnd, LB_GETTOPINDEX, 0, 0));
        int rows = static_cast<int>(SendMessageA(pane->hwnd, LB_GETCOUNT, 0, 0));
        int row = rowHeight > 0 ? top + client.y / rowHeight : -1;
        if (row >= rows) row = -1;
        if (viewMode != PendingView) {
            SendMessageA(pane->hwnd, LB_SETCURSEL, row, 0);
        } else if (row == -1 || SendMessageA(pane->hwnd, LB_GETSEL, row, 0) <= 0) {
            // Explorer's rule: a click inside the selection keeps it whole.
            selectPendingRow(row);
        }
        // LB_SETCURSEL sends no LBN_SELCHANGE.
        if (viewMode == EntriesView) showEntryDate();
    }
    OnInitMenu();
    // The chosen item comes back as WM_COMMAND, like a menu item.
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
}
