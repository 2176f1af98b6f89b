// The clipboard as the program uses it: one text at a time, as
// CF_UNICODETEXT and as CF_TEXT.
#pragma once
#include <windows.h>

namespace Clipboard {

// Puts a copy of text (the program's text) on the clipboard as
// CF_UNICODETEXT, which keeps every character, and as CF_TEXT in the legacy
// code page for programs that read only that (a character it lacks comes
// out as the code page's default there), with owner as the window that
// opens it. Returns 1 when the clipboard holds the text afterwards; 0 when
// no memory block could be had or the clipboard is held elsewhere, in which
// case the clipboard keeps what it had and the blocks are freed again.
int putText(HWND owner, const char* text);

}  // namespace Clipboard
