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
    // A memo read from a data file can be longer than the field: keep its
    // start, 127 whole characters (bytes in an ANSI code page).
    const char* source = initialText ? initialText : "";
    bool utf8 = GetACP() == CP_UTF8;
    const size_t most = maxTextLength + 1;
    size_t length = 0, characters = 0;
    while (source[length] && characters < most) {
        size_t step = 1;
        while (utf8 && (static_cast<unsigned char>(source[length + step]) & 0xC0) == 0x80)
            ++step;
        if (length + step > (utf8 ? sizeof text - 1 : most))
            break;
        length += step;
        ++characters;
    }
    std::memcpy(text, source, length);
    text[length] = '\0';
}

const char InputDialog::kNoAnsiForm[] =
    "The text holds a character that this computer's programs can't hold (Windows 10 "
    "version 1903 or later can). Please type it without that character.";

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
            if (!textFits()) {
                MessageBoxA(hwnd, kNoAnsiForm, caption, MB_OK | MB_ICONEXCLAMATION);
                SetFocus(edit.hwnd);
                return 1;
            }
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

// Runs at OK. In the UTF-8 code page every character has its ANSI form.
// Elsewhere the ANSI text of the field would hold "?" or a look-alike letter
// ("L" for "Ł") in place of a character the code page lacks: the field's
// Unicode text, converted without best fit, tells.
bool InputDialog::textFits()
{
    if (GetACP() == CP_UTF8)
        return true;
    wchar_t wide[maxTextLength + 2] = {};
    int length = GetWindowTextW(edit.hwnd, wide, maxTextLength + 2);
    if (length <= 0)
        return true;
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &usedDefault);
    return bytes > 0 && !usedDefault;
}

void InputDialog::acceptText()
{
    GetWindowTextA(edit.hwnd, text, sizeof text);
    // A longer initial text the field was given stays in it: the answer is
    // its first maxTextLength characters.
    bool utf8 = GetACP() == CP_UTF8;
    size_t at = 0;
    for (int characters = 0; text[at] && characters < maxTextLength; ++characters) {
        ++at;
        while (utf8 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            ++at;
    }
    text[at] = '\0';
    size_t blanks = 0;
    while (text[blanks] == ' ')
        ++blanks;
    if (blanks)
        std::memmove(text, text + blanks, std::strlen(text + blanks) + 1);
}
