// A roster of names (.txt or .csv) dropped on the main window or chosen with
// File > Import names...: its new names are added as tvd add-names adds
// them, after a question, and stay unsaved until the user saves.
#include "app/MainWindow.h"

#include <cstring>
#include <string>

#include "document/Document.h"
#include "storage/win32/FileDialog.h"
#include "storage/file/FileName.h"
#include "framework/MessageWindow.h"
#include "storage/format/RosterFile.h"

namespace {

const char Caption[] = "Tallyvane";

// The message window shows every line at once: a long list is cut short.
const int kMostNoteLines = 20;

std::string shortenedNotes(const std::string& lines) {
    std::string shown;
    int count = 0;
    for (size_t start = 0; start < lines.size(); start = lines.find('\n', start) + 1) {
        if (++count > kMostNoteLines) continue;
        if (!shown.empty()) shown += '\n';
        shown.append(lines, start, lines.find('\n', start) - start);
    }
    if (count > kMostNoteLines) shown += "\n... and " + std::to_string(count - kMostNoteLines) + " more";
    return shown;
}

// What the question shows of the import: the first new names, then how
// many lines are skipped (listed after the names were added).
std::string questionDetails(const RosterFile& roster, int32_t count) {
    const int32_t shownNames = 5;
    std::string text;
    int32_t shown = 0;
    for (const RosterFile::Name& added : roster.names()) {
        if (added.present) continue;
        if (shown++ == shownNames) break;
        text += "\n" + added.text;
    }
    if (count > shownNames) text += "\n... and " + std::to_string(count - shownNames) + " more";
    int32_t skipped = roster.presentCount() + roster.skippedCount();
    if (skipped > 0) text += "\n\n" + std::to_string(skipped) + (skipped == 1 ? " line is skipped." : " lines are skipped.");
    return text;
}

}  // namespace

void MainWindow::addRoster(const char* path) {
    const char* name = fileNamePart(path);
    if (readOnlyMode) {
        showError("Read only - no names added", Caption);
        return;
    }
    RosterFile roster;
    if (!roster.read(path)) {
        showError(roster.error().c_str(), path);
        return;
    }
    Document& doc = *parts.document;
    int32_t count = roster.sortOut(doc);
    if (count == 0) {
        showError((std::string("No new names in ") + name).c_str(), Caption);
        return;
    }
    std::string question = "Add " + std::to_string(count) + (count == 1 ? " name from " : " names from ") + name +
                           "?\n" + questionDetails(roster, count);
    int answer = parts.messageWindow->showModal(hwnd, question.c_str(), Caption, MB_YESNO | MB_ICONQUESTION, 0,
                                                RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    if (answer != IDYES) return;

    // The names added before memory ran out stay, as with the Add name command.
    int32_t before = doc.liveNames;
    int32_t firstSlot = doc.namesCount;
    int32_t added = roster.addTo(doc);
    // The whole import is one step of the undo history.
    if (doc.liveNames != before) history.recordAddedNames(doc, firstSlot);
    showNames();
    if (added < 0) showError("Out of memory", Caption);
    std::string notes = shortenedNotes(roster.noteLines(name));
    if (!notes.empty()) showError(notes.c_str(), name);
}

void MainWindow::importNames() {
    std::string path;
    FileDialog dialog(1);
    dialog.filter = "Rosters of names (*.txt;*.csv)\0*.txt;*.csv\0";
    dialog.defaultExtension = nullptr;
    dialog.title = "Import names";
    // The data file's own folder first: its roster usually lies beside it.
    const char* open = session.path().c_str();
    std::string folder(open, fileNamePart(open));
    if (dialog.run(hwnd, path, folder.empty() ? documentsFolder.c_str() : folder.c_str())) addRoster(path.c_str());
}
