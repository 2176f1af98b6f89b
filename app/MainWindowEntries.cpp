// Ticks in the entries pane and their completion dates.
#include <cstring>

#include "app/grid/CompletionDate.h"
#include "document/Document.h"
#include "document/EntryKind.h"
#include "document/EntryRows.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"

// Runs after a click toggled row's item data in the entries pane.
void MainWindow::recordEntryState(int row) {
    Document& doc = *parts.document;
    NameRecord* person = doc.nameAt(currentItem);
    if (!person) return;
    int position = EntryRows::positionOfRow(*person, row);
    if (position < 0) return;
    LRESULT kind = SendMessageA(parts.entriesPane->hwnd, LB_GETITEMDATA, row, 0);
    if (kind == LB_ERR) return;
    history.setEntryStates(doc, {tickedState(person->entries[position], currentItem, position,
                                             static_cast<int32_t>(kind))});
    AccessibleObject::notify(EVENT_OBJECT_STATECHANGE, parts.entriesPane->hwnd, row + 1);
    // The status bar describes the row as it is now (a click selects it
    // without LBN_SELCHANGE).
    showEntryDate();
}

UndoHistory::EntryState MainWindow::tickedState(const Entry& entry, int nameSlot, int position, int32_t kind) {
    UndoHistory::EntryState state = {nameSlot, position, kind, {}};
    lstrcpynA(state.date, entry.date, sizeof state.date);
    if (!state.date[0] && kind != ActionOpen) {
        SYSTEMTIME now;
        CompletionDate::readLocalTime(&now);
        CompletionDate::formatStamp(now, state.date);
    }
    return state;
}

// Runs at every selection change of the entries pane, and after the
// commands that change the selected row or its date without one.
void MainWindow::showEntryDate() {
    HWND pane = parts.entriesPane->hwnd;
    int row = static_cast<int>(SendMessageA(pane, LB_GETCURSEL, 0, 0));
    char text[32] = "";
    if (row == -1) {
        // No row: no date to describe.
        statusBar->setStatusText(0, text);
        return;
    }
    currentRow = row;
    LRESULT kind = SendMessageA(pane, LB_GETITEMDATA, row, 0);
    NameRecord* person = parts.document->nameAt(currentItem);
    if (person && (kind == ActionOpen || kind == ActionDone || kind == CheckboxOpen || kind == CheckboxDone)) {
        int position = EntryRows::positionOfRow(*person, row);
        if (position >= 0) {
            currentEntry = position;
            // An unticked row keeps its date for the next tick, but is not done.
            const char* date = person->entries[position].date;
            if (date[0] && (kind == ActionDone || kind == CheckboxDone)) {
                std::strcpy(text, "Done on ");
                lstrcpynA(text + 8, date, sizeof text - 8);
            }
        }
    }
    statusBar->setStatusText(0, text);
}
