// status_text TITLE: prints the text of part 0 of the status bar of the
// top-level window titled TITLE, as another program reads it. Exit 1 when
// there is no such window or status bar.
// status_text TITLE --rows: prints the rows of the window's visible list
// box instead, one a line, as LB_GETTEXT gives them.
//
// WM_GETTEXT and LB_GETTEXT are among the messages the system marshals
// between processes. Both are sent as Unicode and printed in UTF-8, so that
// any name comes out as it is, whatever the code pages of the two programs.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <string>

namespace {

void printUtf8(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size > 0 ? size : 1), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    std::fwrite(out.c_str(), 1, std::char_traits<char>::length(out.c_str()), stdout);
    std::fputc('\n', stdout);
}

int printRows(HWND frame)
{
    HWND list = nullptr;
    while ((list = FindWindowExA(frame, list, "LISTBOX", nullptr)) != nullptr)
        if (IsWindowVisible(list))
            break;
    if (!list)
        return 1;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_BLOCK, 5000, &count))
        return 1;
    for (DWORD_PTR row = 0; row < count; ++row) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, row, 0, SMTO_BLOCK, 5000, &length) || length > 4096)
            return 1;
        std::wstring text(length + 1, L'\0');
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]), SMTO_BLOCK, 5000,
                                 &ignored))
            return 1;
        printUtf8(text.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 3 && std::string(argv[2]) == "--rows")) {
        std::fprintf(stderr, "usage: status_text TITLE [--rows]\n");
        return 2;
    }
    HWND frame = FindWindowA(nullptr, argv[1]);
    if (frame && argc == 3)
        return printRows(frame);
    HWND bar = frame ? FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
    if (!bar)
        return 1;
    wchar_t text[512] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(bar, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &length))
        return 1;
    printUtf8(text);
    return 0;
}
