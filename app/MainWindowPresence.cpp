// Who has a data file open: this program's presence file beside the file it
// has open for editing, and the question when someone else has it open.
#include <cstdio>

#include "app/grid/CompletionDate.h"
#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "storage/file/FileName.h"

int MainWindow::askAboutPresence(const char* path) {
    PresenceFile found;
    if (!PresenceLock::peek(path, found) || PresenceLock::ownerOf(found) != PresenceFile::Other) return 1;
    // One sentence a line: the message window does not wrap.
    char question[400];
    std::snprintf(question, sizeof question,
                  "%s is open in Tallyvane by %s on %s since %s.\n"
                  "Open it for editing anyway?\nBoth of you can save: the changes are merged.",
                  fileNamePart(path), found.user[0] ? found.user : "someone", found.computer, found.since);
    int answer = parts.messageWindow->showModal(hwnd, question, "Tallyvane", MB_YESNOCANCEL | MB_ICONQUESTION, 0,
                                                RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    // A box closed without an answer opens nothing, as Cancel does.
    return answer == IDYES ? 1 : answer == IDNO ? 0 : -1;
}

void MainWindow::settlePresence(int access) {
    if (!access) enterReadOnly();
    claimPresence();
}

void MainWindow::claimPresence() {
    // Read-only mode (chosen, or a damaged file) edits nothing: nobody to warn.
    if (readOnlyMode || !currentPath[0]) return;
    SYSTEMTIME now;
    CompletionDate::readLocalTime(&now);
    char since[32];
    CompletionDate::formatStamp(now, since);
    // A folder that refuses the file changes nothing else.
    presence.claim(currentPath, since);
}

void MainWindow::releasePresence() { presence.release(); }
