#include "tests/commands/ProgramFixture.h"

#include <commctrl.h>
#include <shlobj.h>

namespace {
const char KeptSuffix[] = ".kept-by-commands-test";
}  // namespace

// Every run starts without a settings file, so no test opens the file an
// earlier one left behind; the settings of whoever runs the tests are put
// aside meanwhile.
std::string ProgramTest::settingsFile()
{
    char appData[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    return std::string(appData) + "\\Vantorell\\Tallyvane\\Tallyvane.ini";
}

void ProgramTest::SetUp()
{
    std::string settings = settingsFile();
    keptSettings_ = MoveFileExA(settings.c_str(), (settings + KeptSuffix).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    ASSERT_TRUE(program::start(GetModuleHandleA(nullptr), SW_SHOWNORMAL, "Tallyvane.exe"));
    SetForegroundWindow(window().hwnd);
    runLoop(50);
}

void ProgramTest::TearDown()
{
    window().history.markSaved();
    window().writeSettingsOnExit = 0;
    if (window().hwnd)
        DestroyWindow(window().hwnd);
    // The destroyed window posted its quit message: take it out of the way.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
    }
    std::string settings = settingsFile();
    DeleteFileA(settings.c_str());
    if (keptSettings_)
        MoveFileA((settings + KeptSuffix).c_str(), settings.c_str());
}

std::vector<int> ProgramTest::seed(const std::vector<const char*>& names, const std::vector<const char*>& actions)
{
    std::vector<int> slots;
    for (const char* name : names)
        slots.push_back(doc().addName(name));
    for (const char* action : actions) {
        doc().addActionItem(action);
        doc().addActionEntries();
    }
    window().showNames();
    return slots;
}

void ProgramTest::runLoop(DWORD ms)
{
    // Idle: nothing but timer messages (ModalAnswerer looks for its boxes
    // by a timer) for kQuietMs.
    const DWORD kQuietMs = 30, kMostMs = 1000;
    const bool untilIdle = ms == 0;
    const DWORD start = GetTickCount();
    DWORD busy = start;
    MSG msg;
    while (GetTickCount() - start < (untilIdle ? kMostMs : ms)) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return;
            if (msg.message != WM_TIMER)
                busy = GetTickCount();
            if (window().translateKeys(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (untilIdle && GetTickCount() - busy >= kQuietMs)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void ProgramTest::pressKey(UINT vk)
{
    tvtest::pressKey(window().currentPane->hwnd, vk);
    runLoop();
}

void ProgramTest::pressCtrlKey(UINT vk)
{
    pressWithModifier(vk, VK_CONTROL, false);
}

void ProgramTest::pressAltKey(UINT vk)
{
    pressWithModifier(vk, VK_MENU, true);
}

// The accelerator table looks at the keyboard state for the modifiers.
void ProgramTest::pressWithModifier(UINT vk, UINT modifier, bool system)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[modifier] = 0x80;
    SetKeyboardState(keys);
    if (system)
        tvtest::pressAltKey(window().currentPane->hwnd, vk);
    else
        tvtest::pressKey(window().currentPane->hwnd, vk);
    runLoop();
    keys[modifier] = 0;
    SetKeyboardState(keys);
}

namespace {
LPARAM rowMiddle(ListBoxControl* pane, int row)
{
    RECT r = {};
    SendMessageA(pane->hwnd, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
}  // namespace

void ProgramTest::doubleClickRow(ListBoxControl* pane, int row)
{
    LPARAM at = rowMiddle(pane, row);
    tvtest::doubleClickAt(pane->hwnd, LOWORD(at), HIWORD(at));
    runLoop();
}

void ProgramTest::rightClickRow(ListBoxControl* pane, int row)
{
    LPARAM at = rowMiddle(pane, row);
    PostMessageA(pane->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(pane->hwnd, WM_RBUTTONUP, 0, at);
    runLoop();
}

void ProgramTest::selectRow(ListBoxControl* pane, int row)
{
    if (!(GetWindowLongA(pane->hwnd, GWL_STYLE) & LBS_EXTENDEDSEL)) {
        SendMessageA(pane->hwnd, LB_SETCURSEL, row, 0);
        return;
    }
    // A multiple-selection list refuses LB_SETCURSEL.
    SendMessageA(pane->hwnd, LB_SETSEL, FALSE, -1);
    if (row < 0) return;
    SendMessageA(pane->hwnd, LB_SETSEL, TRUE, row);
    SendMessageA(pane->hwnd, LB_SETANCHORINDEX, row, 0);
    SendMessageA(pane->hwnd, LB_SETCARETINDEX, row, FALSE);
}

std::vector<std::string> ProgramTest::rows(ListBoxControl* pane, bool withData)
{
    std::vector<std::string> result;
    int count = static_cast<int>(SendMessageA(pane->hwnd, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[512] = "";
        SendMessageA(pane->hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        std::string row = text;
        if (withData)
            row += "|" + std::to_string(SendMessageA(pane->hwnd, LB_GETITEMDATA, i, 0));
        result.push_back(row);
    }
    return result;
}

int ProgramTest::selection(ListBoxControl* pane)
{
    return static_cast<int>(SendMessageA(pane->hwnd, LB_GETCURSEL, 0, 0));
}

std::string ProgramTest::statusText(int part)
{
    char text[256] = "";
    SendMessageA(program::statusBar.hwnd, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ProgramTest::title()
{
    char text[512] = "";
    GetWindowTextA(window().hwnd, text, sizeof text);
    return text;
}

int ProgramTest::grayed(int id)
{
    return (GetMenuState(GetMenu(window().hwnd), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::string ProgramTest::clipboardText()
{
    std::string text = "<no text>";
    if (!OpenClipboard(nullptr))
        return "<clipboard not open>";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char* chars = static_cast<const char*>(GlobalLock(data));
        if (chars)
            text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void ProgramTest::setClipboard(const char* text)
{
    size_t length = strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    memcpy(GlobalLock(block), text, length);
    GlobalUnlock(block);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        SetClipboardData(CF_TEXT, block);
        CloseClipboard();
    }
}

ModalAnswerer::Step ProgramTest::typeAndConfirm(const char* text)
{
    return [text](HWND dialog) {
        HWND edit = tvtest::findChildByClass(dialog, "Edit");
        SendMessageA(edit, EM_SETSEL, 0, -1);
        tvtest::typeText(edit, text);
        tvtest::pressKey(edit, VK_RETURN);
    };
}

ModalAnswerer::Step ProgramTest::replaceAndConfirm(const char* text)
{
    return [text](HWND dialog) {
        SetWindowTextA(tvtest::findChildByClass(dialog, "Edit"), text);
        tvtest::clickButton(tvtest::findChild(dialog, "OK"));
    };
}

ModalAnswerer::Step ProgramTest::cancelPrompt()
{
    return [](HWND dialog) { tvtest::clickButton(tvtest::findChild(dialog, "Cancel")); };
}

ModalAnswerer::Step ProgramTest::pressButtonKey(UINT vk)
{
    return [vk](HWND box) {
        HWND focus = GetFocus();
        tvtest::pressKey(focus && GetAncestor(focus, GA_ROOT) == box ? focus : box, vk);
    };
}

ModalAnswerer::Step ProgramTest::recordPrompt(PromptSeen* seen, ModalAnswerer::Step then)
{
    return [seen, then](HWND dialog) {
        char text[512] = "";
        GetWindowTextA(dialog, text, sizeof text);
        seen->caption = text;
        seen->prompt = program::inputDialog.prompt;
        GetWindowTextA(tvtest::findChildByClass(dialog, "Edit"), text, sizeof text);
        seen->text = text;
        then(dialog);
    };
}

ModalAnswerer::Step ProgramTest::recordBox(std::string* text, std::string* caption, ModalAnswerer::Step then)
{
    return [text, caption, then](HWND box) {
        char title[256] = "";
        GetWindowTextA(box, title, sizeof title);
        *caption = title;
        auto* object = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(box, GWLP_USERDATA));
        auto* shown = static_cast<MessageWindow*>(object);
        *text = shown && shown->message ? shown->message : "";
        then(box);
    };
}
