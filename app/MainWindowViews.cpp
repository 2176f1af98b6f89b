// The four views of the document: all names, all action items, one person's
// entries and the names that still have one action item open. A view is
// refilled from the document every time it is shown.

#include <cstdlib>

#include "document/Document.h"
#include "document/EntryKind.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"
#include "framework/ViewBar.h"

ListBoxControl* MainWindow::paneOf(ViewMode mode) const {
    switch (mode) {
    case ActionsView: return parts.actionsPane;
    case EntriesView: return parts.entriesPane;
    case PendingView: return parts.pendingPane;
    default: return parts.namesPane;
    }
}

// Turns painting off while a pane is filled and reserves room for rows
// strings of bytes in all; fillEnd paints it once.
void MainWindow::fillBegin(ListBoxControl* pane, int rows, int bytes) {
    SendMessageA(pane->hwnd, WM_SETREDRAW, FALSE, 0);
    if (rows > 0) SendMessageA(pane->hwnd, LB_INITSTORAGE, rows, bytes);
}

void MainWindow::fillEnd(ListBoxControl* pane) {
    SendMessageA(pane->hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(pane->hwnd, nullptr, TRUE);
}

// Appends (or, in a sorted list, inserts) a row with its item data; a row
// the list refuses is skipped. Returns the row, or -1.
int MainWindow::addRow(ListBoxControl* pane, const char* text, LPARAM data) {
    LRESULT row = SendMessageA(pane->hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (row == LB_ERR || row == LB_ERRSPACE) return -1;
    SendMessageA(pane->hwnd, LB_SETITEMDATA, row, data);
    return static_cast<int>(row);
}

int MainWindow::selectRowNear(ListBoxControl* pane, int row) {
    int count = static_cast<int>(SendMessageA(pane->hwnd, LB_GETCOUNT, 0, 0));
    if (count <= 0) return -1;
    if (row < 0) row = 0;
    if (row >= count) row = count - 1;
    if (pane == parts.pendingPane) selectPendingRow(row);
    else SendMessageA(pane->hwnd, LB_SETCURSEL, row, 0);
    // A screen reader follows the keyboard's row, also to a new view.
    if (GetFocus() == pane->hwnd) AccessibleObject::notify(EVENT_OBJECT_FOCUS, pane->hwnd, row + 1);
    return row;
}

std::string MainWindow::rowText(ListBoxControl* pane, int row) const {
    LRESULT length = row < 0 ? LB_ERR : SendMessageA(pane->hwnd, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(pane->hwnd, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

int MainWindow::rowOfText(ListBoxControl* pane, const std::string& text, int around) const {
    int count = static_cast<int>(SendMessageA(pane->hwnd, LB_GETCOUNT, 0, 0));
    int found = -1;
    for (int row = 0; row < count && !text.empty(); ++row) {
        if (rowText(pane, row) != text) continue;
        if (found < 0 || std::abs(row - around) < std::abs(found - around)) found = row;
    }
    return found >= 0 ? found : around;
}

void MainWindow::switchView(ViewMode mode) {
    if (mode == viewMode) return;
    // Part 1 counts the names left only while the Pending view is shown.
    if (viewMode == PendingView && !readOnlyMode) statusBar->setStatusText(1, "");
    ShowWindow(currentPane->hwnd, SW_HIDE);
    currentPane = paneOf(mode);
    viewMode = mode;
    ShowWindow(currentPane->hwnd, SW_RESTORE);
    SetFocus(currentPane->hwnd);
    layoutPanes();
}

void MainWindow::showNames() {
    Document& doc = *parts.document;
    ListBoxControl* pane = parts.namesPane;
    SendMessageA(pane->hwnd, LB_RESETCONTENT, 0, 0);
    switchView(NamesView);
    fillBegin(pane, doc.liveNames, doc.liveNames * 16);
    fillNameRows();
    fillEnd(pane);
    setViewTitle("Names");
    savedNamesRow = selectRowNear(pane, savedNamesRow);
}

void MainWindow::fillNameRows() {
    const Document& doc = *parts.document;
    sortedRows.clear();
    for (int slot = 0; slot < doc.namesCount; ++slot)
        if (doc.names[slot].name[0]) sortedRows.add(doc.names[slot].name, slot);
    sortedRows.fill(parts.namesPane->hwnd);
}

void MainWindow::showActionItems() {
    Document& doc = *parts.document;
    ListBoxControl* pane = parts.actionsPane;
    switchView(ActionsView);
    SendMessageA(pane->hwnd, LB_RESETCONTENT, 0, 0);
    fillBegin(pane, doc.liveActions, doc.liveActions * 32);
    for (int slot = doc.actionCount - 1; slot >= 0; --slot)
        if (doc.actions[slot].text[0]) addRow(pane, doc.actions[slot].text, slot);
    fillEnd(pane);
    savedActionsRow = selectRowNear(pane, savedActionsRow);
    setViewTitle("Action Items");
    statusBar->setStatusText(0, "");
}

void MainWindow::showEntries() {
    if (currentItem == -1) return;
    Document& doc = *parts.document;
    EntryGrid* pane = parts.entriesPane;
    switchView(EntriesView);
    SendMessageA(pane->hwnd, LB_RESETCONTENT, 0, 0);
    NameRecord* person = doc.nameAt(currentItem);
    if (!person) return;
    setViewTitle(person->name);
    entriesTitle = person->name;
    fillBegin(pane, person->liveEntries, person->liveEntries * 32);
    const char* corrupt = nullptr;
    for (int position = person->entryCount - 1; position >= 0 && person->entries; --position) {
        const Entry& entry = person->entries[position];
        switch (entry.kind) {
        case EntryDeleted:
            break;
        case EntryMemo:
        case CheckboxOpen:
        case CheckboxDone:
            addRow(pane, entry.text ? entry.text : "", entry.kind);
            break;
        default:
            // An action entry must name a slot of the action table; the
            // rows after a bad one would stand for the wrong entries.
            if (entry.actionIndex < 0 || entry.actionIndex >= doc.actionCount) {
                corrupt = "Data is corrupt";
                break;
            }
            addRow(pane, doc.actions[entry.actionIndex].text, entry.kind == ActionDone ? 1 : 0);
            break;
        }
        if (corrupt) break;
    }
    fillEnd(pane);
    // The keys move from the first row; the status bar keeps its text until
    // the selection or a tick changes it.
    selectRowNear(pane, 0);
    if (corrupt) showError(corrupt, "Tallyvane");
}

void MainWindow::showPending() {
    if (currentItem == -1) return;
    Document& doc = *parts.document;
    ListBoxControl* pane = parts.pendingPane;
    SendMessageA(pane->hwnd, LB_RESETCONTENT, 0, 0);
    switchView(PendingView);
    setViewTitle(doc.actionText(currentItem));
    pendingTitle = doc.actionText(currentItem);
    sortedRows.clear();
    for (int slot = 0; slot < doc.namesCount; ++slot) {
        const NameRecord& person = doc.names[slot];
        if (!person.name[0] || !person.entries) continue;
        for (int position = 0; position < person.entryCount; ++position) {
            const Entry& entry = person.entries[position];
            if (entry.actionIndex == currentItem && entry.kind == ActionOpen) {
                sortedRows.add(person.name, slot);
                break;
            }
        }
    }
    fillBegin(pane, sortedRows.count(), sortedRows.count() * 16);
    sortedRows.fill(pane->hwnd);
    fillEnd(pane);
    selectRowNear(pane, 0);
    statusBar->setStatusText(0, "Action item not complete");
    showPendingCount();
}

void MainWindow::readSelection() {
    switch (viewMode) {
    case NamesView:
        savedNamesRow = static_cast<int>(SendMessageA(parts.namesPane->hwnd, LB_GETCURSEL, 0, 0));
        if (savedNamesRow != -1)
            currentItem = static_cast<int>(SendMessageA(parts.namesPane->hwnd, LB_GETITEMDATA, savedNamesRow, 0));
        break;
    case PendingView:
        currentItem = pendingRow();
        if (currentItem != -1)
            currentItem = static_cast<int>(SendMessageA(parts.pendingPane->hwnd, LB_GETITEMDATA, currentItem, 0));
        break;
    default:
        savedActionsRow = static_cast<int>(SendMessageA(parts.actionsPane->hwnd, LB_GETCURSEL, 0, 0));
        if (savedActionsRow != -1)
            currentItem =
                static_cast<int>(SendMessageA(parts.actionsPane->hwnd, LB_GETITEMDATA, savedActionsRow, 0));
        break;
    }
}

void MainWindow::goBack() {
    readSelection();
    if (viewMode == ActionsView || viewMode == EntriesView) showNames();
    else if (viewMode == PendingView) showActionItems();
    statusBar->setStatusText(0, "");
}
