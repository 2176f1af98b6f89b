#include "framework/InputDialog.h"

#include <cstring>

#include "framework/CentreWindow.h"
#include "framework/Dpi.h"
#include "framework/WindowFont.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"
#include "resource.h"

namespace {
constexpr int kFieldId = 1000;
}

void InputDialog::setup(const char* captionText, const char* promptText, const char* initialText)
{
    caption = captionText ? captionText : "";
    prompt = promptText ? promptText : "";
    // A memo read from a data file can be longer than the buffer: keep its start.
    const char* source = initialText ? initialText : "";
    std::strncpy(text, source, sizeof text - 1);
    text[sizeof text - 1] = '\0';
}

INT_PTR InputDialog::run(HWND owner)
{
    return DialogBoxParamA(framework::instance(), MAKEINTRESOURCEA(IDD_INPUT), owner, StaticDlgProc,
                           reinterpret_cast<LPARAM>(static_cast<DialogBase*>(this)));
}

INT_PTR InputDialog::DialogProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog();
    case WM_PAINT:
        paintPrompt();
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            acceptText();
            EndDialog(hwnd, 1);
            return 1;
        case IDCANCEL:
            EndDialog(hwnd, 0);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

// Runs at WM_INITDIALOG; returns 1 so the field, the first tab stop, gets the focus.
int InputDialog::onInitDialog()
{
    if (readOnly)
        EndDialog(hwnd, 0);
    SetWindowTextA(hwnd, caption);
    edit.create(hwnd, kFieldId, text, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    SendMessageA(edit.hwnd, EM_LIMITTEXT, maxTextLength, 0);
    CentreWindow(hwnd);
    return 1;
}

// Erases and validates the dialog, then draws the prompt in the DC's default
// font (scaled on a monitor of another DPI). (Drawn before the dialog manager's own painting, the prompt would be
// wiped out by the background erase that painting does.)
void InputDialog::paintPrompt()
{
    PaintDc dc(hwnd);
    const Dpi dpi = Dpi::of(hwnd);
    // On a monitor of another DPI than the system's the DC's font is the
    // system's size; the prompt then gets the font scaled for this one.
    WindowFont font;
    font.setDpi(dpi);
    SelectGuard use(dc, font.scaled() ? font.handle() : GetCurrentObject(dc, OBJ_FONT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    TextOutA(dc, dpi(16), dpi(10), prompt, static_cast<int>(std::strlen(prompt)));
}

void InputDialog::acceptText()
{
    GetWindowTextA(edit.hwnd, text, maxTextLength + 1);
    size_t blanks = 0;
    while (text[blanks] == ' ')
        ++blanks;
    if (blanks)
        std::memmove(text, text + blanks, std::strlen(text + blanks) + 1);
}
