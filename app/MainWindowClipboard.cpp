// Copy to clipboard: the stored text of the selected row of the visible
// pane, without its checkbox state or date; in the Pending view every name.
#include "app/Clipboard.h"
#include "document/Document.h"
#include "app/grid/EntryGrid.h"
#include "document/EntryKind.h"
#include "app/MainWindow.h"

void MainWindow::copySelection() {
    Document& doc = *parts.document;
    ListBoxControl* pane;
    switch (viewMode) {
    case NamesView: pane = parts.namesPane; break;
    case ActionsView: pane = parts.actionsPane; break;
    case EntriesView: pane = parts.entriesPane; break;
    case PendingView: copyPendingNames(); return;
    default: return;
    }
    currentRow = selectedRow(pane);
    if (currentRow == -1) return;
    LRESULT data = SendMessageA(pane->hwnd, LB_GETITEMDATA, currentRow, 0);

    const char* text = nullptr;
    char rowText[148];
    if (viewMode == NamesView) {
        currentItem = static_cast<int>(data);
        NameRecord* person = doc.nameAt(currentItem);
        if (person) text = person->name;
    } else if (viewMode == ActionsView) {
        currentItem = static_cast<int>(data);
        text = doc.actionText(currentItem);
    } else if (isActionKind(static_cast<int32_t>(data))) {
        // An action row holds the action's text, at most 127 characters.
        LRESULT length = SendMessageA(pane->hwnd, LB_GETTEXTLEN, currentRow, 0);
        if (length == LB_ERR || length >= static_cast<LRESULT>(sizeof rowText)) return;
        SendMessageA(pane->hwnd, LB_GETTEXT, currentRow, reinterpret_cast<LPARAM>(rowText));
        text = rowText;
    } else {
        Entry* entry = selectedOwnEntry();
        if (entry) text = entry->text ? entry->text : "";
    }
    if (!text) return;
    // Nothing is reported: a clipboard held elsewhere keeps its contents.
    Clipboard::putText(hwnd, text);
}
