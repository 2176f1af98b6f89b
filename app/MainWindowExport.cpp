// File > Export...: the document as it is in memory (saved or not, titled or
// not) written as tvd export writes it, then offered to the shell to open.
#include "app/MainWindow.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "export/ExportWriter.h"
#include "app/ExportDialog.h"
#include "storage/file/FileName.h"
#include "framework/MessageWindow.h"

namespace {

const char Caption[] = "Tallyvane";

}  // namespace

void MainWindow::exportDocument() {
    // The data file's name without its extension, in its own folder; the
    // type chosen adds the extension.
    char path[MAX_PATH] = "";
    char folder[MAX_PATH] = "";
    const char* currentPath = session.path().c_str();
    const char* title = currentPath[0] ? fileNamePart(currentPath) : "Untitled";
    if (currentPath[0] && std::strlen(currentPath) < sizeof folder) {
        std::strcpy(folder, currentPath);
        folder[fileNamePart(currentPath) - currentPath] = '\0';
        lstrcpynA(path, title, sizeof path);
        stripExtension(path);
    }
    ExportDialog dialog;
    if (!dialog.run(hwnd, path, sizeof path, folder[0] ? folder : documentsFolder)) return;

    std::string reason;
    if (const char* refusal = exportRefusal(path, currentPath))
        reason = refusal;
    else if (writeExport(*parts.document, dialog.html() ? ExportKind::Html : ExportKind::Csv, title, path, reason))
        reason.clear();
    if (!reason.empty()) {
        showError(("Failed to save the file - " + reason).c_str(), path);
        return;
    }

    std::string question = std::string("Open ") + fileNamePart(path) + " now?";
    int answer = parts.messageWindow->showModal(hwnd, question.c_str(), Caption, MB_YESNO | MB_ICONQUESTION, 0,
                                                RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    if (answer != IDYES) return;
    // ShellExecuteA returns a value above 32 when a program took the file.
    HINSTANCE opened = ShellExecuteA(hwnd, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(opened) <= 32) showError("Failed to open the existing file", path);
}
