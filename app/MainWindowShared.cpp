// The open file as others change it too: what a save did (merged, refused,
// waited for), the view kept in place when the document is replaced, and
// the look at the file whenever the program becomes active again.
#include <cstring>
#include <string>

#include "app/grid/CompletionDate.h"
#include "document/Document.h"
#include "storage/win32/FileDialog.h"
#include "storage/file/FileName.h"
#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "app/StatusBar.h"

namespace {

// The report's lines as the message window shows them: '\n' between lines.
std::string boxLines(std::string text)
{
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

}  // namespace

std::string MainWindow::ProgramEnvironment::nowText() {
    SYSTEMTIME now;
    CompletionDate::readLocalTime(&now);
    char text[32];
    CompletionDate::formatStamp(now, text);
    return text;
}

int MainWindow::showSave(DocumentSession::Save outcome, const MergeReport& report, const std::string& as) {
    const char* name = fileNamePart(as.empty() ? session.path().c_str() : as.c_str());
    std::string text;
    // A backup that can't be made is said once a session in the status bar; the save went on.
    if (!session.backupProblem().empty() && !backupFailureSaid) {
        backupFailureSaid = true;
        text = std::string("No backup of ") + name + " could be kept: " + session.backupProblem();
        statusBar->setStatusText(0, text.c_str());
    }
    switch (outcome) {
    case DocumentSession::Save::Saved:
        return 1;
    case DocumentSession::Save::Merged:
        text = std::string(name) + " was changed by someone else while you had it open.\n" +
               "Their changes and yours were merged and saved.\n\n" + boxLines(report.text());
        parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_OK | MB_ICONASTERISK, 0, RGB(0, 0, 0),
                                       RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
        return 1;
    case DocumentSession::Save::TheirsUnreadable:
        text = std::string(name) + " was changed by someone else, and the file can't be read as a\n" +
               "Tallyvane data file now" + (session.problem().empty() ? "" : " (" + session.problem() + ")") +
               ".\n" + "Nothing was saved; your changes are still here.\n\nSave them under another name?";
        if (parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_YESNO | MB_ICONEXCLAMATION, 0,
                                           RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80)) == IDYES)
            saveDocumentAs();
        return 0;
    case DocumentSession::Save::Busy:
        text = std::string(name) + " is being saved by someone else at this moment.\n" +
               "Nothing was saved; your changes are still here. Try again in a moment.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case DocumentSession::Save::Unreadable:
        text = std::string(name) + " can't be read at this moment (" + session.problem() + "):\n" +
               "another program may be using it. Nothing was saved; your changes are still here.\n" +
               "Save again in a moment, or use Save as.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case DocumentSession::Save::NoLock:
        text = std::string(name) + " can't be saved safely: its save lock can't be made (" + session.problem() +
               ").\n" + "Nothing was saved; your changes are still here. Use Save as to keep them elsewhere.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case DocumentSession::Save::ReadOnlyFolder:
        text = "The folder of " + std::string(name) + " is read-only: nothing can be saved there.\n" +
               "Your changes are still here. Use Save as to keep them elsewhere.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case DocumentSession::Save::ReadOnly: {
        // Opened read-only (chosen, or damaged): its file is never written
        // over; the changes can go to a file of their own, which the
        // document then belongs to.
        text = std::string(name) + " is open read-only: nothing is saved over it.\n" +
               "Save your changes under another name?";
        if (parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_YESNO | MB_ICONEXCLAMATION, 0,
                                           RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80)) != IDYES)
            return 0;
        std::string chosen;
        FileDialog dialog(0);
        if (!dialog.run(hwnd, chosen, documentsFolder.c_str())) return 0;
        MergeReport merged;
        ViewPlace place = viewPlace();
        DocumentSession::Save again = session.saveAs(chosen.c_str(), *this, merged);
        if (again == DocumentSession::Save::Merged) showPlace(place);
        setReadOnly(session.readOnly());
        updateTitle();
        return showSave(again, merged, chosen.c_str());
    }
    case DocumentSession::Save::Failed:
        break;
    }
    return 0;
}

MainWindow::ViewPlace MainWindow::viewPlace() {
    Document& doc = *parts.document;
    ViewPlace place;
    place.mode = viewMode;
    if (viewMode == EntriesView || viewMode == NamesView) {
        int row = selectedRow(parts.namesPane);
        NameRecord* record = doc.nameAt(viewMode == EntriesView ? currentItem
                                        : row >= 0 ? static_cast<int>(SendMessageA(parts.namesPane->hwnd, LB_GETITEMDATA, row, 0))
                                                   : -1);
        if (record) place.person = record->name;
    }
    if (viewMode == PendingView || viewMode == ActionsView) {
        int row = selectedRow(parts.actionsPane);
        int slot = viewMode == PendingView ? currentItem
                 : row >= 0 ? static_cast<int>(SendMessageA(parts.actionsPane->hwnd, LB_GETITEMDATA, row, 0)) : -1;
        place.action = doc.actionText(slot);
    }
    // The selected row of a person's page or of the Pending view, by its
    // text and its place; a row gone leaves the nearest one selected.
    place.namesRow = selectedRow(parts.namesPane);
    place.actionsRow = selectedRow(parts.actionsPane);
    place.innerRow = viewMode == EntriesView || viewMode == PendingView ? selectedRow(currentPane) : -1;
    place.innerText = rowText(currentPane, place.innerRow);
    return place;
}

void MainWindow::showPlace(const ViewPlace& place) {
    Document& doc = *parts.document;
    auto nameSlot = [&doc](const std::string& text) {
        for (int32_t i = 0; i < doc.namesCount; ++i)
            if (doc.names[i].name[0] && text == doc.names[i].name) return i;
        return -1;
    };
    auto actionSlot = [&doc](const std::string& text) {
        for (int32_t i = 0; i < doc.actionCount; ++i)
            if (doc.actions[i].text[0] && text == doc.actions[i].text) return i;
        return -1;
    };
    savedNamesRow = place.namesRow;
    savedActionsRow = place.actionsRow;
    showNames();
    if (!place.person.empty())
        savedNamesRow = selectRowNear(parts.namesPane, rowOfText(parts.namesPane, place.person, place.namesRow));
    if (place.mode == NamesView) return;
    showActionItems();
    if (!place.action.empty())
        savedActionsRow =
            selectRowNear(parts.actionsPane, rowOfText(parts.actionsPane, place.action, place.actionsRow));
    if (place.mode == EntriesView && nameSlot(place.person) >= 0) {
        currentItem = nameSlot(place.person);
        showEntries();
        selectRowNear(parts.entriesPane, rowOfText(parts.entriesPane, place.innerText, place.innerRow));
    } else if (place.mode == PendingView && actionSlot(place.action) >= 0) {
        currentItem = actionSlot(place.action);
        showPending();
        selectRowNear(parts.pendingPane, rowOfText(parts.pendingPane, place.innerText, place.innerRow));
    } else if (place.mode == EntriesView) {
        showNames();
    }
}

void MainWindow::OnActivateApp(WPARAM active) {
    // Conflict copies are looked for once the activation is through.
    if (active && !session.untitled()) PostMessageA(hwnd, kOfferConflictsMessage, 0, 0);
    // Not while a box of this program is up (the window is disabled then):
    // the document must not change under it.
    if (!active || session.untitled() || !session.base().hasBase() || !IsWindowEnabled(hwnd)) return;
    ViewPlace place = viewPlace();
    DocumentSession::Disk disk = session.checkDisk(true);
    if (disk == DocumentSession::Disk::Same) return;
    char when[12];
    session.noticed().writeClockText(when);
    std::string name = fileNamePart(session.path().c_str());
    std::string text;
    switch (disk) {
    case DocumentSession::Disk::WillMerge:
        text = name + " was changed at " + when + ": your changes will be merged with it when you save";
        break;
    case DocumentSession::Disk::Unreadable:
        // Half synced or damaged: the window keeps what it has; Save will say more.
        text = name + " was changed at " + std::string(when) + " and can't be read now";
        break;
    case DocumentSession::Disk::Reloaded:
        showPlace(place);
        // What came in, so that a person whose saved delete someone else's
        // change undid learns it. The em dash is UTF-8: the program runs in
        // the UTF-8 code page, and the status bar draws its ANSI text so.
        text = "Reloaded: " + name + " was changed at " + when;
        if (!session.reloadSummary().empty()) text += " \xE2\x80\x94 " + session.reloadSummary();
        break;
    case DocumentSession::Disk::Same:
        break;
    }
    statusBar->setStatusText(0, text.c_str());
}
