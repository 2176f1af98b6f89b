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
// The longest line read: a path of the most characters Windows takes
// (32,767), each up to three bytes in UTF-8.
const int kLongestLine = 3 * 32767 + 1;

// The full form of path (GetFullPathNameA asked for its size first); "" when
// it can't be made.
std::string fullPathOf(const char* path)
{
    DWORD size = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (!size)
        return std::string();
    std::string full(size, '\0');
    DWORD length = GetFullPathNameA(path, size, &full[0], nullptr);
    if (!length || length >= size)
        return std::string();
    full.resize(length);
    return full;
}

} // namespace

void moveLegacySettings(const char* legacyPath, const char* newPath)
{
    if (legacyPath[0] && fileExists(legacyPath) && CopyFileA(legacyPath, newPath, FALSE))
        DeleteFileA(legacyPath);
}

void readSettings(char* commandLine, const char* settingsFolder, RecentFiles& recent, StartupFiles& out)
{
    out = StartupFiles();

    char* tokens[3];
    int found = splitCommandLine(commandLine, tokens, 3);

    // Room for ".ini" after a name without an extension, and the NUL.
    std::string legacy(tokens[0]);
    legacy.resize(legacy.size() + 5);
    if (!tokens[0][0] || !replaceExtension(&legacy[0], int(legacy.size()), ".ini"))
        legacy.clear();
    legacy.resize(strlen(legacy.c_str()));
    out.settingsPath = std::string(settingsFolder) + kFileName;
    moveLegacySettings(legacy.c_str(), out.settingsPath.c_str());

    // A file named on the command line is opened whatever the settings say.
    // A relative path is made absolute now: the common dialogs may change the
    // current folder, and a later Save must still write where it was found.
    if (found >= 2 && tokens[1][0]) {
        out.currentPath = fullPathOf(tokens[1]);
        out.fromCommandLine = !out.currentPath.empty();
    }

    SectionFile file;
    if (!file.openRead(out.settingsPath.c_str()))
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
    const char* text;
    size_t length;
    // Read whole, however long: a path cut short would name another file.
    while (file.readValueInPlace(&text, &length, kLongestLine)) {
        if (!length)
            continue;
        // A path this system can't hold names no file it can open: left out.
        converted.clear();
        bool ok = utf8 ? AnsiText::isUtf8(text, length) && AnsiText::fromUtf8(text, length, converted)
                       : AnsiText::fromLegacy(text, length, converted);
        if (!ok)
            continue;
        if (wantCurrent) {
            out.currentPath = converted;
            wantCurrent = false;
            continue;
        }
        recent.append(converted.c_str());
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
    for (int i = 0; i < recent.count(); ++i) {
        std::string path = recent.pathOf(recent.firstId() + i);
        if (!path.empty())
            file.writeLine(path.c_str());
    }
    return file.close() && temp.putInPlace();
}
