// The file operations of the main window: the folders and the settings file
// at start-up and exit, Open (start-up, Open dialog, recent-file item, a
// dropped file), Save and Save as. The session opens and writes the file;
// this side asks for names and shows what came of it.
#include <cstring>
#include <string>

#include "document/Document.h"
#include "storage/win32/FileDialog.h"
#include "storage/file/FileHandle.h"
#include "storage/win32/Folders.h"
#include "app/MainWindow.h"
#include "storage/win32/SettingsFile.h"
#include "app/StatusBar.h"
#include "storage/file/FileName.h"
#include "resource.h"

void MainWindow::locateFolders() { ::locateFolders(hwnd, settingsFolder, documentsFolder); }

void MainWindow::readSettings(const char* commandLine) {
    // The recent items go between the separator under "Export..." and Exit.
    HMENU fileMenu = GetSubMenu(GetMenu(hwnd), 0);
    recentFiles.init(fileMenu, GetMenuItemCount(fileMenu) - 1, CMD_RECENT_FIRST,
                     CMD_RECENT_LAST - CMD_RECENT_FIRST + 1);

    // splitCommandLine cuts its line; work on a copy of whatever length.
    size_t length = commandLine ? std::strlen(commandLine) : 0;
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (!line) return;
    std::memcpy(line, commandLine ? commandLine : "", length + 1);
    StartupFiles found;
    ::readSettings(line, settingsFolder.c_str(), recentFiles, found);
    HeapFree(GetProcessHeap(), 0, line);

    settingsPath = found.settingsPath;
    startPath = found.currentPath;
    if (found.fromCommandLine) writeSettingsOnExit = 1;
}

void MainWindow::writeSettings() {
    if (writeSettingsOnExit) ::writeSettings(settingsPath.c_str(), session.path().c_str(), recentFiles);
}

int MainWindow::openDocument(int ask, int recentId) {
    std::string path;
    FileDialog dialog(1);
    if (!closeDocument()) return 0;

    bool chosen = true;
    if (ask) {
        chosen = dialog.run(hwnd, path, documentsFolder.c_str()) != 0;
    } else if (recentId) {
        path = recentFiles.pathOf(recentId);
    } else {
        path.swap(startPath);
    }

    return finishOpen(chosen ? path.c_str() : "", recentId);
}

int MainWindow::openDroppedFile(const char* path) {
    if (!closeDocument()) return 0;
    return finishOpen(path, 0);
}

int MainWindow::finishOpen(const char* path, int recentId) {
    int access = path[0] ? askAboutPresence(path) : 1;
    if (access < 0) path = "";   // Cancel: open nothing
    if (path[0]) {
        if (loadDocument(path, access != 0)) {
            conflictOffers.clear();
            PostMessageA(hwnd, kOfferConflictsMessage, 0, 0);
            return 1;
        }
        showError("Failed to open the existing file", path);
        if (recentId) recentFiles.gray(recentId);
    }

    // The user has already answered "Save data?" for the old document, and
    // what a failed load left behind is not worth saving: start afresh
    // without asking again.
    return startEmptyDocument();
}

int MainWindow::openRecent(int id) { return recentFiles.holds(id) ? openDocument(0, id) : 0; }

// Said once, at the save that first wrote the file in UTF-8: a name that
// the legacy code page can't hold made it so (see dataFileInUtf8).
static void tellUtf8(StatusBar* statusBar, const std::string& path) {
    std::string text = std::string(fileNamePart(path.c_str())) + " is now saved as Unicode (UTF-8)";
    statusBar->setStatusText(0, text.c_str());
}

int MainWindow::saveDocument() {
    int wasUtf8 = parts.document->utf8File;
    // A save that waits for another (up to about five seconds) keeps the
    // window painted and says why; only WM_PAINT is taken from the queue,
    // so no key or click starts a new command meanwhile.
    bool waited = false;
    session.whileWaiting = [this, &waited] {
        if (!waited) {
            waited = true;
            statusBar->setStatusText(0, "Waiting for the other save to finish...");
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
    };
    int saved = saveDocumentOnce();
    session.whileWaiting = nullptr;
    if (waited) {
        statusBar->setStatusText(0, session.path().c_str());
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }
    if (saved && !wasUtf8 && parts.document->utf8File) tellUtf8(statusBar, session.path());
    return saved;
}

int MainWindow::saveDocumentOnce() {
    MergeReport report;
    if (session.untitled()) {
        std::string chosen;
        FileDialog dialog(0);
        if (!dialog.run(hwnd, chosen, documentsFolder.c_str())) return 0;
        // The first save of an untitled document ties it to the chosen file,
        // once it is written there; a failed one leaves it untitled.
        ViewPlace place = viewPlace();
        DocumentSession::Save outcome = session.saveAs(chosen.c_str(), *this, report);
        if (outcome == DocumentSession::Save::Merged) showPlace(place);
        updateTitle();
        return showSave(outcome, report, chosen.c_str());
    }
    // A file marked read-only is not to be replaced (Windows refuses to move
    // a file over it, Wine does not).
    if (!session.readOnly() && isReadOnlyFile(session.path().c_str())) {
        showError("Failed to save the file", session.path().c_str());
        return 0;
    }
    ViewPlace place = viewPlace();
    DocumentSession::Save outcome = session.save(*this, report);
    if (outcome == DocumentSession::Save::Merged) showPlace(place);
    int saved = showSave(outcome, report, "");
    if (saved) putAwayMergedCopies();
    return saved;
}

void MainWindow::saveDocumentAs() {
    // The document stays tied to its file (or untitled) whatever is chosen:
    // the session changes nothing of it while the dialog is up, and writes
    // a copy. The open file itself chosen is Save.
    std::string chosen;
    FileDialog dialog(0);
    if (!dialog.run(hwnd, chosen, documentsFolder.c_str())) return;
    MergeReport report;
    ViewPlace place = viewPlace();
    bool own = !session.untitled() && isSameFile(chosen.c_str(), session.path().c_str());
    DocumentSession::Save outcome = session.saveCopyAs(chosen.c_str(), *this, report);
    if (own && outcome == DocumentSession::Save::Merged) showPlace(place);
    showSave(outcome, report, chosen.c_str());
}
