// A data file that other people change too: reading it with its base, Save
// that merges what someone else wrote meanwhile, and the look at the file
// whenever the program becomes active again.
#include <cstring>
#include <string>

#include "storage/sharing/win32/Backups.h"
#include "storage/format/DataFile.h"
#include "document/Document.h"
#include "storage/file/FileName.h"
#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "storage/format/QuietView.h"
#include "storage/format/SectionFile.h"
#include "storage/sharing/SharedSave.h"
#include "app/StatusBar.h"
#include "document/Heap.h"

namespace {

// The report's lines as the message window shows them: '\n' between lines.
std::string boxLines(std::string text)
{
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

}  // namespace

int MainWindow::readDocumentFile(const char* path) {
    // The bytes are read once and kept: they are what this program loaded,
    // the base a later save compares the file on disk with.
    FileStamp stamp = FileStamp::of(path);
    int32_t length = 0;
    char* block = SectionFile::readWhole(path, &length);
    if (!block) return 0;
    if (!loadDataBytes(*parts.document, *this, block, size_t(length))) {
        releaseBlock(block);
        sharedFile.forget();
        return 0;
    }
    sharedFile.adopt(block, length, stamp);
    addRecentFile(path);
    return 1;
}

int MainWindow::saveShared() {
    SharedSave save;
    // The version the save replaces (theirs, when it merges) is kept while
    // the save lock is held, so it is the very file that is replaced.
    // A backup that can't be made is said once a session in the status bar; the save goes on.
    save.beforeReplace = [this](const char* path, const char* data, size_t size) {
        std::string problem;
        if (keepBackup(path, backupsFolder().c_str(), data, size, &problem) || backupFailureSaid) return;
        backupFailureSaid = true;
        std::string text = std::string("No backup of ") + fileNamePart(path) + " could be kept: " + problem;
        statusBar->setStatusText(0, text.c_str());
    };
    // A save that waits for another (up to about five seconds) keeps the
    // window painted and says why; only WM_PAINT is taken from the queue,
    // so no key or click starts a new command meanwhile.
    bool waited = false;
    save.whileWaiting = [this, &waited] {
        if (!waited) {
            waited = true;
            statusBar->setStatusText(0, "Waiting for the other save to finish...");
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    };
    Document merged;
    MergeReport report;
    const char* name = fileNamePart(currentPath);
    std::string text;
    SharedSave::Result result = save.save(*parts.document, *this, currentPath, sharedFile, merged, report);
    if (waited) {
        statusBar->setStatusText(0, currentPath);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }
    switch (result) {
    case SharedSave::Saved:
        return 1;
    case SharedSave::Merged:
        adoptDocument(merged);
        text = std::string(name) + " was changed by someone else while you had it open.\n" +
               "Their changes and yours were merged and saved.\n\n" + boxLines(report.text());
        parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_OK | MB_ICONASTERISK, 0, RGB(0, 0, 0),
                                       RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
        return 1;
    case SharedSave::TheirsUnreadable:
        text = std::string(name) + " was changed by someone else, and the file can't be read as a\n" +
               "Tallyvane data file now" + (save.problem.empty() ? "" : " (" + save.problem + ")") + ".\n" +
               "Nothing was saved; your changes are still here.\n\nSave them under another name?";
        if (parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_YESNO | MB_ICONEXCLAMATION, 0,
                                           RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80)) == IDYES)
            saveDocumentAs();
        return 0;
    case SharedSave::Busy:
        text = std::string(name) + " is being saved by someone else at this moment.\n" +
               "Nothing was saved; your changes are still here. Try again in a moment.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case SharedSave::Unreadable:
        text = std::string(name) + " can't be read at this moment (" + save.problem + "):\n" +
               "another program may be using it. Nothing was saved; your changes are still here.\n" +
               "Save again in a moment, or use Save as.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case SharedSave::NoLock:
        text = std::string(name) + " can't be saved safely: its save lock can't be made (" + save.problem + ").\n" +
               "Nothing was saved; your changes are still here. Use Save as to keep them elsewhere.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case SharedSave::ReadOnlyFolder:
        text = "The folder of " + std::string(name) + " is read-only: nothing can be saved there.\n" +
               "Your changes are still here. Use Save as to keep them elsewhere.";
        showError(text.c_str(), "Tallyvane");
        return 0;
    case SharedSave::Failed:
        break;
    }
    return 0;
}

void MainWindow::adoptDocument(Document& replacement) {
    Document& doc = *parts.document;
    // What the view shows is found again by its text: slots differ between documents.
    std::string person, action;
    if (viewMode == EntriesView || viewMode == NamesView) {
        int row = selectedRow(parts.namesPane);
        NameRecord* record = doc.nameAt(viewMode == EntriesView ? currentItem
                                        : row >= 0 ? static_cast<int>(SendMessageA(parts.namesPane->hwnd, LB_GETITEMDATA, row, 0))
                                                   : -1);
        if (record) person = record->name;
    }
    if (viewMode == PendingView || viewMode == ActionsView) {
        int row = selectedRow(parts.actionsPane);
        int slot = viewMode == PendingView ? currentItem
                 : row >= 0 ? static_cast<int>(SendMessageA(parts.actionsPane->hwnd, LB_GETITEMDATA, row, 0)) : -1;
        action = doc.actionText(slot);
    }
    // The selected row of a person's page or of the Pending view, by its
    // text and its place; a row gone leaves the nearest one selected.
    const int namesRow = selectedRow(parts.namesPane), actionsRow = selectedRow(parts.actionsPane);
    const int innerRow = viewMode == EntriesView || viewMode == PendingView ? selectedRow(currentPane) : -1;
    const std::string innerText = rowText(currentPane, innerRow);
    doc.swap(replacement);
    // The undo history's steps belong to the document that went.
    history.clear();

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
    ViewMode shown = viewMode;
    savedNamesRow = namesRow;
    savedActionsRow = actionsRow;
    showNames();
    if (!person.empty()) savedNamesRow = selectRowNear(parts.namesPane, rowOfText(parts.namesPane, person, namesRow));
    if (shown == NamesView) return;
    showActionItems();
    if (!action.empty())
        savedActionsRow = selectRowNear(parts.actionsPane, rowOfText(parts.actionsPane, action, actionsRow));
    if (shown == EntriesView && nameSlot(person) >= 0) {
        currentItem = nameSlot(person);
        showEntries();
        selectRowNear(parts.entriesPane, rowOfText(parts.entriesPane, innerText, innerRow));
    } else if (shown == PendingView && actionSlot(action) >= 0) {
        currentItem = actionSlot(action);
        showPending();
        selectRowNear(parts.pendingPane, rowOfText(parts.pendingPane, innerText, innerRow));
    } else if (shown == EntriesView) {
        showNames();
    }
}

void MainWindow::OnActivateApp(WPARAM active) {
    // Conflict copies are looked for once the activation is through.
    if (active && currentPath[0]) PostMessageA(hwnd, kOfferConflictsMessage, 0, 0);
    // Not while a box of this program is up (the window is disabled then):
    // the document must not change under it.
    if (!active || !currentPath[0] || !sharedFile.hasBase() || !IsWindowEnabled(hwnd)) return;
    char* theirs = nullptr;
    int32_t length = 0;
    // The stamp is the one taken before the bytes were read: a change that
    // lands in between leaves the file newer than the base, for the next look.
    FileStamp stamp;
    if (sharedFile.compare(currentPath, true, &theirs, &length, &stamp) != SharedFile::Changed) return;
    if (parts.document->modified && stamp == noticedStamp) {
        // Already said for this version of the file.
        releaseBlock(theirs);
        return;
    }
    noticedStamp = stamp;
    char when[12];
    stamp.writeClockText(when);
    std::string name = fileNamePart(currentPath);
    if (parts.document->modified) {
        releaseBlock(theirs);
        std::string text = name + " was changed at " + when + ": your changes will be merged with it when you save";
        statusBar->setStatusText(0, text.c_str());
        return;
    }
    Document reloaded;
    QuietView quiet;
    if (!loadDataBytes(reloaded, quiet, theirs, size_t(length)) || quiet.damaged) {
        // Half synced or damaged: the window keeps what it has; Save will say more.
        releaseBlock(theirs);
        std::string text = name + " was changed at " + std::string(when) + " and can't be read now";
        statusBar->setStatusText(0, text.c_str());
        return;
    }
    sharedFile.adopt(theirs, length, stamp);
    reloaded.modified = 0;
    adoptDocument(reloaded);
    std::string text = "Reloaded: " + name + " was changed at " + when;
    statusBar->setStatusText(0, text.c_str());
}
