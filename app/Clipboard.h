// The clipboard as the program uses it: one CF_TEXT block at a time.
#pragma once
#include <windows.h>

namespace Clipboard {

// Puts a copy of text on the clipboard as CF_TEXT, with owner as the window
// that opens it. Returns 1 when the clipboard holds the text afterwards; 0
// when no memory block could be had or the clipboard is held elsewhere, in
// which case the clipboard keeps what it had and the block is freed again.
int putText(HWND owner, const char* text);

}  // namespace Clipboard
