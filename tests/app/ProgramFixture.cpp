#include "tests/app/ProgramFixture.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "storage/file/FileFaults.h"
#include "storage/win32/Folders.h"

const char ProgramFixture::kClub[] =
    "[Program]\r\nTallyvane\r\n\r\n"
    "[Action Items]\r\n1\r\nSign the safety form\r\n\r\n"
    "[Names]\r\n1\r\n0 Ann Smith\r\n\r\n"
    "[0]\r\n1\r\n1 03/14/26 09:05 AM\r\n";

std::ostream& operator<<(std::ostream& out, const ProgramFixture::Box& box)
{
    return out << "{\"" << box.caption << "\", \"" << box.text << "\"}";
}

void ProgramFixture::SetUp()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    folder = std::string(temp) + "tv-test-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++serial) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);

    // No test opens the file an earlier one named in the settings.
    settings = specialFolderPath(nullptr, CSIDL_APPDATA) + "\\Vantorell\\Tallyvane\\Tallyvane.ini";
    keptSettings_ = MoveFileExA(settings.c_str(), (settings + ".kept-by-test").c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    fileFaults.reset();
    if (startUp_ == EmptyDocument)
        start();
}

void ProgramFixture::TearDown()
{
    window().writeSettingsOnExit = 0;
    stop();
    fileFaults.reset();
    DeleteFileA(settings.c_str());
    if (keptSettings_)
        MoveFileA((settings + ".kept-by-test").c_str(), settings.c_str());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string file = folder + found.cFileName;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void ProgramFixture::start(const std::string& args, const std::vector<int>& answers)
{
    std::string line = "\"" + folder + "Tallyvane.exe\"" + (args.empty() ? "" : " " + args);
    {
        // Only one answerer may run: a test that answers start-up itself
        // made one already.
        std::unique_ptr<ModalAnswerer> answer;
        if (!answers.empty() || !ModalAnswerer::running()) {
            answer.reset(new ModalAnswerer(20, 8000));
            for (int result : answers)
                answer->then(MessageWindow::className, answerWith(result));
        }
        const int show = startUp_ == Unactivated ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL;
        ASSERT_EQ(1, program::start(GetModuleHandleA(nullptr), show, line.c_str()));
        if (answer) {
            EXPECT_EQ(static_cast<int>(answers.size()), answer->answered());
        }
    }
    if (startUp_ == ByTest)
        return;
    if (startUp_ == EmptyDocument)
        SetForegroundWindow(window().hwnd);
    runLoop(50);
}

void ProgramFixture::startWithExample()
{
    start("\"" + exampleFile() + "\"");
}

void ProgramFixture::stop()
{
    window().history.markSaved();
    if (window().hwnd)
        DestroyWindow(window().hwnd);
    // The destroyed window posted its quit message: take it out of the way.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
    }
}

std::vector<int> ProgramFixture::seed(const std::vector<const char*>& names, const std::vector<const char*>& actions)
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

void ProgramFixture::edit(const char* name)
{
    doc().addName(name);
    window().history.clearUnsaved();
}

void ProgramFixture::runLoop(DWORD ms)
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

void ProgramFixture::pressKey(UINT vk)
{
    tvtest::pressKey(window().currentPane->hwnd, vk);
    runLoop();
}

void ProgramFixture::pressCtrlKey(UINT vk)
{
    pressWithModifier(vk, VK_CONTROL, false);
}

void ProgramFixture::pressAltKey(UINT vk)
{
    pressWithModifier(vk, VK_MENU, true);
}

// The accelerator table looks at the keyboard state for the modifiers.
void ProgramFixture::pressWithModifier(UINT vk, UINT modifier, bool system)
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

void ProgramFixture::doubleClickRow(ListBoxControl* pane, int row)
{
    LPARAM at = rowMiddle(pane, row);
    tvtest::doubleClickAt(pane->hwnd, LOWORD(at), HIWORD(at));
    runLoop();
}

void ProgramFixture::rightClickRow(ListBoxControl* pane, int row)
{
    LPARAM at = rowMiddle(pane, row);
    PostMessageA(pane->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(pane->hwnd, WM_RBUTTONUP, 0, at);
    runLoop();
}

void ProgramFixture::selectRow(ListBoxControl* pane, int row)
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

Strings ProgramFixture::rows(ListBoxControl* pane, bool withData)
{
    Strings result;
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

int ProgramFixture::selection(ListBoxControl* pane)
{
    return static_cast<int>(SendMessageA(pane->hwnd, LB_GETCURSEL, 0, 0));
}

std::string ProgramFixture::statusText(int part)
{
    char text[512] = "";
    SendMessageA(program::statusBar.hwnd, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ProgramFixture::windowText(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

int ProgramFixture::grayed(int id)
{
    return (GetMenuState(GetMenu(window().hwnd), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::string ProgramFixture::clipboardText()
{
    return tvtest::clipboardText();
}

void ProgramFixture::setClipboard(const char* text)
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

void ProgramFixture::doubleClick(ListBoxControl& pane, int row)
{
    if (GetWindowLongA(pane.hwnd, GWL_STYLE) & LBS_EXTENDEDSEL) {
        SendMessageA(pane.hwnd, LB_SETSEL, FALSE, -1);
        SendMessageA(pane.hwnd, LB_SETSEL, TRUE, row);
        SendMessageA(pane.hwnd, LB_SETCARETINDEX, row, FALSE);
    } else {
        SendMessageA(pane.hwnd, LB_SETCURSEL, row, 0);
    }
    SendMessageA(window().hwnd, WM_COMMAND, MAKEWPARAM(pane.id, LBN_DBLCLK), reinterpret_cast<LPARAM>(pane.hwnd));
}

void ProgramFixture::selectEntry(int row)
{
    SendMessageA(entries(), LB_SETCURSEL, row, 0);
    SendMessageA(window().hwnd, WM_COMMAND, MAKEWPARAM(program::entriesPane.id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(entries()));
}

void ProgramFixture::pressBack()
{
    SendMessageA(program::viewBar.hwnd, WM_COMMAND, MAKEWPARAM(5009, BN_CLICKED),
                 reinterpret_cast<LPARAM>(program::viewBar.backButton.hwnd));
}

POINT ProgramFixture::squareOf(int row)
{
    RECT r;
    SendMessageA(entries(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return {10, (r.top + r.bottom) / 2};
}

void ProgramFixture::clickSquare(int row, int x)
{
    POINT p = squareOf(row);
    tvtest::clickAt(entries(), x, p.y);
    tvtest::pumpMessages(30);
}

void ProgramFixture::drop(const std::vector<std::string>& paths)
{
    size_t chars = 1;
    for (const std::string& path : paths)
        chars += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars);
    ASSERT_NE(nullptr, block);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    char* list = reinterpret_cast<char*>(header + 1);
    for (const std::string& path : paths) {
        std::memcpy(list, path.c_str(), path.size() + 1);
        list += path.size() + 1;
    }
    GlobalUnlock(block);
    ASSERT_TRUE(PostMessageA(window().hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
        if (msg.message == WM_DROPFILES)
            break;
    }
}

Strings ProgramFixture::recentItems()
{
    Strings items;
    HMENU file = GetSubMenu(GetMenu(window().hwnd), 0);
    for (int i = 0; i < window().recentFiles.count(); ++i) {
        char text[MAX_PATH] = "";
        GetMenuStringA(file, 5900 + i, text, sizeof text, MF_BYCOMMAND);
        std::string item = text;
        if (GetMenuState(file, 5900 + i, MF_BYCOMMAND) & MF_GRAYED)
            item += " (grayed)";
        items.push_back(item);
    }
    return items;
}

std::string ProgramFixture::readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ProgramFixture::writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool ProgramFixture::exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ProgramFixture::sourceFile(const char* relative)
{
    std::string path = std::string("Z:") + TV_SOURCE_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

ModalAnswerer::Step ProgramFixture::answerWith(int result)
{
    return [this, result](HWND) {
        MessageWindow& box = program::messageWindow;
        boxes.push_back({box.caption ? box.caption : "", box.message ? box.message : ""});
        for (int i = 0; i < MessageWindow::buttonCount; ++i) {
            if (box.buttonResults[i] == result)
                tvtest::clickButton(MessageWindow::buttons[i].hwnd);
        }
    };
}

ModalAnswerer::Step ProgramFixture::typeAndConfirm(const char* text)
{
    return [text](HWND dialog) {
        HWND edit = tvtest::findChildByClass(dialog, "Edit");
        SendMessageA(edit, EM_SETSEL, 0, -1);
        tvtest::typeText(edit, text);
        tvtest::pressKey(edit, VK_RETURN);
    };
}

ModalAnswerer::Step ProgramFixture::replaceAndConfirm(const char* text)
{
    return [text](HWND dialog) {
        SetWindowTextA(tvtest::findChildByClass(dialog, "Edit"), text);
        tvtest::clickButton(tvtest::findChild(dialog, "OK"));
    };
}

ModalAnswerer::Step ProgramFixture::cancelPrompt()
{
    return [](HWND dialog) { tvtest::clickButton(tvtest::findChild(dialog, "Cancel")); };
}

ModalAnswerer::Step ProgramFixture::pressButtonKey(UINT vk)
{
    return [vk](HWND box) {
        HWND focus = GetFocus();
        tvtest::pressKey(focus && GetAncestor(focus, GA_ROOT) == box ? focus : box, vk);
    };
}

ModalAnswerer::Step ProgramFixture::recordPrompt(PromptSeen* seen, ModalAnswerer::Step then)
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

ModalAnswerer::Step ProgramFixture::recordBox(std::string* text, std::string* caption, ModalAnswerer::Step then)
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
