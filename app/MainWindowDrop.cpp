// Files dropped on the main window from Explorer or the desktop.
#include "app/MainWindow.h"

#include <shellapi.h>

#include <cstring>
#include <string>

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
    std::string first;
    std::string chosen;
    DropUse use = DropUse::Refuse;
    {
        // The names are copied out and the block freed before any message
        // window or "Save data?" runs its own message loop.
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        DropGuard guard(drop);
        UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count && use == DropUse::Refuse; ++i) {
            // Asked for its length first (without the NUL).
            UINT length = DragQueryFileA(drop, i, nullptr, 0);
            if (!length) continue;
            std::string path(length + 1, '\0');
            if (!DragQueryFileA(drop, i, &path[0], length + 1)) continue;
            path.resize(std::strlen(path.c_str()));
            if (first.empty()) first = path;
            use = dropUseOf(path.c_str());
            if (use != DropUse::Refuse) chosen = path;
        }
    }

    switch (use) {
    case DropUse::OpenDocument:
        openDroppedFile(chosen.c_str());
        break;
    case DropUse::AddRoster:
        addRoster(chosen.c_str());
        break;
    case DropUse::Refuse:
        if (!first.empty()) showError("Not a Tallyvane data file", first.c_str());
        break;
    }
}
