// Start-up of the main window, the title bar and what loading a data file
// does to the windows.
#include <cstring>

#include "storage/format/LoadReport.h"
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
    listBrush.reset(CreateSolidBrush(Navy));
    makePanesAccessible();
}

// The entries pane's rows are as high as the display font's lines plus 4 (at 96 DPI).
int MainWindow::entryRowHeight() const {
    TEXTMETRICA tm = font.metrics();
    return tm.tmHeight + tm.tmExternalLeading + dpi(4);
}

int MainWindow::loadDocument(const char* path, bool forEditing) {
    // The Names list paints again once it holds the file's names (what
    // could be read of them when the load failed), before any message.
    ListBoxControl* pane = parts.namesPane;
    fillBegin(pane, 0, 0);
    SendMessageA(pane->hwnd, LB_RESETCONTENT, 0, 0);
    LoadReport report = session.open(path, forEditing);
    if (report.replaced()) {
        int rows = parts.document->liveNames;
        if (rows > 0) SendMessageA(pane->hwnd, LB_INITSTORAGE, rows, rows * 16);
        fillNameRows();
    }
    if (report.loaded()) setViewTitle("Names");
    fillEnd(pane);
    for (const LoadReport::Message& message : report.messages())
        showError(message.text.c_str(), message.caption.c_str());
    if (!report.loaded()) return 0;
    recentFiles.addToTop(path);
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
    // At most 259 characters of the name, ending at a whole one.
    size_t length = std::strlen(name);
    length = AnsiText::programIsUtf8() ? Utf8::bytesOfCharacters(name, length, 259)
                                       : AnsiText::cutPoint(name, length, 259);
    std::string title = std::string(name, length) + " - Tallyvane";
    SetWindowTextA(hwnd, title.c_str());
}

int MainWindow::showError(const char* text, const char* caption) {
    return parts.messageWindow->showModal(hwnd, text, caption, MB_OK | MB_ICONEXCLAMATION, 0, RGB(0, 0, 0),
                                          RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
}

void MainWindow::setViewTitle(const char* title) { parts.viewBar->setTitle(title); }

void MainWindow::reportError(const char* caption, const char* text) { showError(text, caption); }

void MainWindow::setReadOnly(bool on) {
    session.setReadOnly(on);
    if (on) enterReadOnly();
    else leaveReadOnly();
}

void MainWindow::enterReadOnly() {
    readOnlyMode = 1;
    parts.inputDialog->readOnly = 1;
    parts.entriesPane->readOnly = 1;
    statusBar->setStatusText(1, "Read only");
}

