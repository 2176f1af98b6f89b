#include "app/Clipboard.h"

#include <cstring>
#include <string>

#include "app/GlobalBlock.h"
#include "storage/file/AnsiText.h"

namespace {

// Puts a movable, zero-filled block holding size bytes of data and a NUL
// of two bytes after them into block; false (and block empty) when memory
// is short.
bool fillBlock(GlobalBlock& block, const void* data, size_t size)
{
    block.reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + 2));
    void* copy = block ? GlobalLock(block.get()) : nullptr;
    if (!copy) {
        block.reset();
        return false;
    }
    memcpy(copy, data, size);
    GlobalUnlock(block.get());
    return true;
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

    GlobalBlock unicodeBlock, ansiBlock;
    // Another program may hold the clipboard: the blocks are still ours then.
    if (!fillBlock(unicodeBlock, wide.data(), wide.size() * sizeof(wchar_t))
        || !fillBlock(ansiBlock, legacy.data(), legacy.size()) || !OpenClipboard(owner))
        return 0;
    EmptyClipboard();
    // From a successful SetClipboardData on the clipboard owns the block;
    // one it refused is freed as the owner goes.
    int stored = 1;
    if (SetClipboardData(CF_UNICODETEXT, unicodeBlock.get()))
        unicodeBlock.release();
    else
        stored = 0;
    if (SetClipboardData(CF_TEXT, ansiBlock.get()))
        ansiBlock.release();
    else
        stored = 0;
    CloseClipboard();
    return stored;
}

}  // namespace Clipboard
