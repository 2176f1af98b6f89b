#include "storage/win32/SettingsFile.h"

#include "storage/win32/CommandLine.h"
#include "storage/win32/Folders.h"
#include "storage/win32/RecentFiles.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "storage/format/SectionFile.h"
#include "storage/file/AnsiText.h"
#include "storage/file/TemporaryFile.h"

#include <windows.h>
#include <string.h>

#include <string>

namespace {

const char kMagic[] = "Tallyvane";
const char kFileName[] = "Tallyvane.ini";
// Second line of the section "Program" when the paths are UTF-8; without it
// they are in the legacy code page (as every earlier version wrote them).
const char kUtf8Marker[] = "UTF-8";

// Copies text into a buffer of size bytes; refuses (empty buffer) what does
// not fit, since a cut path would name another file.
void copyPath(char* buffer, int size, const char* text)
{
    if (strlen(text) < static_cast<size_t>(size))
        strcpy(buffer, text);
    else
        buffer[0] = '\0';
}

} // namespace

void moveLegacySettings(const char* legacyPath, const char* newPath)
{
    if (legacyPath[0] && fileExists(legacyPath) && CopyFileA(legacyPath, newPath, FALSE))
        DeleteFileA(legacyPath);
}

void readSettings(char* commandLine, const char* settingsFolder, RecentFiles& recent, StartupFiles& out)
{
    out.settingsPath[0] = '\0';
    out.currentPath[0] = '\0';
    out.fromCommandLine = 0;

    char* tokens[3];
    int found = splitCommandLine(commandLine, tokens, 3);

    char legacy[kPathBytes];
    copyPath(legacy, sizeof legacy, tokens[0]);
    if (legacy[0] && !replaceExtension(legacy, sizeof legacy, ".ini"))
        legacy[0] = '\0';
    copyPath(out.settingsPath, sizeof out.settingsPath, settingsFolder);
    appendText(out.settingsPath, sizeof out.settingsPath, kFileName);
    moveLegacySettings(legacy, out.settingsPath);

    // A file named on the command line is opened whatever the settings say.
    // A relative path is made absolute now: the common dialogs may change the
    // current folder, and a later Save must still write where it was found.
    if (found >= 2 && tokens[1][0]) {
        DWORD length = GetFullPathNameA(tokens[1], sizeof out.currentPath, out.currentPath, nullptr);
        if (length == 0 || length >= sizeof out.currentPath)
            out.currentPath[0] = '\0';
        out.fromCommandLine = out.currentPath[0] != '\0';
    }

    SectionFile file;
    if (!file.openRead(out.settingsPath))
        return;
    char line[1024];
    if (!file.findSection("Program") || !file.readValue(line, sizeof line) || lstrcmpiA(line, kMagic) != 0) {
        file.close();
        return;
    }
    bool utf8 = file.readValue(line, sizeof line) && strcmp(line, kUtf8Marker) == 0;
    file.findSection("Files");
    bool wantCurrent = !out.fromCommandLine;
    std::string converted;
    while (file.readValue(line, sizeof line)) {
        if (!line[0])
            continue;
        // A path this system can't hold names no file it can open: left out.
        converted.clear();
        size_t length = strlen(line);
        bool ok = utf8 ? AnsiText::isUtf8(line, length) && AnsiText::fromUtf8(line, length, converted)
                       : AnsiText::fromLegacy(line, length, converted);
        if (!ok || converted.size() >= sizeof line)
            continue;
        strcpy(line, converted.c_str());
        if (wantCurrent) {
            copyPath(out.currentPath, sizeof out.currentPath, line);
            wantCurrent = false;
            continue;
        }
        recent.append(line);
    }
    file.close();
}

int writeSettings(const char* settingsPath, const char* currentPath, const RecentFiles& recent)
{
    // Written beside it first, so that a full disk can't leave a torn file.
    TemporaryFile temp;
    SectionFile file;
    if (!settingsPath[0] || !temp.create(settingsPath, file))
        return 0;
    file.writeSection("Program");
    file.writeLine(kMagic);
    if (AnsiText::programIsUtf8())
        file.writeLine(kUtf8Marker);
    file.writeLine("");
    file.writeSection("Files");
    if (currentPath[0])
        file.writeLine(currentPath);
    char path[kPathBytes];
    for (int i = 0; i < recent.count(); ++i) {
        if (recent.pathOf(recent.firstId() + i, path, sizeof path))
            file.writeLine(path);
    }
    return file.close() && temp.putInPlace();
}
