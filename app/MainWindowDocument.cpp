// Start-up of the main window, the title bar and what loading a data file
// does to the windows (the DocumentView calls).
#include <cstring>

#include "storage/format/DataFile.h"
#include "document/Document.h"
#include "storage/sharing/DocumentFile.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"
#include "framework/InputDialog.h"
#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "app/StatusBar.h"
#include "framework/ViewBar.h"
#include "storage/file/AnsiText.h"
#include "resource.h"

namespace {

// Creates a pane as the frame created the first one, keeping its styles.
void createPane(ListBoxControl* pane, HWND parent) {
    pane->create(parent, 0, "", CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
}

}  // namespace

void MainWindow::finishWindow() {
    createPane(parts.actionsPane, hwnd);
    createPane(parts.entriesPane, hwnd);
    createPane(parts.pendingPane, hwnd);

    if (font.scaled()) {
        font.applyTo(parts.actionsPane->hwnd);
        font.applyTo(parts.entriesPane->hwnd);
        font.applyTo(parts.pendingPane->hwnd);
    }
    setIcons();
    parts.entriesPane->dpi = dpi;
    parts.entriesPane->setRowHeight(entryRowHeight());
    parts.entriesPane->colours.action = White;
    parts.entriesPane->colours.background = Navy;

    HINSTANCE instance = framework::instance();
    namesMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_NAMES_MENU));
    actionsMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_ACTIONS_MENU));
    entriesMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_ENTRIES_MENU));
    pendingMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_PENDING_MENU));
    listBrush = CreateSolidBrush(Navy);
    makePanesAccessible();
}

// The entries pane's rows are as high as the display font's lines plus 4 (at 96 DPI).
int MainWindow::entryRowHeight() const {
    TEXTMETRICA tm = font.metrics();
    return tm.tmHeight + tm.tmExternalLeading + dpi(4);
}

int MainWindow::loadDocument(const char* path, bool forEditing) {
    // The reader fills the Names list row by row: no painting until it is
    // done, or until it shows a message (reportError).
    fillBegin(parts.namesPane, 0, 0);
    fillingNames = 1;
    int loaded = session.open(path, *this, forEditing);
    flushNameRows();
    if (fillingNames) fillEnd(parts.namesPane);
    fillingNames = 0;
    if (!loaded) return 0;
    setReadOnly(session.readOnly());
    writeSettingsOnExit = 1;
    updateTitle();
    statusBar->setStatusText(0, session.path().c_str());
    return 1;
}

int MainWindow::startEmptyDocument() {
    SendMessageA(parts.namesPane->hwnd, LB_RESETCONTENT, 0, 0);
    switchView(NamesView);
    savedNamesRow = -1;
    savedActionsRow = -1;
    writeSettingsOnExit = 1;
    if (!session.startUntitled()) return 0;
    setReadOnly(false);
    setViewTitle("");
    updateTitle();
    return 1;
}

void MainWindow::updateTitle() {
    const char* name = "Untitled";
    const char* path = session.path().c_str();
    if (path[0]) {
        name = path;
        // The text after the last separator; one in the very first place stays.
        // CharNextA: the second byte of a double-byte character can be a backslash.
        for (const char* p = CharNextA(path); *p; p = CharNextA(p))
            if (*p == '\\' || *p == ':' || *p == '/') name = p + 1;
    }
    // A name cut to fit ends at a whole character.
    char title[260 + 16];
    size_t length = AnsiText::cutPoint(name, std::strlen(name), 259);
    std::memcpy(title, name, length);
    title[length] = '\0';
    std::strcat(title, " - Tallyvane");
    SetWindowTextA(hwnd, title);
}

int MainWindow::showError(const char* text, const char* caption) {
    return parts.messageWindow->showModal(hwnd, text, caption, MB_OK | MB_ICONEXCLAMATION, 0, RGB(0, 0, 0),
                                          RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
}

void MainWindow::clearNames() {
    SendMessageA(parts.namesPane->hwnd, LB_RESETCONTENT, 0, 0);
    sortedRows.clear();
    reserveNameRows = 1;
}

// The reader's rows are gathered and go into the list together, before the
// reader's next call that the user could see (title, message) and at the end
// of the load.
void MainWindow::addNameRow(const char* text, int slot) { sortedRows.add(text, slot); }

void MainWindow::flushNameRows() {
    if (!sortedRows.count()) return;
    // By now the reader has sized the name table for the file.
    if (reserveNameRows) {
        int rows = parts.document->nameTable.capacity;
        SendMessageA(parts.namesPane->hwnd, LB_INITSTORAGE, rows, rows * 16);
        reserveNameRows = 0;
    }
    sortedRows.fill(parts.namesPane->hwnd);
}

void MainWindow::setViewTitle(const char* title) {
    flushNameRows();
    parts.viewBar->setTitle(title);
}

void MainWindow::reportError(const char* caption, const char* text) {
    flushNameRows();
    // The reader adds no rows after a message: the Names list paints again
    // now, so the window behind the box shows what was read.
    if (fillingNames) {
        fillEnd(parts.namesPane);
        fillingNames = 0;
    }
    showError(text, caption);
}

void MainWindow::setReadOnly(bool on) {
    session.setReadOnly(on);
    if (on) enterReadOnly();
    else leaveReadOnly();
}

// The views' half of read-only mode; the reader calls it for a damaged file.
void MainWindow::enterReadOnly() {
    readOnlyMode = 1;
    parts.inputDialog->readOnly = 1;
    parts.entriesPane->readOnly = 1;
    statusBar->setStatusText(1, "Read only");
}

void MainWindow::clearReadOnlyPrompt() { parts.inputDialog->readOnly = 0; }
