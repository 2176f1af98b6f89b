// Open and Save as without the common file dialogs: the start-up open of
// currentPath is all that needs no dialog.
#include "MainWindow.h"

int MainWindow::openDocument(int ask, int recentId) {
    if (ask || recentId) return 0;
    openFirstDocument();
    return 1;
}

void MainWindow::saveDocumentAs() {}
