// The common Open and Save dialogs for data files. A FileDialog is built on
// the stack for one use, so every dialog starts afresh in the folder given.
#pragma once

#include <windows.h>
#include <commdlg.h>   // not in windows.h with WIN32_LEAN_AND_MEAN

#include <string>

class FileDialog {
public:
    // isOpen: 1 for the Open dialog, 0 for the Save dialog.
    explicit FileDialog(int isOpen);
    virtual ~FileDialog() = default;

    // Runs just before the dialog is shown, with the filled structure; the
    // base class leaves it alone.
    virtual void customize(OPENFILENAMEA& dialog);

    // Save dialog with OFN_OVERWRITEPROMPT: runs when path, the file that
    // will be written, already exists; 1 to replace it. The base class asks
    // "<path> already exists. Do you want to replace it?" in a system
    // message box owned by owner, as the dialog itself would.
    virtual int confirmReplace(HWND owner, const char* path);

    // Save dialog: the extension that the chosen path is given, for the file
    // type chosen (filterIndex counts from 1); the base class gives
    // defaultExtension whatever the type.
    virtual const char* extensionFor(int filterIndex, const char* path);

    // Shows the dialog owned by owner, starting in folder, with path (size
    // characters) as the file-name field. Returns 1 with the chosen path,
    // forced to the default extension, in path; 0 when cancelled. A Save
    // dialog asks before an existing file is replaced, and comes back when
    // the answer is No.
    int run(HWND owner, char* path, int size, const char* folder);
    // The same with a path buffer of its own, large enough for any path the
    // dialogs hand back (MAX_PATH characters in UTF-8); path is the file-name
    // field in, and the chosen path out.
    int run(HWND owner, std::string& path, const char* folder);

    int readOnly = 0;       // Open only: the read-only check box, in and out
    int changed = 0;        // the filter index or read-only choice changed
    int isOpen;
    DWORD flags;
    int filterIndex = 1;    // in, and out of a Save dialog: the file type chosen
    const char* filter = "Tallyvane data file (*.tvd)\0*.tvd\0";
    const char* defaultExtension = ".tvd";
    const char* title = "";
};

// Puts extension (with or without its dot) in place of the extension of the
// last component of path, or after it when it has none; a dot in a folder
// name is left alone. Returns 0, path unchanged, when the result would not
// fit in size characters or the path names no file.
int forceExtension(char* path, int size, const char* extension);
