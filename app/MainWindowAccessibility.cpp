// What a screen reader learns of the four panes: each row with its text,
// its role (a check box on a person's page for a tick), whether it is ticked
// and since when, and the row's default action, which runs as its key does.
#include <string>

#include "document/Document.h"
#include "app/grid/EntryGrid.h"
#include "document/EntryKind.h"
#include "document/EntryRows.h"
#include "app/MainWindow.h"

namespace {

std::wstring wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], length);
    out.resize(static_cast<size_t>(length - 1));
    return out;
}

}  // namespace

void MainWindow::makePanesAccessible() {
    ListBoxControl* panes[] = {parts.namesPane, parts.actionsPane, parts.entriesPane, parts.pendingPane};
    for (ListBoxControl* pane : panes) pane->makeAccessible(this);
    // An empty list says how to fill it.
    parts.namesPane->emptyText = "No names yet. Press F5 to add one, or File > Import names...";
    parts.actionsPane->emptyText = "No action items yet. Press F6 to add one.";
}

std::wstring MainWindow::listName(HWND list) {
    if (list == parts.namesPane->hwnd) return L"Names";
    if (list == parts.actionsPane->hwnd) return L"Action items";
    if (list == parts.entriesPane->hwnd) return wide(entriesTitle);
    if (list == parts.pendingPane->hwnd) return wide(pendingTitle) + L" \x2014 not done";
    return std::wstring();
}

AccessibleRow MainWindow::describeRow(HWND list, int row) {
    AccessibleRow facts;
    if (list != parts.entriesPane->hwnd) {
        facts.action = "Open";
        return facts;
    }
    LRESULT kind = SendMessageA(list, LB_GETITEMDATA, row, 0);
    if (kind == LB_ERR || !GridPainter::hasCheckbox(kind)) return facts;  // a memo
    facts.role = ROLE_SYSTEM_CHECKBUTTON;
    facts.checked = GridPainter::isTicked(kind) ? 1 : 0;
    facts.action = facts.checked ? "Uncheck" : "Check";
    // currentItem names the person only while the page is shown.
    NameRecord* person = viewMode == EntriesView ? parts.document->nameAt(currentItem) : nullptr;
    int position = person ? EntryRows::positionOfRow(*person, row) : -1;
    if (facts.checked && position >= 0 && person->entries[position].date[0])
        facts.description = std::string("done ") + person->entries[position].date;
    return facts;
}

void MainWindow::doDefaultAction(HWND list, int row) {
    ControlBase* pane = ControlBase::fromWindow(list);
    if (pane) PostMessageA(hwnd, AccessibleActionMessage, static_cast<WPARAM>(pane->id), row);
}

void MainWindow::runAccessibleAction(int paneId, int row) {
    // Only the pane shown acts, and not while a box of this program is up.
    if (!currentPane || currentPane->id != paneId || !IsWindowEnabled(hwnd)) return;
    if (selectRowNear(currentPane, row) != row) return;
    if (viewMode == EntriesView) {
        parts.entriesPane->toggleSelected();
        showEntryDate();
    } else {
        handlePaneNotification(paneId, LBN_DBLCLK);
    }
}
