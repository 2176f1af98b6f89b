// New and Exit, and emptying the window before another document.
#include "framework/AboutWindow.h"
#include "document/Document.h"
#include "framework/ListBoxControl.h"
#include "app/MainWindow.h"
#include "resource.h"

int MainWindow::closeDocument() {
    if (!queryClose()) return 0;
    // The changes were saved or dropped: the presence and recovery files go.
    session.close();
    SendMessageA(parts.namesPane->hwnd, LB_RESETCONTENT, 0, 0);
    switchView(NamesView);
    savedActionsRow = -1;
    savedNamesRow = -1;
    leaveReadOnly();
    return 1;
}

int MainWindow::newDocument() {
    if (!closeDocument()) return 0;
    return startEmptyDocument();
}

void MainWindow::exitProgram() {
    // Destroying the window writes the settings and ends the message loop.
    if (queryClose()) DestroyWindowObject();
}

void MainWindow::showAbout() {
    parts.aboutWindow->showModal(hwnd, AboutWindow::aboutText, AboutWindow::webAddress, 0, IDI_APP, RGB(0, 0, 0),
                                 RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
}
