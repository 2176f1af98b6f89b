#include "app/Clipboard.h"

#include <cstring>

namespace Clipboard {

int putText(HWND owner, const char* text)
{
    size_t length = strlen(text);
    // Zero-filled, so the copy ends with a NUL without writing one.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 2);
    if (!block)
        return 0;
    char* copy = static_cast<char*>(GlobalLock(block));
    if (!copy) {
        GlobalFree(block);
        return 0;
    }
    memcpy(copy, text, length);
    GlobalUnlock(block);

    // Another program may hold the clipboard: the block is still ours then.
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    // From a successful SetClipboardData on the clipboard owns the block.
    int stored = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!stored)
        GlobalFree(block);
    CloseClipboard();
    return stored;
}

}  // namespace Clipboard
