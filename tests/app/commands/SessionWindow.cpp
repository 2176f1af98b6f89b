// How the session test reaches the main window: input through the message
// queue as a person gives it, answers for the boxes and dialogs it shows,
// and the comparisons of what it shows and writes with the model.
#include "tests/app/commands/SessionTest.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tests/support/DialogInput.h"
#include "resource.h"

namespace {

using Rows = std::vector<std::string>;

// What a prompt hands back for typed: the field keeps 126 characters, OK
// drops the leading blanks.
std::string promptAnswer(const std::string& typed)
{
    std::string kept = typed.substr(0, InputDialog::maxTextLength);
    return kept.substr(std::min(kept.size(), kept.find_first_not_of(' ')));
}

}  // namespace

// Starts the program again, opening file when not empty. A window still up
// is closed first, and its settings file is not kept.
void Session::restart(const std::string& file)
{
    if (window().hwnd) {
        window().history.markSaved();
        window().writeSettingsOnExit = 0;
        DestroyWindow(window().hwnd);
        settle();
        DeleteFileA(settings.c_str());
    }
    quit_ = false;
    std::string line = "Tallyvane.exe" + (file.empty() ? "" : " \"" + file + "\"");
    {
        // Only while starting: the new main window is no box to close.
        ModalAnswerer answer(5, 2000);
        ASSERT_TRUE(program::start(GetModuleHandleA(nullptr), SW_SHOWNORMAL, line.c_str())) << where();
        expectAnswered(answer, 0);
    }
    SetForegroundWindow(window().hwnd);
    settle();
}

// Dispatches what is queued, translating accelerators as the main loop does.
void Session::settle()
{
    MSG msg;
    for (int idle = 0; idle < 2;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++idle;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            continue;
        }
        idle = 0;
        if (msg.message == WM_QUIT) {
            quit_ = true;
            continue;
        }
        if (window().hwnd && window().translateKeys(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A menu item chosen.
void Session::post(int command)
{
    PostMessageA(window().hwnd, WM_COMMAND, command, 0);
    settle();
}

// The accelerator table finds Ctrl in the keyboard state.
void Session::key(UINT vk, bool ctrl)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    tvtest::pressKey(window().currentPane->hwnd, vk);
    settle();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

int Session::rowCount(ListBoxControl* pane) { return int(SendMessageA(pane->hwnd, LB_GETCOUNT, 0, 0)); }

POINT Session::pointOf(ListBoxControl* pane, int row, bool square)
{
    RECT client, r;
    GetClientRect(pane->hwnd, &client);
    SendMessageA(pane->hwnd, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    if (r.top < 0 || r.bottom > client.bottom) {
        SendMessageA(pane->hwnd, LB_SETTOPINDEX, row, 0);  // scrolled into sight
        SendMessageA(pane->hwnd, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    }
    POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (square) {
        at.x = r.left;
        while (at.x < r.right && program::entriesPane.hitTest(MAKELPARAM(at.x, at.y)) != row)
            ++at.x;
        at.x += 2;
    }
    return at;
}

void Session::click(ListBoxControl* pane, int row, bool square)
{
    POINT at = pointOf(pane, row, square);
    tvtest::clickAt(pane->hwnd, at.x, at.y);
    settle();
}

int Session::pickRow(ListBoxControl* pane)
{
    int current = selection(pane);
    highlighted_ = current >= 0 && rnd_.percent(25);
    return highlighted_ ? current : rnd_.below(rowCount(pane));
}

void Session::clickRow(ListBoxControl* pane, int row)
{
    if (highlighted_)
        did_ += " (highlighted)";
    else
        click(pane, row);
}

void Session::doubleClick(ListBoxControl* pane, int row)
{
    POINT at = pointOf(pane, row, false);
    tvtest::doubleClickAt(pane->hwnd, at.x, at.y);
    settle();
}

void Session::rightClick(ListBoxControl* pane, int row)
{
    POINT p = pointOf(pane, row, false);
    PostMessageA(pane->hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(pane->hwnd, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    settle();
}

// Short texts mostly, now and then one longer than the prompt takes; a few
// leading blanks, a "[" first, a character above 127.
static std::string randomText(Random& rnd)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,-'&()/\xe9";
    int length = rnd.percent(5) ? 110 + rnd.below(30) : 1 + rnd.below(20);
    std::string text = rnd.percent(5) ? "  " : "";
    if (length < 100 && rnd.percent(5))
        text += "[";
    while (int(text.size()) < length)
        text += letters[rnd.below(int(sizeof letters) - 1)];
    return text;
}

// How the user answers a prompt: types a new text, blanks only, OK on the
// text shown (edits) or Cancel. *result is what the prompt hands back.
ModalAnswerer::Step Session::reply(bool edit, const std::string& initial, bool* answered, std::string* result)
{
    int roll = rnd_.below(10);
    *answered = roll != 0;
    std::string expected = initial;
    auto checkShown = [this, expected](HWND dialog) {
        char shown[300] = "";
        GetWindowTextA(tvtest::findChildByClass(dialog, "Edit"), shown, sizeof shown);
        EXPECT_EQ(expected, shown) << where() << " (the prompt's text)";
    };
    if (roll == 0) {
        did_ += ", Cancel";
        return [checkShown](HWND dialog) {
            checkShown(dialog);
            tvtest::clickButton(tvtest::findChild(dialog, "Cancel"));
        };
    }
    // OK on a shown text that has leading blanks would drop them: not "unchanged".
    if (edit && roll == 1 && initial.find_first_not_of(' ') == 0) {
        did_ += ", OK unchanged";
        *result = initial;
        return [checkShown](HWND dialog) {
            checkShown(dialog);
            tvtest::clickButton(tvtest::findChild(dialog, "OK"));
        };
    }
    std::string typed = roll == 2 ? "   " : randomText(rnd_);
    did_ += ", typed \"" + typed + "\"";
    *result = promptAnswer(typed);
    return [checkShown, typed](HWND dialog) {
        checkShown(dialog);
        HWND field = tvtest::findChildByClass(dialog, "Edit");
        SendMessageA(field, EM_SETSEL, 0, -1);
        tvtest::typeText(field, typed.c_str());
        tvtest::pressKey(field, VK_RETURN);
    };
}

// The index-th item of a context menu, chosen with the arrow keys.
ModalAnswerer::Step Session::menuItem(int index)
{
    return [index](HWND menu) {
        for (int i = 0; i <= index; ++i)
            tvtest::pressKey(menu, VK_DOWN);
        tvtest::pressKey(menu, VK_RETURN);
    };
}

std::string Session::freshPath(std::string* typed)
{
    std::string base = folder + "s" + std::to_string(seed_) + "-" + std::to_string(++saves_);
    // Whatever extension is typed, the file gets ".tvd".
    static const char* const typedAs[] = {"", ".tvd", ".txt"};
    *typed = base + typedAs[rnd_.below(3)];
    return base + ".tvd";
}

// Queues the answers to "Save data?" (asked when the document is modified):
// Yes (with the Save dialog when untitled), No or Cancel. Returns the
// answer; *savedTo is the file Yes saves to.
int Session::answerSaveData(ModalAnswerer& answer, std::string* savedTo)
{
    if (!modified_)
        return IDNO;
    int roll = rnd_.below(10);
    int result = roll < 4 ? IDYES : roll < 8 ? IDNO : IDCANCEL;
    did_ += result == IDYES ? ", Save data? Yes" : result == IDNO ? ", Save data? No" : ", Save data? Cancel";
    answer.then(MessageWindow::className, [this, result](HWND) {
        MessageWindow& box = program::messageWindow;
        EXPECT_STREQ("Save data?", box.message) << where();
        for (int i = 0; i < MessageWindow::buttonCount; ++i)
            if (box.buttonResults[i] == result)
                tvtest::clickButton(MessageWindow::buttons[i].hwnd);
    });
    *savedTo = path_;
    if (result == IDYES && path_.empty()) {
        std::string typed;
        *savedTo = freshPath(&typed);
        answer.then("#32770", chooseFile(typed));
    }
    return result;
}

void Session::expectAnswered(const ModalAnswerer& answer, int windows)
{
    EXPECT_EQ(windows, answer.answered()) << where() << " (windows answered)";
    EXPECT_FALSE(answer.timedOut()) << where() << " (a window nobody expected)";
}

ModalAnswerer::Step Session::chooseFile(const std::string& name)
{
    return [name](HWND dialog) {
        SetWindowTextA(fileNameField(dialog), name.c_str());
        tvtest::clickButton(GetDlgItem(dialog, IDOK));
    };
}

// The shown view, its title and its rows with their item data.
void Session::checkView()
{
    ASSERT_EQ(view_, window().viewMode) << where();
    char title[300] = "";
    GetWindowTextA(program::viewBar.titleField.hwnd, title, sizeof title);
    Rows shown = rows(window().currentPane, true);
    Rows expected;
    std::string expectedTitle;
    switch (view_) {
    case NamesView:
        expected = model_.namesRows();
        expectedTitle = untitledView_ ? "" : "Names";
        std::sort(shown.begin(), shown.end());
        break;
    case ActionsView:
        expected = model_.actionsRows();
        expectedTitle = "Action Items";
        break;
    case EntriesView: {
        ModelName* person = model_.nameInSlot(shown_);
        ASSERT_TRUE(person) << where() << " (entries of name slot " << shown_ << ")";
        expected = model_.entriesRows(*person);
        expectedTitle = person->text;
        break;
    }
    case PendingView: {
        ModelAction* action = model_.actionInSlot(shown_);
        ASSERT_TRUE(action) << where() << " (pending of action slot " << shown_ << ")";
        expected = model_.pendingRows(shown_);
        expectedTitle = action->text;
        std::sort(shown.begin(), shown.end());
        int total = 0;
        for (const ModelName& person : model_.names)
            for (const ModelEntry& entry : person.entries)
                total += entry.kind <= ActionDone && entry.action == shown_;
        EXPECT_EQ(std::to_string(expected.size()) + " of " + std::to_string(total) + " left", statusText(1))
            << where();
        break;
    }
    }
    EXPECT_EQ(expectedTitle, title) << where();
    ASSERT_EQ(expected, shown) << where();
}

// "Done on" and the date of the highlighted entry when it is ticked, or
// nothing (an unticked entry keeps its date for the next tick).
void Session::checkEntryStatus()
{
    int row = selection(&program::entriesPane);
    const ModelEntry* entry = row >= 0 ? &SessionModel::entryOfRow(*model_.nameInSlot(shown_), row) : nullptr;
    const bool ticked = entry && (entry->kind == ActionDone || entry->kind == CheckboxDone);
    std::string expected = ticked && !entry->date.empty() ? "Done on " + entry->date : "";
    EXPECT_EQ(expected, statusText(0)) << where() << " (the status of the highlighted row)";
}

// Every name's entries and every action's pending names, through the views.
void Session::checkAllViews()
{
    std::string opened = did_;
    ASSERT_EQ(NamesView, view_);
    checkView();
    for (int row = 0; row < rowCount(&program::namesPane) && !HasFailure(); ++row) {
        did_ = opened + ", then the entries of name row " + std::to_string(row);
        shown_ = rowData(row);
        doubleClick(&program::namesPane, row);
        view_ = EntriesView;
        checkView();
        tvtest::clickButton(program::viewBar.backButton.hwnd);
        settle();
        view_ = NamesView;
    }
    did_ = opened + ", then View > Action items";
    post(CMD_VIEW_ACTIONS);
    view_ = ActionsView;
    checkView();
    for (int row = 0; row < rowCount(&program::actionsPane) && !HasFailure(); ++row) {
        did_ = opened + ", then the pending names of action row " + std::to_string(row);
        shown_ = rowData(row);
        doubleClick(&program::actionsPane, row);
        view_ = PendingView;
        checkView();
        EXPECT_EQ("Action item not complete", statusText(0)) << where();
        tvtest::clickButton(program::viewBar.backButton.hwnd);
        settle();
        view_ = ActionsView;
    }
    did_ = opened;
}

// The saved file, line by line against the model.
void Session::checkFile(const std::string& path)
{
    std::string expected = model_.fileText(), found = readAll(path);
    if (expected == found)
        return;
    size_t line = 1, at = 0;
    while (at < expected.size() && at < found.size() && expected[at] == found[at])
        line += expected[at++] == '\n';
    auto lineAt = [](const std::string& text, size_t offset) {
        size_t start = text.rfind('\n', offset ? offset - 1 : 0);
        start = start == std::string::npos || offset == 0 ? 0 : start + 1;
        return text.substr(start, text.find('\r', start) - start);
    };
    ADD_FAILURE() << where() << ": " << path << " differs at line " << line << "\n  expected: \""
                  << lineAt(expected, at) << "\"\n  written:  \"" << lineAt(found, at) << "\"";
}

void Session::saved(const std::string& path)
{
    checkFile(path);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path.substr(0, path.size() - 4) + ".$$$").c_str()))
        << where();
    files_[path] = model_.reloaded();
    modified_ = false;
    savedDepth_ = int(undo_.size());
}

void Session::opened(const std::string& path)
{
    model_ = files_[path];
    path_ = path;
    EXPECT_EQ(path.substr(path.rfind('\\') + 1) + " - Tallyvane", title()) << where();
    EXPECT_EQ("", statusText(1)) << where() << " (read-only mode)";
    EXPECT_EQ(path, statusText(0)) << where();
    checkAllViews();
}
