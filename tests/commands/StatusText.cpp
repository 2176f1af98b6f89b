// status_text TITLE: prints the text of part 0 of the status bar of the
// top-level window titled TITLE, as another program reads it. Exit 1 when
// there is no such window or status bar.
//
// WM_GETTEXT is one of the messages the system marshals between processes,
// and a status bar answers it with the text of its first part.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: status_text TITLE\n");
        return 2;
    }
    HWND frame = FindWindowA(nullptr, argv[1]);
    HWND bar = frame ? FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
    if (!bar)
        return 1;
    char text[256] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                             &length))
        return 1;
    std::printf("%s\n", text);
    return 0;
}
