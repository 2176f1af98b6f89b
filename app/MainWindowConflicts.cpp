// Sync clients' conflict copies of the open file: after an open and at each
// activation the window looks beside the file for them (ConflictCopy finds
// them and chooses the base) and offers each in the message window. Yes
// merges it into the document; the next successful save moves the copy
// into Backups. No asks again only once the copy changed.
#include <string>

#include "storage/sharing/BackupFolder.h"
#include "storage/format/BackupName.h"
#include "storage/sharing/ConflictCopy.h"
#include "storage/format/DataFile.h"
#include "document/Document.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "app/MainWindow.h"
#include "document/MergeReport.h"
#include "framework/MessageWindow.h"
#include "storage/format/SectionFile.h"
#include "app/StatusBar.h"
#include "document/HeapBlock.h"

LRESULT MainWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kOfferConflictsMessage) {
        offerConflictCopies();
        return 0;
    }
    return FrameWindow::WndProc(message, wParam, lParam);
}

std::vector<std::string> MainWindow::conflictBases() const {
    std::vector<std::string> bases;
    const SharedFile& base = session.base();
    if (base.hasBase()) bases.emplace_back(base.baseData(), base.baseSize());
    std::string folder = session.backupsFolder();
    if (folder.empty()) return bases;
    std::string prefix = BackupName::prefixFor(session.path().c_str());
    // surplus with none kept lists them all, oldest first.
    std::vector<std::string> names = BackupName::surplus(filesIn(folder.c_str(), prefix), prefix, 0);
    for (auto name = names.rbegin(); name != names.rend() && bases.size() <= BackupName::kKept; ++name) {
        HeapBlock read;
        *read.receive() = SectionFile::readWhole((folder + *name).c_str(), read.length());
        if (read) bases.emplace_back(read.data(), size_t(read.size()));
    }
    return bases;
}

void MainWindow::offerConflictCopies() {
    // Not while a box of this program is up, nor in read-only mode (nothing
    // merged there could be saved), nor twice at once.
    if (offeringConflicts || session.untitled() || session.readOnly() || !IsWindowEnabled(hwnd)) return;
    offeringConflicts = true;
    const std::string name = fileNamePart(session.path().c_str());
    for (const std::string& path : ConflictCopy::findFor(session.path().c_str(), computerName())) {
        FileStamp stamp = FileStamp::of(path.c_str());
        if (!conflictOffers.due(path, stamp)) continue;
        char when[20];
        stamp.writeTimeText(when);
        std::string question = ConflictCopy::question(name, fileNamePart(path.c_str()), when);
        int answer = parts.messageWindow->showModal(hwnd, question.c_str(), "Tallyvane", MB_YESNO | MB_ICONQUESTION, 0,
                                                    RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
        if (answer == IDNO) conflictOffers.declined(path, stamp);
        if (answer != IDYES) continue;

        Document copy, merged;
        MergeReport report;
        LoadReport loaded = loadDataFile(copy, path.c_str());
        if (loaded.failed() || loaded.damaged()) {
            showError("Failed to open the existing file", path.c_str());
            continue;
        }
        if (!ConflictCopy::merge(*parts.document, copy, conflictBases(), merged, report)) {
            showError("Out of memory", "Tallyvane");
            break;
        }
        ViewPlace place = viewPlace();
        session.adoptUnsaved(merged);
        showPlace(place);
        conflictOffers.merged(path);
        std::string text = std::string(fileNamePart(path.c_str())) + " was merged into " + name +
                           ". Save to keep the result.\n\n" + report.text();
        for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
        parts.messageWindow->showModal(hwnd, text.c_str(), "Tallyvane", MB_OK | MB_ICONASTERISK, 0, RGB(0, 0, 0),
                                       RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    }
    offeringConflicts = false;
}

void MainWindow::putAwayMergedCopies() {
    BackupFolder backups(session.backupsFolder());
    for (const std::string& path : conflictOffers.takeMerged()) {
        if (backups.moveIn(path.c_str())) continue;
        std::string text = std::string(fileNamePart(path.c_str())) + " could not be moved into Backups: " +
                           backups.problem();
        statusBar->setStatusText(0, text.c_str());
    }
}
