// Files dropped on the main window from Explorer or the desktop.
#include "app/MainWindow.h"

#include <shellapi.h>

#include <cstring>

#include "storage/file/FileName.h"

namespace {

// What a dropped file is for, decided by its extension alone: a data file
// is opened, a roster of names (.txt, .csv) is added to the document.
enum class DropUse { Refuse, OpenDocument, AddRoster };

DropUse dropUseOf(const char* path) {
    if (hasExtension(path, ".tvd")) return DropUse::OpenDocument;
    if (hasExtension(path, ".txt") || hasExtension(path, ".csv")) return DropUse::AddRoster;
    return DropUse::Refuse;
}

// Frees the drop's memory block, which belongs to the window it was dropped on.
class DropGuard {
public:
    explicit DropGuard(HDROP drop) : drop_(drop) {}
    ~DropGuard() { DragFinish(drop_); }
    DropGuard(const DropGuard&) = delete;
    DropGuard& operator=(const DropGuard&) = delete;

private:
    HDROP drop_;
};

}  // namespace

void MainWindow::OnDropFiles(WPARAM wParam) {
    char first[kPathBytes] = "";
    char chosen[kPathBytes] = "";
    DropUse use = DropUse::Refuse;
    {
        // The names are copied out and the block freed before any message
        // window or "Save data?" runs its own message loop.
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        DropGuard guard(drop);
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count && use == DropUse::Refuse; ++i) {
            // A longer name is no file this program could open.
            if (DragQueryFileA(drop, i, nullptr, 0) >= UINT(kPathBytes)) continue;
            char path[kPathBytes];
            DragQueryFileA(drop, i, path, sizeof path);
            if (!first[0]) std::strcpy(first, path);
            use = dropUseOf(path);
            if (use != DropUse::Refuse) std::strcpy(chosen, path);
        }
    }

    switch (use) {
    case DropUse::OpenDocument:
        openDroppedFile(chosen);
        break;
    case DropUse::AddRoster:
        addRoster(chosen);
        break;
    case DropUse::Refuse:
        if (first[0]) showError("Not a Tallyvane data file", first);
        break;
    }
}
