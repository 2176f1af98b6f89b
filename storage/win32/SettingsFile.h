// The settings file, "Tallyvane.ini" in the program's application-data
// folder: section "Program" with the magic, section "Files" with the file
// that was open at exit followed by the recent files, newest first.
#pragma once
#include <string>

class RecentFiles;

// What start-up learns from the command line and the settings file.
struct StartupFiles {
    std::string settingsPath;   // where the settings file lives
    std::string currentPath;    // the data file to open first; empty for none
    int fromCommandLine = 0;    // currentPath was named on the command line
};

// Reads the settings at start-up. commandLine (changed in place) is the
// process's command line: token 0 the program, token 1 an optional data file,
// which is used even when there is no valid settings file. A settings file
// left beside the program (its path with ".ini") is first copied into
// settingsFolder and removed. The lines of "Files" fill recent (already
// initialised on the File menu); empty lines are skipped.
void readSettings(char* commandLine, const char* settingsFolder, RecentFiles& recent, StartupFiles& out);

// Copies legacyPath over newPath and removes it; leaves it where it is when
// the copy fails.
void moveLegacySettings(const char* legacyPath, const char* newPath);

// Writes the settings file: currentPath (when not empty) and then every recent
// item that is not grayed. Returns 0 when the file can't be written; the
// caller reports nothing.
int writeSettings(const char* settingsPath, const char* currentPath, const RecentFiles& recent);
