#include "storage/win32/FileDialog.h"

#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"

#include <string.h>

FileDialog::FileDialog(int openDialog)
    : isOpen(openDialog),
      flags(openDialog ? OFN_HIDEREADONLY
                   : OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN)
{
}

void FileDialog::customize(OPENFILENAMEA&)
{
}

const char* FileDialog::extensionFor(int, const char*)
{
    return defaultExtension;
}

int FileDialog::confirmReplace(HWND owner, const char* path)
{
    std::string question = std::string(path) + " already exists.\nDo you want to replace it?";
    return MessageBoxA(owner, question.c_str(), "Save As", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

int FileDialog::run(HWND owner, char* path, int size, const char* folder)
{
    const char* extension = defaultExtension;
    if (extension && *extension == '.')
        ++extension;

    OPENFILENAMEA dialog = {};
    // The Windows 2000 layout of the structure: every version of comdlg32 takes it.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = filterIndex;
    dialog.lpstrFile = path;
    dialog.nMaxFile = size;
    dialog.lpstrInitialDir = folder;
    dialog.lpstrTitle = title && *title ? title : nullptr;
    dialog.Flags = flags;
    dialog.lpstrDefExt = extension && *extension ? extension : nullptr;
    customize(dialog);

    if (isOpen) {
        if (readOnly)
            dialog.Flags |= OFN_READONLY;
        if (!GetOpenFileNameA(&dialog))
            return 0;
        int chosenReadOnly = (dialog.Flags & OFN_READONLY) ? 1 : 0;
        if (static_cast<int>(dialog.nFilterIndex) != filterIndex || chosenReadOnly != readOnly) {
            filterIndex = dialog.nFilterIndex;
            readOnly = chosenReadOnly;
            changed = 1;
        }
        if (extension && *extension && !forceExtension(path, size, extension))
            return 0;
        return 1;
    }

    // The dialog would ask about the name as typed ("list.txt") and then
    // list.tvd would be replaced without a word: the question is asked here,
    // about the file that will really be written.
    const DWORD saveFlags = dialog.Flags & ~OFN_OVERWRITEPROMPT;
    const bool askReplace = (dialog.Flags & OFN_OVERWRITEPROMPT) != 0;
    for (;;) {
        dialog.Flags = saveFlags;
        if (!GetSaveFileNameA(&dialog))
            return 0;
        filterIndex = static_cast<int>(dialog.nFilterIndex);
        const char* forced = extensionFor(filterIndex, path);
        if (forced && *forced && !forceExtension(path, size, forced))
            return 0;
        if (!askReplace || !fileExists(path) || confirmReplace(owner, path))
            return 1;
        // No: the dialog again, showing the name that was refused.
    }
}

int FileDialog::run(HWND owner, std::string& path, const char* folder)
{
    char chosen[kPathBytes] = "";
    if (path.size() < sizeof chosen)
        memcpy(chosen, path.c_str(), path.size() + 1);
    if (!run(owner, chosen, sizeof chosen, folder))
        return 0;
    path = chosen;
    return 1;
}

int forceExtension(char* path, int size, const char* extension)
{
    if (*extension == '.')
        ++extension;
    std::string forced(path);
    stripExtension(&forced[0]);
    size_t stem = strlen(forced.c_str());
    if (stem == 0 || forced[stem - 1] == '\\' || forced[stem - 1] == ':')
        return 0;
    forced.resize(stem);
    forced += '.';
    forced += extension;
    if (forced.size() >= static_cast<size_t>(size))
        return 0;
    memcpy(path, forced.c_str(), forced.size() + 1);
    return 1;
}
