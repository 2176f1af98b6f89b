// The Pending view as the place to tick: Space or Mark done ticks the
// selected names for the action item shown, part 1 of the status bar counts
// who is left, and Ctrl+C copies them all.
#include <string>
#include <vector>

#include "app/Clipboard.h"
#include "document/Document.h"
#include "document/EntryKind.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"

namespace {

LRESULT send(HWND pane, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(pane, message, wParam, lParam);
}

// The open entry of the action item for person, or -1.
int openEntryOf(const NameRecord& person, int actionSlot) {
    for (int position = 0; person.entries && position < person.entryCount; ++position) {
        const Entry& entry = person.entries[position];
        if (entry.actionIndex == actionSlot && entry.kind == ActionOpen) return position;
    }
    return -1;
}

}  // namespace

int MainWindow::pendingRow() const {
    HWND pane = parts.pendingPane->hwnd;
    LRESULT caret = send(pane, LB_GETCARETINDEX);
    if (caret >= 0 && send(pane, LB_GETSEL, caret) > 0) return static_cast<int>(caret);
    int first = -1;
    if (send(pane, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) == 1) return first;
    return -1;
}

void MainWindow::selectPendingRow(int row) {
    HWND pane = parts.pendingPane->hwnd;
    send(pane, LB_SETSEL, FALSE, -1);
    if (row < 0) return;
    send(pane, LB_SETSEL, TRUE, row);
    // Shift with the arrows extends the selection from here.
    send(pane, LB_SETANCHORINDEX, row);
    send(pane, LB_SETCARETINDEX, row, FALSE);
}

void MainWindow::showPendingCount() {
    if (readOnlyMode) return;  // part 1 keeps "Read only"
    if (viewMode != PendingView) {
        statusBar->setStatusText(1, "");
        return;
    }
    Document& doc = *parts.document;
    int total = 0;
    for (int slot = 0; slot < doc.namesCount; ++slot) {
        const NameRecord& person = doc.names[slot];
        if (!person.name[0] || !person.entries) continue;
        for (int position = 0; position < person.entryCount; ++position) {
            const Entry& entry = person.entries[position];
            if (entry.actionIndex == currentItem && isActionKind(entry.kind)) {
                ++total;
                break;
            }
        }
    }
    int left = static_cast<int>(send(parts.pendingPane->hwnd, LB_GETCOUNT));
    std::string text = std::to_string(left) + " of " + std::to_string(total) + " left";
    statusBar->setStatusText(1, text.c_str());
}

void MainWindow::markDone() {
    if (viewMode != PendingView || readOnlyMode) return;
    HWND pane = parts.pendingPane->hwnd;
    int selected = static_cast<int>(send(pane, LB_GETSELCOUNT));
    if (selected <= 0) return;
    std::vector<int> rows(static_cast<size_t>(selected));
    selected = static_cast<int>(send(pane, LB_GETSELITEMS, selected, reinterpret_cast<LPARAM>(rows.data())));
    if (selected <= 0) return;
    rows.resize(static_cast<size_t>(selected));

    Document& doc = *parts.document;
    std::vector<UndoHistory::EntryState> ticks;
    for (int row : rows) {
        int slot = static_cast<int>(send(pane, LB_GETITEMDATA, row));
        NameRecord* person = doc.nameAt(slot);
        int position = person ? openEntryOf(*person, currentItem) : -1;
        if (position >= 0) ticks.push_back(tickedState(person->entries[position], slot, position, ActionDone));
    }
    if (ticks.empty()) return;
    history.setEntryStates(doc, ticks);

    // The selection goes to the name that followed the last one ticked, now
    // at that row less the rows that left above it.
    int next = rows.back() + 1 - static_cast<int>(rows.size());
    int top = static_cast<int>(send(pane, LB_GETTOPINDEX));
    showPending();
    int count = static_cast<int>(send(pane, LB_GETCOUNT));
    send(pane, LB_SETTOPINDEX, top < count ? top : 0);
    selectPendingRow(next < count ? next : count - 1);
}

void MainWindow::copyPendingNames() {
    HWND pane = parts.pendingPane->hwnd;
    int count = static_cast<int>(send(pane, LB_GETCOUNT));
    std::string text;
    char name[Document::kTextSize + 2];
    for (int row = 0; row < count; ++row) {
        LRESULT length = send(pane, LB_GETTEXTLEN, row);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof name)) continue;
        send(pane, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name));
        text += name;
        text += "\r\n";
    }
    if (count == 0) return;
    Clipboard::putText(hwnd, text.c_str());
}
