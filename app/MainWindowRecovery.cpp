// Crash recovery. While the document has unsaved changes, its recovery file
// in the local Recovery folder is written about two seconds after the last
// change (off the path of the change itself), and at once when Windows ends
// the session; it is deleted when the changes are saved or dropped. At the
// next start a recovery file whose process no longer runs is offered back.
// The session keeps the file and says when it is due; the window runs the
// timer and asks.
#include <cstdio>
#include <cstring>
#include <string>

#include "document/Document.h"
#include "storage/file/FileName.h"
#include "storage/win32/Folders.h"
#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "storage/format/RecoveryFile.h"
#include "app/StatusBar.h"

namespace {

const UINT_PTR RecoveryTimer = 0x7616;   // the main window's only timer

// RegisterApplicationRestart is Vista's: looked up at run time.
using RegisterRestart = HRESULT(WINAPI*)(PCWSTR, DWORD);
const DWORD RestartNoCrash = 1, RestartNoHang = 2;

}  // namespace

void MainWindow::prepareRecovery() {
    localFolder = locateLocalFolder(hwnd);
    environment.setLocalFolder(localFolder);
    sessionEnded = 0;
    // After an update restart Windows starts the program again, which then
    // offers the recovery file written at the end of the session.
    auto registerRestart = reinterpret_cast<RegisterRestart>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "RegisterApplicationRestart")));
    if (registerRestart) registerRestart(L"", RestartNoCrash | RestartNoHang);
}

void MainWindow::watchDocument() {
    if (!hwnd) return;
    int delay = session.noteChange();
    if (delay < 0) KillTimer(hwnd, RecoveryTimer);
    // 0: changes in a steady stream; the running timer is left to fire.
    else if (delay > 0) SetTimer(hwnd, RecoveryTimer, UINT(delay), nullptr);
}

void MainWindow::OnTimer(WPARAM id) {
    if (id != RecoveryTimer) return;
    KillTimer(hwnd, RecoveryTimer);
    // A recovery file that can't be written is said once a session: the
    // changes then live only in this window until saved.
    if (session.recoveryDue() && session.modified() && !writeRecovery() && !recoveryFailureSaid) {
        recoveryFailureSaid = true;
        statusBar->setStatusText(0, "Unsaved changes can't be kept for recovery: save them soon");
    }
}

int MainWindow::writeRecovery() { return session.writeRecovery(); }

void MainWindow::dropRecovery() {
    if (hwnd) KillTimer(hwnd, RecoveryTimer);
    session.dropRecovery();
}

int MainWindow::OnQueryEndSession() {
    // Written before "Save data?" is asked: a session that ends without
    // waiting for the answer loses nothing.
    if (session.modified()) writeRecovery();
    int allowed = FrameWindow::OnQueryEndSession();
    if (!session.modified()) dropRecovery();
    return allowed;
}

void MainWindow::OnEndSession(WPARAM ending, LPARAM) {
    if (!ending) return;
    // The process may be ended any time after this returns; the window is
    // not destroyed, so OnDestroy does not drop the file.
    sessionEnded = 1;
    if (session.recoveryDue() && session.modified()) writeRecovery();
    // Nobody has the file open any more once the session is gone.
    session.releasePresence();
}

void MainWindow::offerRecovery() {
    std::vector<std::string> paths = session.orphanRecoveries();
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
        std::string question = "Tallyvane was closed without saving the changes to " +
                               RecoveryFile::shownName(dataPaths, i) + " (last change " + file.changed +
                               ").\nRestore them?\nNo keeps them aside for seven days.";
        int answer = parts.messageWindow->showModal(hwnd, question.c_str(), "Tallyvane", MB_YESNO | MB_ICONQUESTION, 0,
                                                    RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
        if (answer == IDNO) {
            session.declineRecovery(path);
        } else if (answer == IDYES) {
            // The others wait for the next start.
            if (!restoreRecovery(file, path)) session.declineRecovery(path);
            return;
        }
        // A box closed without an answer keeps the file for the next start.
    }
}

int MainWindow::restoreRecovery(const RecoveryFile& file, const std::string& path) {
    if (!closeDocument()) return 0;
    MergeReport report;
    DocumentSession::Restore outcome = session.restore(file, path, report);
    if (outcome == DocumentSession::Restore::Failed) {
        showError("Failed to open the existing file", file.dataPath.empty() ? "Tallyvane" : file.dataPath.c_str());
        startEmptyDocument();
        return 0;
    }
    setReadOnly(false);
    showPlace(ViewPlace());
    updateTitle();
    std::string text;
    const char* name = fileNamePart(session.path().c_str());
    if (outcome == DocumentSession::Restore::Merged && !report.empty()) {
        // What others changed in the file since the lost session, as Save reports a merge.
        text = std::string(name) + " was changed after your last save there. Your restored changes and theirs "
               "were merged.\n\n" + report.text();
    } else if (outcome == DocumentSession::Restore::Damaged) {
        // Nothing is merged with a damaged file: the recovered document is
        // the only whole copy, and its recovery file stays until it is saved.
        text = std::string(name) + " can't be read as a Tallyvane data file now (" + session.problem() + ").\n" +
               "Your restored changes are shown as they were; nothing was merged with the file.\n" +
               "Save them under another name (File > Save as...).";
    }
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
    if (!text.empty())
        parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane",
                                       MB_OK | (outcome == DocumentSession::Restore::Damaged ? MB_ICONEXCLAMATION
                                                                                              : MB_ICONASTERISK),
                                       0, RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    // The title names the file; the status bar says the changes need a save.
    statusBar->setStatusText(0, "Restored changes are not saved yet");
    return 1;
}
