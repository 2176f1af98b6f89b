// Who has a data file open: the question when someone else has it open
// (the session keeps this program's own presence file).
#include <string>

#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "storage/file/FileName.h"

int MainWindow::askAboutPresence(const char* path) {
    PresenceFile found;
    if (session.presenceAt(path, found) != PresenceFile::Other) return 1;
    // One sentence a line: the message window does not wrap.
    std::string question = std::string(fileNamePart(path)) + " is open in Tallyvane by " +
                           (found.user[0] ? found.user : "someone") + " on " + found.computer + " since " +
                           found.since +
                           ".\nOpen it for editing anyway?\n"
                           "Yes: edit it too (both saves are merged).\nNo: open it read-only.\nCancel: don't open it.";
    int answer = parts.messageWindow->showModal(hwnd, question.c_str(), "Tallyvane", MB_YESNOCANCEL | MB_ICONQUESTION, 0,
                                                RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    // A box closed without an answer opens nothing, as Cancel does.
    return answer == IDYES ? 1 : answer == IDNO ? 0 : -1;
}
