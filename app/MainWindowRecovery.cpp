// Crash recovery. While the document has unsaved changes, its recovery file
// in the local Recovery folder is written about two seconds after the last
// change (off the path of the change itself), and at once when Windows ends
// the session; it is deleted when the changes are saved or dropped. At the
// next start a recovery file whose process no longer runs is offered back.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/grid/CompletionDate.h"
#include "storage/format/DataFile.h"
#include "document/Document.h"
#include "storage/file/FileName.h"
#include "storage/win32/Folders.h"
#include "app/MainWindow.h"
#include "document/Merge.h"
#include "framework/MessageWindow.h"
#include "storage/format/QuietView.h"
#include "storage/format/RecoveryFile.h"
#include "storage/sharing/win32/RecoveryFolder.h"
#include "app/StatusBar.h"

namespace {

const UINT_PTR RecoveryTimer = 0x7616;   // the main window's only timer
const UINT RecoveryDelay = 2000;         // ms after the last change
const DWORD LongestDelay = 10000;        // changes in a steady stream are written at least this often

// A recovered copy that fails to load, or would open read-only, is not
// offered back.
int loadQuietly(Document& doc, const char* data, size_t size) {
    QuietView view;
    return loadDataBytes(doc, view, data, size) && view.message.empty() && !view.damaged;
}

// RegisterApplicationRestart is Vista's: looked up at run time.
using RegisterRestart = HRESULT(WINAPI*)(PCWSTR, DWORD);
const DWORD RestartNoCrash = 1, RestartNoHang = 2;

}  // namespace

LRESULT MainWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kOfferConflictsMessage) {
        offerConflictCopies();
        return 0;
    }
    LRESULT result = FrameWindow::WndProc(message, wParam, lParam);
    // The document changes only through commands (menus, accelerators,
    // context menus, Undo and Redo, a double click), keys of the panes
    // (Enter, Space), dropped files and clicks on the squares
    // (recordEntryState); selection changes of the panes are left out.
    if ((message == WM_COMMAND && (lParam == 0 || HIWORD(wParam) == LBN_DBLCLK)) || message == WM_VKEYTOITEM ||
        message == WM_DROPFILES)
        watchDocument();
    return result;
}

void MainWindow::prepareRecovery() {
    locateLocalFolder(hwnd, localFolder);
    recoveryPath[0] = '\0';
    recoveryDue = 0;
    sessionEnded = 0;
    // After an update restart Windows starts the program again, which then
    // offers the recovery file written at the end of the session.
    auto registerRestart = reinterpret_cast<RegisterRestart>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "RegisterApplicationRestart")));
    if (registerRestart) registerRestart(L"", RestartNoCrash | RestartNoHang);
}

std::string MainWindow::backupsFolder() const {
    return localFolder[0] ? std::string(localFolder) + "Backups\\" : std::string();
}

void MainWindow::watchDocument() {
    if (!hwnd) return;
    if (!parts.document->modified) {
        dropRecovery();
        return;
    }
    CompletionDate::readLocalTime(&lastChange);
    DWORD now = GetTickCount();
    if (!recoveryDue) {
        recoveryDue = 1;
        recoveryDueSince = now;
    }
    // Each change puts the write off again, as long as the oldest unwritten
    // change is younger than LongestDelay; then the running timer is left to fire.
    if (now - recoveryDueSince < LongestDelay) SetTimer(hwnd, RecoveryTimer, RecoveryDelay, nullptr);
}

void MainWindow::OnTimer(WPARAM id) {
    if (id != RecoveryTimer) return;
    KillTimer(hwnd, RecoveryTimer);
    // A recovery file that can't be written is said once a session: the
    // changes then live only in this window until saved.
    if (recoveryDue && parts.document->modified && !writeRecovery() && !recoveryFailureSaid) {
        recoveryFailureSaid = true;
        statusBar->setStatusText(0, "Unsaved changes can't be kept for recovery: save them soon");
    }
}

int MainWindow::writeRecovery() {
    recoveryDue = 0;
    if (!localFolder[0]) return 0;
    if (!recoveryPath[0]) {
        std::string folder = std::string(localFolder) + "Recovery\\";
        if (!folderExists(folder.c_str()) && !createFolderPath(folder.c_str())) return 0;
        std::snprintf(recoveryPath, sizeof recoveryPath, "%s%lu-%08lX.tvr", folder.c_str(),
                      static_cast<unsigned long>(GetCurrentProcessId()), static_cast<unsigned long>(GetTickCount()));
    }
    RecoveryFile file;
    lstrcpynA(file.dataPath, currentPath, sizeof file.dataPath);
    file.pid = GetCurrentProcessId();
    CompletionDate::formatStamp(lastChange, file.changed);
    const char* base = currentPath[0] && sharedFile.hasBase() ? sharedFile.baseData() : nullptr;
    return file.write(recoveryPath, *parts.document, base, base ? sharedFile.baseSize() : 0);
}

void MainWindow::dropRecovery() {
    if (hwnd) KillTimer(hwnd, RecoveryTimer);
    recoveryDue = 0;
    if (recoveryPath[0]) DeleteFileA(recoveryPath);
}

int MainWindow::OnQueryEndSession() {
    // Written before "Save data?" is asked: a session that ends without
    // waiting for the answer loses nothing.
    if (parts.document->modified) writeRecovery();
    int allowed = FrameWindow::OnQueryEndSession();
    if (!parts.document->modified) dropRecovery();
    return allowed;
}

void MainWindow::OnEndSession(WPARAM ending, LPARAM) {
    if (!ending) return;
    // The process may be ended any time after this returns; the window is
    // not destroyed, so OnDestroy does not drop the file.
    sessionEnded = 1;
    if (recoveryDue && parts.document->modified) writeRecovery();
    // Nobody has the file open any more once the session is gone.
    releasePresence();
}

void MainWindow::offerRecovery() {
    if (!localFolder[0]) return;
    std::string folder = std::string(localFolder) + "Recovery\\";
    pruneDeclined(folder.c_str());
    std::vector<std::string> paths = orphanRecoveryFiles(folder.c_str(), recoveryPath);
    // Two recoveries of files of the same name are told apart by their folders.
    std::vector<std::string> dataPaths;
    for (const std::string& path : paths) {
        RecoveryFile file;
        dataPaths.push_back(file.read(path.c_str()) ? file.dataPath : "");
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        RecoveryFile file;
        if (!file.read(path.c_str())) continue;
        char question[600];
        std::snprintf(question, sizeof question,
                      "Tallyvane was closed without saving the changes to %s (last change %s).\nRestore them?",
                      RecoveryFile::shownName(dataPaths, i).c_str(), file.changed);
        int answer = parts.messageWindow->showModal(hwnd, question, "Tallyvane", MB_YESNO | MB_ICONQUESTION, 0,
                                                    RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
        if (answer == IDNO) {
            declineRecoveryFile(path.c_str(), folder.c_str());
        } else if (answer == IDYES) {
            // The changes are this process's now: its own recovery file
            // holds them before the old one goes. The others wait for the
            // next start.
            if (!restoreRecovery(file)) declineRecoveryFile(path.c_str(), folder.c_str());
            else if (writeRecovery()) DeleteFileA(path.c_str());
            return;
        }
        // A box closed without an answer keeps the file for the next start.
    }
}

int MainWindow::restoreRecovery(const RecoveryFile& file) {
    Document recovered;
    if (!loadQuietly(recovered, file.document, file.documentSize)) {
        showError("Failed to open the existing file", file.dataPath[0] ? file.dataPath : "Tallyvane");
        return 0;
    }
    Document base;
    int merge = file.dataPath[0] && file.baseSize && loadQuietly(base, file.base, file.baseSize);
    // The data file as it is on disk now takes the part of "theirs". A file
    // that can't be opened any more leaves the recovered document, untitled.
    if (merge && !(openDroppedFile(file.dataPath) && currentPath[0])) merge = 0;
    if (merge) {
        Document merged;
        MergeReport report;
        if (!mergeDocuments(base, recovered, *parts.document, merged, report)) {
            showError("Out of memory", "Tallyvane");
            return 0;
        }
        adoptDocument(merged);
        if (!report.empty()) {
            // What others changed in the file since the lost session, as Save reports a merge.
            std::string text = std::string(fileNamePart(currentPath)) +
                               " was changed after your last save there. Your restored changes and theirs "
                               "were merged.\n\n" + report.text();
            for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
            parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_OK | MB_ICONASTERISK, 0, RGB(0, 0, 0),
                                           RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
        }
    } else {
        if (!newDocument()) return 0;
        adoptDocument(recovered);
    }
    // Nothing of this is saved: no Undo may clear the flag.
    history.clearUnsaved();
    parts.document->modified = 1;
    CompletionDate::readLocalTime(&lastChange);
    return 1;
}
