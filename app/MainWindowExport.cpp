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
    const char* currentPath = session.path().c_str();
    const char* title = "Untitled";
    std::string folder, chosen;
    if (currentPath[0]) {
        title = fileNamePart(currentPath);
        folder.assign(currentPath, title);
        chosen = title;
        stripExtension(&chosen[0]);
        chosen.resize(std::strlen(chosen.c_str()));
    }
    ExportDialog dialog;
    if (!dialog.run(hwnd, chosen, folder.empty() ? documentsFolder.c_str() : folder.c_str())) return;
    const char* path = chosen.c_str();

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
    INT_PTR opened = reinterpret_cast<INT_PTR>(ShellExecuteA(hwnd, "open", path, nullptr, nullptr, SW_SHOWNORMAL));
    if (opened > 32) return;
    const char* name = fileNamePart(path);
    if (opened != SE_ERR_NOASSOC && opened != SE_ERR_ASSOCINCOMPLETE) {
        showError((std::string(name) + " was saved. Windows could not open it.").c_str(), Caption);
        return;
    }
    const char* dot = std::strrchr(name, '.');
    std::string text = std::string(name) + " was saved. No program is set up to open " + (dot ? dot : "such") +
                       " files.\nChoose a program to open it with?";
    if (parts.messageWindow->showModal(hwnd, text.c_str(), Caption, MB_YESNO | MB_ICONQUESTION, 0, RGB(0, 0, 0),
                                       RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80)) == IDYES)
        openWith(path);
}

void MainWindow::openWith(const char* path) {
    // Windows' "Open with" window (SHOpenWithDialog, Vista and later, wide
    // strings only); where shell32 lacks it, the "openas" verb of older ones.
    struct OpenAsInfo {
        const wchar_t* file;
        const wchar_t* fileClass;
        int flags;
    };
    const int allowRegistration = 0x1, execute = 0x4;
    using OpenWithDialog = HRESULT(WINAPI*)(HWND, const OpenAsInfo*);
    HMODULE shell = GetModuleHandleA("shell32.dll");
    auto dialog = reinterpret_cast<OpenWithDialog>(
        reinterpret_cast<void (*)()>(shell ? GetProcAddress(shell, "SHOpenWithDialog") : nullptr));
    wchar_t wide[MAX_PATH];
    if (dialog && MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0) {
        OpenAsInfo info = {wide, nullptr, allowRegistration | execute};
        HRESULT result = dialog(hwnd, &info);
        // Cancel is the user's answer; only a missing dialog falls through.
        if (result != E_NOTIMPL) return;
    }
    ShellExecuteA(hwnd, "openas", path, nullptr, nullptr, SW_SHOWNORMAL);
}
