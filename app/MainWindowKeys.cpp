// The keys a list pane hands to the main window (the panes have
// LBS_WANTKEYBOARDINPUT): Enter opens or edits, Space ticks, Backspace and
// Esc go back as "<<" does. Every other key moves the list box's selection
// as usual. Menus and modal boxes run their own loops, so a key that reaches
// this handler found none of them open.
#include "app/grid/EntryGrid.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"
#include "resource.h"

namespace {
bool held(int vk) { return GetKeyState(vk) < 0; }
}  // namespace

// Runs for WM_VKEYTOITEM from the shown pane, before the list box acts on
// the key; returns -2 when the key was used here, -1 for the default action.
int MainWindow::OnVKeyToItem(WPARAM wParam) {
    int key = LOWORD(wParam);
    // Shift and Ctrl with Space extend the Pending view's selection.
    if (held(VK_CONTROL) || held(VK_SHIFT) || held(VK_MENU)) return -1;
    switch (key) {
    case VK_RETURN:
        if (viewMode == EntriesView) editSelected();
        else handlePaneNotification(currentPane->id, LBN_DBLCLK);  // as a double click
        return -2;
    case VK_SPACE:
        if (viewMode == PendingView) {
            markDone();
        } else if (viewMode == EntriesView) {
            parts.entriesPane->toggleSelected();
            showEntryDate();
        }
        return -2;
    case VK_BACK:
    case VK_ESCAPE:
        goBack();
        return -2;
    default:
        return -1;
    }
}
