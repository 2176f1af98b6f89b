// Exit and About: the File and Help commands that need no file.
#include "AboutWindow.h"
#include "MainWindow.h"
#include "resource.h"

void MainWindow::exitProgram() {
    // Destroying the window writes the settings and ends the message loop.
    if (queryClose()) DestroyWindowObject();
}

void MainWindow::showAbout() {
    parts.aboutWindow->showModal(hwnd, AboutWindow::aboutText, AboutWindow::webAddress, 0, IDI_APP, RGB(0, 0, 0),
                                 RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
}
