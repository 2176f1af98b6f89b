#include "app/Clipboard.h"

#include <cstring>
#include <string>

#include "storage/file/AnsiText.h"

namespace {

// A movable, zero-filled block holding size bytes of data and a NUL of
// two bytes after them, or null.
HGLOBAL blockOf(const void* data, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 2);
    if (!block)
        return nullptr;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(copy, data, size);
    GlobalUnlock(block);
    return block;
}

}  // namespace

namespace Clipboard {

int putText(HWND owner, const char* text)
{
    std::string utf8;
    AnsiText::toUtf8(text, strlen(text), utf8);
    std::wstring wide(utf8.size(), L'\0');
    int units = utf8.empty() ? 0
                             : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size()));
    wide.resize(size_t(units > 0 ? units : 0));
    std::string legacy(wide.size() * 2, '\0');
    int bytes = wide.empty() ? 0
                             : WideCharToMultiByte(AnsiText::legacyCodePage(), 0, wide.data(), int(wide.size()),
                                                   &legacy[0], int(legacy.size()), nullptr, nullptr);
    legacy.resize(size_t(bytes > 0 ? bytes : 0));

    HGLOBAL unicodeBlock = blockOf(wide.data(), wide.size() * sizeof(wchar_t));
    HGLOBAL ansiBlock = blockOf(legacy.data(), legacy.size());
    // Another program may hold the clipboard: the blocks are still ours then.
    if (!unicodeBlock || !ansiBlock || !OpenClipboard(owner)) {
        if (unicodeBlock)
            GlobalFree(unicodeBlock);
        if (ansiBlock)
            GlobalFree(ansiBlock);
        return 0;
    }
    EmptyClipboard();
    // From a successful SetClipboardData on the clipboard owns the block.
    int stored = SetClipboardData(CF_UNICODETEXT, unicodeBlock) != nullptr;
    if (!stored)
        GlobalFree(unicodeBlock);
    if (!SetClipboardData(CF_TEXT, ansiBlock)) {
        GlobalFree(ansiBlock);
        stored = 0;
    }
    CloseClipboard();
    return stored;
}

}  // namespace Clipboard
