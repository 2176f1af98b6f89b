// The editing commands of the Edit menu and the context menus: each reads
// the current view's selection, asks through the input prompt or the warning
// window, changes the document through the undo history (which marks it
// modified) and keeps the visible list in step. A command outside its views
// does nothing.
#include <cstring>

#include "app/DeleteConfirmation.h"
#include "document/Document.h"
#include "app/grid/EntryGrid.h"
#include "document/EntryKind.h"
#include "document/EntryRows.h"
#include "framework/InputDialog.h"
#include "app/MainWindow.h"
#include "app/StatusBar.h"
#include "framework/WarningWindow.h"

namespace {

const char OutOfMemory[] = "Out of memory";
const char Caption[] = "Tallyvane";

LRESULT send(ListBoxControl* pane, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(pane->hwnd, message, wParam, lParam);
}

bool refused(LRESULT row) { return row == LB_ERR || row == LB_ERRSPACE; }

// A text read from a file can be longer than the prompt holds: OK on its
// unchanged start leaves the whole text as it was.
bool unchangedStart(const char* original, const char* answer) {
    size_t shown = std::strlen(answer);
    return shown == size_t(InputDialog::maxTextLength) && std::strlen(original) > shown &&
           std::strncmp(original, answer, shown) == 0;
}

}  // namespace

int MainWindow::askText(const char* caption, const char* prompt, const char* initialText) {
    InputDialog& input = *parts.inputDialog;
    input.setup(caption, prompt, initialText);
    INT_PTR answer = input.run(hwnd);
    return answer != 0 && answer != -1;
}

int MainWindow::selectedRow(ListBoxControl* pane) const {
    if (pane == parts.pendingPane) return pendingRow();
    return static_cast<int>(send(pane, LB_GETCURSEL));
}

Entry* MainWindow::selectedOwnEntry() {
    currentRow = selectedRow(parts.entriesPane);
    if (currentRow == -1) return nullptr;
    LRESULT kind = send(parts.entriesPane, LB_GETITEMDATA, currentRow);
    if (!hasOwnText(static_cast<int32_t>(kind))) return nullptr;
    NameRecord* person = parts.document->nameAt(currentItem);
    int position = person ? EntryRows::positionOfRow(*person, currentRow) : -1;
    if (position < 0) return nullptr;
    currentEntry = position;
    return &person->entries[position];
}

void MainWindow::addName() {
    if (viewMode != NamesView) return;
    if (!askText("Add", "New name to add:", "") || !parts.inputDialog->text[0]) return;
    const char* answer = parts.inputDialog->text;
    int slot = history.addName(*parts.document, answer);
    if (slot == -1) {
        showError(OutOfMemory, Caption);
        return;
    }
    LRESULT row = send(parts.namesPane, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(answer));
    if (refused(row)) return;
    send(parts.namesPane, LB_SETITEMDATA, row, slot);
    // The new name is selected and scrolled into view.
    send(parts.namesPane, LB_SETCURSEL, row);
    savedNamesRow = static_cast<int>(row);
}

void MainWindow::addAction() {
    if (viewMode != ActionsView) return;
    if (!askText("Add", "New action to add:", "") || !parts.inputDialog->text[0]) return;
    Document& doc = *parts.document;
    if (!history.addAction(doc, parts.inputDialog->text)) {
        showError(OutOfMemory, Caption);
        return;
    }
    showActionItems();
}

void MainWindow::addMemo() {
    if (viewMode != EntriesView) return;
    if (!askText("Add", "Enter text:", "") || !parts.inputDialog->text[0]) return;
    if (!history.addOwnEntry(*parts.document, currentItem, EntryMemo, parts.inputDialog->text)) {
        showError(OutOfMemory, Caption);
        return;
    }
    showEntries();
    showEntryDate();
}

void MainWindow::addCheckbox() {
    if (viewMode != EntriesView) return;
    if (!askText("Add", "Enter checkbox text:", "") || !parts.inputDialog->text[0]) return;
    if (!history.addOwnEntry(*parts.document, currentItem, CheckboxOpen, parts.inputDialog->text)) {
        showError(OutOfMemory, Caption);
        return;
    }
    showEntries();
    showEntryDate();
}

void MainWindow::editSelected() {
    Document& doc = *parts.document;
    const char* answer = parts.inputDialog->text;
    switch (viewMode) {
    case NamesView: {
        ListBoxControl* pane = parts.namesPane;
        savedNamesRow = selectedRow(pane);
        if (savedNamesRow == -1) return;
        currentItem = static_cast<int>(send(pane, LB_GETITEMDATA, savedNamesRow));
        NameRecord* person = doc.nameAt(currentItem);
        if (!person) return;
        if (!askText("Edit", "Edit name:", person->name) || !answer[0]) return;
        if (unchangedStart(person->name, answer)) return;
        history.editName(doc, currentItem, answer);
        // The list sorts the new text into place; the selection stays where
        // the old row was.
        send(pane, LB_DELETESTRING, savedNamesRow);
        LRESULT row = send(pane, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(person->name));
        if (refused(row)) return;
        send(pane, LB_SETITEMDATA, row, currentItem);
        send(pane, LB_SETCURSEL, savedNamesRow);
        return;
    }
    case ActionsView: {
        ListBoxControl* pane = parts.actionsPane;
        savedActionsRow = selectedRow(pane);
        if (savedActionsRow == -1) return;
        currentItem = static_cast<int>(send(pane, LB_GETITEMDATA, savedActionsRow));
        if (currentItem < 0 || currentItem >= doc.actionCount) return;
        char* slot = doc.actions[currentItem].text;
        if (!askText("Edit", "Edit action item:", slot) || !answer[0]) return;
        if (unchangedStart(slot, answer)) return;
        // Every person's entry refers to the slot and shows the new text.
        history.editAction(doc, currentItem, answer);
        send(pane, LB_DELETESTRING, savedActionsRow);
        LRESULT row = send(pane, LB_INSERTSTRING, savedActionsRow, reinterpret_cast<LPARAM>(slot));
        if (refused(row)) return;
        send(pane, LB_SETITEMDATA, row, currentItem);
        send(pane, LB_SETCURSEL, row);
        return;
    }
    case EntriesView: {
        Entry* entry = selectedOwnEntry();
        if (!entry) return;
        const char* original = entry->text ? entry->text : "";
        if (!askText("Edit", "Edit memo", original) || unchangedStart(original, answer)) return;
        if (!history.editEntry(doc, currentItem, currentEntry, answer)) {
            showError(OutOfMemory, Caption);
            return;
        }
        showEntries();
        showEntryDate();
        return;
    }
    default:
        return;
    }
}

void MainWindow::deleteSelected() {
    Document& doc = *parts.document;
    ListBoxControl* pane;
    const char* itemText;
    switch (viewMode) {
    case NamesView:
    case ActionsView: {
        pane = viewMode == NamesView ? parts.namesPane : parts.actionsPane;
        currentRow = selectedRow(pane);
        if (currentRow == -1) return;
        currentItem = static_cast<int>(send(pane, LB_GETITEMDATA, currentRow));
        if (viewMode == NamesView) {
            NameRecord* person = doc.nameAt(currentItem);
            if (!person) return;
            itemText = person->name;
        } else {
            itemText = doc.actionText(currentItem);
        }
        break;
    }
    case EntriesView: {
        pane = parts.entriesPane;
        Entry* entry = selectedOwnEntry();
        if (!entry) {
            // An action's checkbox is not deleted here; part 0 still
            // describes the selected row after a menu emptied it.
            showEntryDate();
            return;
        }
        itemText = entry->text ? entry->text : "";
        break;
    }
    default:
        return;
    }

    char question[DeleteConfirmation::BufferSize];
    DeleteConfirmation::compose(itemText, question);
    if (!parts.warningWindow->confirm(hwnd, question, "Delete", RGB(0xFF, 0xFF, 0))) {
        // The row stays selected; a context menu closing emptied part 0.
        if (viewMode == EntriesView) showEntryDate();
        return;
    }

    if (viewMode == NamesView) history.deleteName(doc, currentItem);
    else if (viewMode == ActionsView) history.deleteAction(doc, currentItem);
    else history.deleteEntry(doc, currentItem, currentEntry);
    send(pane, LB_DELETESTRING, currentRow);
    if (viewMode == EntriesView) showEntryDate();
}

void MainWindow::removeDate() {
    if (viewMode != EntriesView) return;
    currentRow = selectedRow(parts.entriesPane);
    NameRecord* person = parts.document->nameAt(currentItem);
    if (currentRow != -1 && person &&
        isActionKind(static_cast<int32_t>(send(parts.entriesPane, LB_GETITEMDATA, currentRow)))) {
        int position = EntryRows::positionOfRow(*person, currentRow);
        if (position >= 0) {
            currentEntry = position;
            // Dates are not part of the row text: the list stays as it is.
            UndoHistory::EntryState undated = {currentItem, position, person->entries[position].kind, ""};
            history.setEntryStates(*parts.document, {undated});
        }
    }
    // Part 0 follows the selected row, also where nothing was removed after
    // a context menu emptied it.
    showEntryDate();
}

void MainWindow::leaveReadOnly() {
    readOnlyMode = 0;
    parts.inputDialog->readOnly = 0;
    parts.entriesPane->readOnly = 0;
    statusBar->setStatusText(1, "");
}
