// The file operations of the main window: the folders and the settings file
// at start-up and exit, Open (start-up, Open dialog, recent-file item, a
// dropped file), Save through the ".$$$" file beside the data file, and
// Save as.
#include <cstring>
#include <string>

#include "document/Document.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/win32/FileDialog.h"
#include "storage/sharing/win32/Backups.h"
#include "storage/win32/Folders.h"
#include "app/MainWindow.h"
#include "storage/win32/SettingsFile.h"
#include "app/StatusBar.h"
#include "storage/file/FileName.h"
#include "resource.h"

namespace {

const int DialogPathSize = MAX_PATH;   // the dialogs hand back at most 259 characters

}  // namespace

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
    ::readSettings(line, settingsFolder, recentFiles, found);
    HeapFree(GetProcessHeap(), 0, line);

    std::strcpy(settingsPath, found.settingsPath);
    std::strcpy(currentPath, found.currentPath);
    if (found.fromCommandLine) writeSettingsOnExit = 1;
}

void MainWindow::writeSettings() {
    if (writeSettingsOnExit) ::writeSettings(settingsPath, currentPath, recentFiles);
}

int MainWindow::openDocument(int ask, int recentId) {
    char path[300] = "";
    FileDialog dialog(1);
    if (!closeDocument()) return 0;

    bool chosen = true;
    if (ask) {
        chosen = dialog.run(hwnd, path, DialogPathSize, documentsFolder) != 0;
    } else if (recentId) {
        recentFiles.pathOf(recentId, path, DialogPathSize);
    } else {
        std::strcpy(path, currentPath);
        currentPath[0] = '\0';
    }

    return finishOpen(chosen ? path : "", recentId);
}

int MainWindow::openDroppedFile(const char* path) {
    if (!closeDocument()) return 0;
    return finishOpen(path, 0);
}

int MainWindow::finishOpen(const char* path, int recentId) {
    int access = path[0] ? askAboutPresence(path) : 1;
    if (access < 0) path = "";   // Cancel: open nothing
    if (path[0]) {
        if (loadDocument(path)) {
            // The document now is the file's content, nothing to save yet.
            parts.document->modified = 0;
            settlePresence(access);
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
    currentPath[0] = '\0';
    if (!startEmptyDocument()) return 0;
    parts.document->modified = 0;
    return 1;
}

int MainWindow::openRecent(int id) { return recentFiles.holds(id) ? openDocument(0, id) : 0; }

// A read-only data file is not to be replaced. Windows refuses to move a file
// over it, but Wine does not, so it is checked here first.
static int isReadOnlyFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Said once, at the save that first wrote the file in UTF-8: a name that
// the legacy code page can't hold made it so (see dataFileInUtf8).
static void tellUtf8(StatusBar* statusBar, const char* path) {
    std::string text = std::string(fileNamePart(path)) + " is now saved as Unicode (UTF-8)";
    statusBar->setStatusText(0, text.c_str());
}

int MainWindow::saveDocument() {
    int wasUtf8 = parts.document->utf8File;
    int saved = saveDocumentOnce();
    if (saved && !wasUtf8 && parts.document->utf8File) tellUtf8(statusBar, currentPath);
    return saved;
}

int MainWindow::saveDocumentOnce() {
    if (currentPath[0] && isReadOnlyFile(currentPath)) {
        showError("Failed to save the file", currentPath);
        return 0;
    }
    if (!currentPath[0]) {
        char chosen[DialogPathSize] = "";
        FileDialog dialog(0);
        if (!dialog.run(hwnd, chosen, sizeof chosen, documentsFolder)) return 0;
        // The first save of an untitled document ties it to the chosen file.
        std::strcpy(currentPath, chosen);
        keepBackup(currentPath, backupsFolder().c_str());
        if (saveDocumentFile(*parts.document, *this, currentPath)) {
            // The document now is this file's; Save as leaves the base alone.
            if (!savingAs) {
                sharedFile.remember(currentPath);
                claimPresence();
            }
            updateTitle();
            history.markSaved();
            return 1;
        }
        // Nothing was saved there: the next Save asks again.
        currentPath[0] = '\0';
        return 0;
    }
    if (!saveShared()) return 0;
    history.markSaved();
    putAwayMergedCopies();
    // Opened while someone else had it: theirs may be gone by now.
    if (!presence.held()) claimPresence();
    return 1;
}

void MainWindow::saveDocumentAs() {
    // The document stays tied to its file (or untitled) whatever is chosen.
    char kept[sizeof currentPath];
    std::strcpy(kept, currentPath);
    currentPath[0] = '\0';
    savingAs = 1;
    saveDocument();
    savingAs = 0;
    std::strcpy(currentPath, kept);
    updateTitle();
}

void MainWindow::addRecentFile(const char* path) { recentFiles.addToTop(path); }
