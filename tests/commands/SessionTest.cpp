// Long random sessions of a user in the real main window: names, action
// items, memos and single checkboxes added, edited, ticked and deleted, dates
// removed, views switched, the file saved, closed and opened again. Every
// command goes in the way a person gives it (keys through the accelerator
// table, menu and context-menu items, clicks on rows and checkbox squares)
// and every prompt is answered in its window. SessionModel says what the
// document should be: the shown view is compared with it after every step,
// the file after every save, and every view after every reopen.
//
// TV_SESSION_SEEDS (a seed, or FIRST-LAST) and TV_SESSION_STEPS choose the
// sessions; scripts/session-soak.sh runs long ones. A failure names the seed,
// the step and what the step did; TV_SESSION_TRACE=1 prints every step.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "CompletionDate.h"
#include "DialogInput.h"
#include "ProgramFixture.h"
#include "SessionModel.h"
#include "resource.h"

namespace {

using Rows = std::vector<std::string>;

int envNumber(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value && *value ? atoi(value) : fallback;
}

// xorshift32: the same session from the same seed on every machine.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int n) { return n > 0 ? int(next() % uint32_t(n)) : 0; }
    bool percent(int p) { return below(100) < p; }

private:
    uint32_t state_;
};

// The clock of the ticks: every step has a time of its own.
SYSTEMTIME g_now;
void stepClock(SYSTEMTIME* time) { *time = g_now; }

std::string stamp(const SYSTEMTIME& t)
{
    char text[32];
    int hour = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
    snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d %s", t.wMonth, t.wDay, t.wYear % 100, hour, t.wMinute,
             t.wHour < 12 ? "AM" : "PM");
    return text;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a prompt hands back for typed: the field keeps 126 characters, OK
// drops the leading blanks.
std::string promptAnswer(const std::string& typed)
{
    std::string kept = typed.substr(0, InputDialog::maxTextLength);
    return kept.substr(std::min(kept.size(), kept.find_first_not_of(' ')));
}

// The Save or Open dialog: the name put into its field, then its OK button.
// (Typed character by character, a name can leave Wine's completion list
// open over the button.)
ModalAnswerer::Step chooseFile(const std::string& name)
{
    return [name](HWND dialog) {
        SetWindowTextA(fileNameField(dialog), name.c_str());
        tvtest::clickButton(GetDlgItem(dialog, IDOK));
    };
}

// Kept out of the sessions until the program does them right:
// a double click in an empty list must do nothing (it opens a view of a
// stale or deleted slot),
const bool kDoubleClickEmptyList = false;
// and part 0 of the status line must follow the highlighted entry after a
// right click, a delete and Remove date too (it keeps describing another row).
const bool kStatusFollowsEveryChange = false;

enum Act { ViewNames, ViewActions, Back, ActionsButton, Save, SaveAs, New, Reopen, Copy, StrayKey,
           Add, AddCheckbox, Select, Edit, Delete, Open, Tick, RemoveDate, ActCount };

class Session : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "tv-session-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(GetTickCount()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        CompletionDate::setLocalTimeReader(stepClock);
    }
    void TearDown() override
    {
        CompletionDate::setLocalTimeReader(nullptr);
        ProgramTest::TearDown();
        forgetFiles();
        RemoveDirectoryA(folder_.c_str());
    }

    void runSession(uint32_t seed, int steps);
    // Deletes the files of the last session: each seed starts alone.
    void forgetFiles()
    {
        for (const auto& file : files_)
            DeleteFileA(file.first.c_str());
        files_.clear();
        saves_ = 0;
    }

private:
    std::string where() const
    {
        return "seed " + std::to_string(seed_) + ", step " + std::to_string(step_) + ": " + did_;
    }
    void restart(const std::string& file);
    void settle();
    void post(int command);
    void key(UINT vk, bool ctrl = false);
    void step();
    Act choose();

    // Rows: brought into sight, then clicked as a user would.
    POINT pointOf(ListBoxControl* pane, int row, bool square);
    void click(ListBoxControl* pane, int row, bool square = false);
    // The row a command acts on: mostly one the user clicks first
    // (clickRow), now and then the one already highlighted.
    int pickRow(ListBoxControl* pane);
    void clickRow(ListBoxControl* pane, int row);
    void doubleClick(ListBoxControl* pane, int row);
    void rightClick(ListBoxControl* pane, int row);
    static int rowCount(ListBoxControl* pane);
    int rowData(int row) { return int(SendMessageA(window().currentPane->hwnd, LB_GETITEMDATA, row, 0)); }

    // Modal windows.
    ModalAnswerer::Step reply(bool edit, const std::string& initial, bool* answered, std::string* result);
    ModalAnswerer::Step menuItem(int index);
    int answerSaveData(ModalAnswerer& answer, std::string* savedTo);
    std::string freshPath(std::string* typed);
    void expectAnswered(const ModalAnswerer& answer, int windows);

    // The steps.
    void addOrEdit(Act act);
    void deleteRow();
    void tickOrRemoveDate(Act act);
    void switchView(Act act);
    void save(bool as);
    void closeOrReopen(Act act);
    void copy();
    void strayKey();

    // Checks.
    void checkView();
    void checkEntryStatus();
    void checkAllViews();
    void checkFile(const std::string& path);
    void saved(const std::string& path);
    void opened(const std::string& path);

    std::string folder_;
    std::map<std::string, SessionModel> files_;  // each saved file, as it reads back
    SessionModel model_;
    std::string path_;        // the file the document is tied to; "" untitled
    bool modified_ = false;
    ViewMode view_ = NamesView;
    int shown_ = 0;           // name slot (Entries view) or action slot (Pending view)
    Random rnd_{1};
    uint32_t seed_ = 0;
    int step_ = 0;
    int saves_ = 0;
    std::string did_;
    bool quit_ = false;
    bool trace_ = getenv("TV_SESSION_TRACE") != nullptr;  // print every step
    bool highlighted_ = false;  // pickRow took the highlighted row
    bool untitledView_ = true;  // New leaves the view bar's title empty until a view is shown
};

void Session::runSession(uint32_t seed, int steps)
{
    seed_ = seed;
    rnd_ = Random(seed);
    forgetFiles();
    step_ = 0;
    did_ = "start";
    restart("");
    model_ = SessionModel();
    path_.clear();
    modified_ = false;
    view_ = NamesView;
    untitledView_ = true;
    checkView();
    for (step_ = 1; step_ <= steps && !HasFailure(); ++step_) {
        int minutes = step_ * 37 + int(seed % 1000) * 1440;
        g_now = {};
        g_now.wYear = WORD(2026 + minutes / (1440 * 28 * 12) % 80);
        g_now.wMonth = WORD(1 + minutes / (1440 * 28) % 12);
        g_now.wDay = WORD(1 + minutes / 1440 % 28);
        g_now.wHour = WORD(minutes / 60 % 24);
        g_now.wMinute = WORD(minutes % 60);
        step();
        if (trace_)
            printf("%s\n", where().c_str());
        if (!HasFailure())
            checkView();
    }
}

// Starts the program again, opening file when not empty. A window still up
// is closed first, and its settings file is not kept.
void Session::restart(const std::string& file)
{
    if (window().hwnd) {
        doc().modified = 0;
        window().writeSettingsOnExit = 0;
        DestroyWindow(window().hwnd);
        settle();
        DeleteFileA(settingsFile().c_str());
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
        if (window().hwnd && TranslateAcceleratorA(window().hwnd, window().accelerators, &msg))
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
    POINT p = pointOf(pane, row, false);
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(pane->hwnd, WM_LBUTTONUP, 0, at);
    PostMessageA(pane->hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(pane->hwnd, WM_LBUTTONUP, 0, at);
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
std::string randomText(Random& rnd)
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
    std::string base = folder_ + "s" + std::to_string(seed_) + "-" + std::to_string(++saves_);
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

Act Session::choose()
{
    int names = int(model_.names.size()), actions = int(model_.actions.size());
    int rows = rowCount(window().currentPane);
    // Weights per view, in the order of Act.
    static const int weights[4][ActCount] = {
        // VN VA Bk AB Sv SA Nw Ro Cp St Ad AC Se Ed De Op Ti RD
        {1, 3, 1, 2, 3, 1, 1, 1, 1, 1, 8, 0, 3, 5, 3, 14, 0, 0},   // Names
        {3, 1, 3, 1, 2, 1, 1, 1, 1, 1, 6, 0, 2, 4, 2, 5, 0, 0},    // Action items
        {1, 1, 2, 1, 1, 1, 0, 1, 1, 1, 5, 5, 4, 5, 4, 0, 14, 4},   // Entries
        {2, 2, 4, 1, 1, 0, 0, 1, 1, 2, 0, 0, 1, 0, 0, 6, 0, 0},    // Pending
    };
    int w[ActCount];
    for (int a = 0; a < ActCount; ++a) {
        w[a] = weights[view_][a];
        bool needsRow = a == Copy || a == Select || a == Edit || a == Delete || (a == Open && !kDoubleClickEmptyList) ||
                        a == Tick || a == RemoveDate;
        if (needsRow && rows == 0)
            w[a] = 0;
    }
    // Keep the document at a size where every view fits a check.
    if ((view_ == NamesView && names >= 12) || (view_ == ActionsView && actions >= 6) ||
        (view_ == EntriesView && rows >= 14)) {
        w[Add] = w[AddCheckbox] = 0;
        w[Delete] += 4;
    }
    if (view_ == EntriesView && rows > 0) {
        bool tickable = false;
        for (int r = 0; r < rows; ++r)
            tickable = tickable || rowData(r) != EntryMemo;
        if (!tickable)
            w[Tick] = 0;
    }
    if (files_.empty() && window().recentFiles.count() == 0)
        w[Reopen] = 0;
    int total = 0;
    for (int a = 0; a < ActCount; ++a)
        total += w[a];
    int roll = rnd_.below(total);
    int a = 0;
    while (roll >= w[a])
        roll -= w[a++];
    return Act(a);
}

void Session::step()
{
    Act act = choose();
    static const char* const viewNames[] = {"Names", "Action items", "Entries", "Pending"};
    did_ = std::string(viewNames[view_]) + " view";
    switch (act) {
    case ViewNames: case ViewActions: case Back: case ActionsButton: case Open: switchView(act); break;
    case Save: save(false); break;
    case SaveAs: save(true); break;
    case New: case Reopen: closeOrReopen(act); break;
    case Copy: copy(); break;
    case StrayKey: strayKey(); break;
    case Add: case AddCheckbox: case Edit: addOrEdit(act); break;
    case Delete: deleteRow(); break;
    case Tick: case RemoveDate: tickOrRemoveDate(act); break;
    case Select: {
        ListBoxControl* pane = window().currentPane;
        int before = selection(pane), row = rnd_.below(rowCount(pane));
        if (rnd_.percent(50)) {
            did_ += ", click row " + std::to_string(row);
            click(pane, row);
        } else {
            static const UINT keys[] = {VK_DOWN, VK_UP, VK_HOME, VK_END, VK_NEXT};
            UINT vk = keys[rnd_.below(5)];
            did_ += ", key " + std::to_string(vk);
            key(vk);
            row = selection(pane);
        }
        if (view_ == EntriesView && row != before && row >= 0)
            checkEntryStatus();
        break;
    }
    default: break;
    }
}

// Add (F5 to F8 or the context menu) and Edit selected (the Edit menu, the
// context menu, or a double click in the Entries view).
void Session::addOrEdit(Act act)
{
    ListBoxControl* pane = window().currentPane;
    int rows = rowCount(pane);
    int row = act == Edit ? pickRow(pane) : -1;
    ModelName* person = view_ == EntriesView ? model_.nameInSlot(shown_) : nullptr;
    ModelEntry* entry = person && row >= 0 ? &SessionModel::entryOfRow(*person, row) : nullptr;
    std::string* text = nullptr;  // the text an edit changes
    if (act == Edit && view_ == NamesView)
        text = &model_.nameInSlot(rowData(row))->text;
    else if (act == Edit && view_ == ActionsView)
        text = &model_.actionInSlot(rowData(row))->text;
    else if (entry && entry->kind >= EntryMemo)
        text = &entry->text;
    bool prompts = act != Edit || text;

    bool answered = false;
    std::string result;
    ModalAnswerer answer(5, 2000);
    int way = rnd_.below(rows ? 3 : 1);
    bool byMenu = way == 1 && act != Edit;  // adds: the context menu of any row
    if (act == Edit)
        did_ += (way == 1 ? ", context menu Edit on row " : way == 2 && view_ == EntriesView ? ", double click on row "
                                                                                           : ", Edit menu on row ") +
                std::to_string(row);
    else
        did_ += view_ == NamesView ? ", add name" : view_ == ActionsView ? ", add action" :
                act == AddCheckbox ? ", add checkbox" : ", add memo";
    if (act == Edit && way == 1)
        answer.then("#32768", menuItem(view_ == EntriesView ? 3 : 2));
    if (byMenu)
        answer.then("#32768", menuItem(act == AddCheckbox ? 1 : 0));
    if (prompts)
        answer.then(reply(act == Edit, text ? *text : "", &answered, &result));

    if (act == Edit && way == 0) {
        clickRow(pane, row);
        post(CMD_EDIT_SELECTED);
    } else if (act == Edit && way == 1) {
        rightClick(pane, row);
    } else if (act == Edit) {
        if (view_ == EntriesView) {
            doubleClick(pane, row);
        } else {  // a double click opens the next view; the menu item edits here
            clickRow(pane, row);
            post(CMD_EDIT_SELECTED);
        }
    } else if (byMenu) {
        rightClick(pane, rnd_.below(rows));
    } else {
        key(view_ == NamesView ? VK_F5 : view_ == ActionsView ? VK_F6 : act == AddCheckbox ? VK_F8 : VK_F7);
    }
    expectAnswered(answer, int(prompts) + (act == Edit ? way == 1 : byMenu));

    // Adds and name or action edits ignore an empty answer; a memo takes it.
    if (!answered || (result.empty() && !(act == Edit && view_ == EntriesView)))
        return;
    modified_ = true;
    if (text)
        *text = result;
    else if (view_ == NamesView)
        model_.addName(result);
    else if (view_ == ActionsView)
        model_.addAction(result);
    else
        model_.addOwnEntry(*person, act == AddCheckbox ? CheckboxOpen : EntryMemo, result);
}

// Delete selected: Del after a click, or the context menu; Yes or No.
void Session::deleteRow()
{
    ListBoxControl* pane = window().currentPane;
    int row = pickRow(pane);
    bool byMenu = rnd_.percent(30);
    bool yes = rnd_.percent(70);
    did_ += std::string(byMenu ? ", context menu Delete" : ", Del") + " on row " + std::to_string(row) +
            (yes ? ", Yes" : ", No");
    ModelName* person = view_ == EntriesView ? model_.nameInSlot(shown_) : nullptr;
    ModelEntry* entry = person ? &SessionModel::entryOfRow(*person, row) : nullptr;
    bool asks = !entry || entry->kind >= EntryMemo;  // action rows can't be deleted there
    int slot = entry ? -1 : rowData(row);
    std::string item = view_ == NamesView ? model_.nameInSlot(slot)->text
                       : entry            ? entry->text
                                          : model_.actionInSlot(slot)->text;

    ModalAnswerer answer(5, 2000);
    if (byMenu)
        answer.then("#32768", menuItem(view_ == EntriesView ? 4 : 3));
    std::string question, caption;
    if (asks)
        answer.then(MessageWindow::className, recordBox(&question, &caption, pressButtonKey(yes ? 'Y' : 'N')));
    if (byMenu) {
        rightClick(pane, row);
    } else {
        clickRow(pane, row);
        key(VK_DELETE);
    }
    expectAnswered(answer, int(byMenu) + int(asks));
    if (asks) {
        EXPECT_EQ("Ok to Delete?\n" + item, question) << where();
        modified_ = modified_ || yes;
        if (yes && view_ == NamesView)
            model_.deleteName(slot);
        else if (yes && view_ == ActionsView)
            model_.deleteAction(slot);
        else if (yes)
            person->entries.erase(person->entries.end() - 1 - row);
    }
    if (kStatusFollowsEveryChange && view_ == EntriesView)
        checkEntryStatus();
}

void Session::tickOrRemoveDate(Act act)
{
    ModelName& person = *model_.nameInSlot(shown_);
    ListBoxControl* pane = window().currentPane;
    int row = pickRow(pane);
    ModelEntry& entry = SessionModel::entryOfRow(person, row);
    if (act == Tick) {
        while (rowData(row) == EntryMemo)
            row = (row + 1) % rowCount(pane);
        ModelEntry& ticked = SessionModel::entryOfRow(person, row);
        did_ += ", tick row " + std::to_string(row);
        click(pane, row, true);
        ticked.kind = ticked.kind == ActionOpen ? ActionDone : ticked.kind == ActionDone ? ActionOpen
                      : ticked.kind == CheckboxOpen                                       ? CheckboxDone
                                                                                         : CheckboxOpen;
        if (ticked.date.empty() && ticked.kind != ActionOpen)
            ticked.date = stamp(g_now);
        modified_ = true;
        return;
    }
    bool byMenu = rnd_.percent(30);
    did_ += std::string(byMenu ? ", context menu Remove date" : ", Remove date") + " on row " + std::to_string(row);
    ModalAnswerer answer(5, 2000);
    if (byMenu) {
        answer.then("#32768", menuItem(5));
        rightClick(pane, row);
    } else {
        clickRow(pane, row);
        post(CMD_REMOVE_DATE);
    }
    expectAnswered(answer, int(byMenu));
    if (entry.kind <= ActionDone) {
        entry.date.clear();
        modified_ = true;
    }
    if (kStatusFollowsEveryChange)
        checkEntryStatus();
}

// The View menu, the view bar's buttons and double clicks on rows.
void Session::switchView(Act act)
{
    untitledView_ = untitledView_ && act == Back && view_ == NamesView;
    if (act == ViewNames || act == ViewActions) {
        did_ += act == ViewNames ? ", View > Names" : ", View > Action items";
        post(act == ViewNames ? CMD_VIEW_NAMES : CMD_VIEW_ACTIONS);
        view_ = act == ViewNames ? NamesView : ActionsView;
    } else if (act == Back || act == ActionsButton) {
        did_ += act == Back ? ", <<" : ", A";
        tvtest::clickButton(act == Back ? program::viewBar.backButton.hwnd : program::viewBar.actionsButton.hwnd);
        settle();
        if (act == ActionsButton)
            view_ = ActionsView;
        else if (view_ == PendingView)
            view_ = ActionsView;
        else
            view_ = NamesView;
    } else if (rowCount(window().currentPane) == 0) {
        did_ += ", double click in the empty list";
        RECT client;
        GetClientRect(window().currentPane->hwnd, &client);
        tvtest::clickAt(window().currentPane->hwnd, client.right / 2, client.bottom / 2);
        PostMessageA(window().currentPane->hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(client.right / 2, client.bottom / 2));
        settle();
    } else {
        int row = rnd_.below(rowCount(window().currentPane));
        did_ += ", double click on row " + std::to_string(row);
        shown_ = rowData(row);
        doubleClick(window().currentPane, row);
        view_ = view_ == ActionsView ? PendingView : EntriesView;
    }
    // The status line: emptied by "<<" and the Action items view, a note in the Pending view.
    if (view_ == PendingView)
        EXPECT_EQ("Action item not complete", statusText(0)) << where();
    else if (act == Back || view_ == ActionsView)
        EXPECT_EQ("", statusText(0)) << where();
}

// Save (Ctrl+S or the File menu) and Save as; the Save dialog for an
// untitled document and for Save as.
void Session::save(bool as)
{
    bool dialog = as || path_.empty();
    std::string typed = path_;
    std::string target = dialog ? freshPath(&typed) : path_;
    did_ += (as ? ", Save as " : ", Save ") + typed;
    std::string titleBefore = title();
    ModalAnswerer answer(5, 4000);
    if (dialog)
        answer.then("#32770", chooseFile(typed));
    if (!dialog && rnd_.percent(50)) {
        key('S', true);
    } else {
        post(as ? CMD_SAVE_AS : CMD_SAVE);
    }
    expectAnswered(answer, int(dialog));
    saved(target);
    EXPECT_EQ(titleBefore, title()) << where() << " (a save leaves the title alone)";
    if (!as && path_.empty())
        path_ = target;
}

// New, or the document closed and a file opened again: with the Open dialog,
// from the recent files of the File menu, or by Exit and a new start with
// the file on the command line. Each first asks "Save data?" when modified.
void Session::closeOrReopen(Act act)
{
    std::vector<std::string> known;
    for (const auto& file : files_)
        known.push_back(file.first);
    int recent = window().recentFiles.count();
    // 0 New, 1 Open dialog, 2 recent file, 3 Exit and start again, 4 Open dialog cancelled
    std::vector<int> ways = {0};
    if (act == Reopen) {
        ways = known.empty() ? std::vector<int>{} : std::vector<int>{1, 3};
        if (recent)
            ways.push_back(2);
    }
    int way = ways[rnd_.below(int(ways.size()))];
    if (way == 1 && rnd_.percent(10))
        way = 4;
    std::string file = known.empty() ? "" : known[rnd_.below(int(known.size()))];
    int recentId = CMD_RECENT_FIRST + rnd_.below(recent);
    if (way == 2) {
        char text[MAX_PATH] = "";
        GetMenuStringA(GetMenu(window().hwnd), recentId, text, sizeof text, MF_BYCOMMAND);
        file = text;
        ASSERT_TRUE(files_.count(file)) << where() << ": a recent file the session never saved: " << file;
    }
    static const char* const wayNames[] = {", New", ", Open ", ", recent file ", ", Exit and start with ",
                                       ", Open cancelled"};
    did_ += wayNames[way] + std::string(way == 1 || way == 2 || way == 3 ? file : "");

    std::string savedTo;
    int windows = int(modified_);
    int choice;
    {
        ModalAnswerer answer(5, 4000);
        choice = answerSaveData(answer, &savedTo);
        windows += choice == IDYES && path_.empty();
        if (choice != IDCANCEL && (way == 1 || way == 4)) {
            windows++;
            if (way == 1)
                answer.then("#32770", chooseFile(file));
            else
                answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDCANCEL)); });
        }
        static const int commands[] = {CMD_NEW, CMD_OPEN, 0, CMD_EXIT, CMD_OPEN};
        post(way == 2 ? recentId : commands[way]);
        expectAnswered(answer, windows);
    }
    if (choice == IDCANCEL) {
        EXPECT_FALSE(quit_) << where();
        return;
    }
    if (choice == IDYES)
        saved(savedTo);
    if (way == 3) {
        EXPECT_TRUE(quit_) << where() << " (Exit ends the program)";
        EXPECT_EQ(nullptr, window().hwnd) << where();
        restart(file);
    }
    model_ = SessionModel();
    path_.clear();
    modified_ = false;
    view_ = NamesView;
    untitledView_ = way == 0 || way == 4;
    if (way == 0 || way == 4) {
        EXPECT_EQ("Untitled - Tallyvane", title()) << where();
        return;
    }
    opened(file);
}

// Ctrl+C after a click on a row.
void Session::copy()
{
    ListBoxControl* pane = window().currentPane;
    int row = pickRow(pane);
    did_ += ", Ctrl+C on row " + std::to_string(row);
    clickRow(pane, row);
    char text[512] = "";
    SendMessageA(pane->hwnd, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
    setClipboard("before");
    key('C', true);
    EXPECT_EQ(view_ == PendingView ? std::string("before") : std::string(text), clipboardText()) << where();
}

// A key or menu item of another view: nothing happens, nothing is asked.
void Session::strayKey()
{
    static const struct {
        ViewMode view;
        UINT key;      // or 0
        int command;   // when key is 0
    } strays[] = {
        {NamesView, VK_F6, 0},   {NamesView, VK_F7, 0},   {NamesView, 0, CMD_REMOVE_DATE},
        {ActionsView, VK_F5, 0}, {ActionsView, VK_F8, 0}, {ActionsView, 0, CMD_ADD_MEMO},
        {EntriesView, VK_F5, 0}, {EntriesView, VK_F6, 0}, {PendingView, VK_F5, 0},
        {PendingView, VK_F7, 0}, {PendingView, VK_DELETE, 0}, {PendingView, 0, CMD_EDIT_SELECTED},
    };
    std::vector<int> mine;
    for (int i = 0; i < int(sizeof strays / sizeof strays[0]); ++i)
        if (strays[i].view == view_)
            mine.push_back(i);
    const auto& stray = strays[mine[rnd_.below(int(mine.size()))]];
    did_ += ", stray " + (stray.key ? "key " + std::to_string(stray.key) : "command " + std::to_string(stray.command));
    ModalAnswerer answer(5, 1000);
    if (stray.key)
        key(stray.key);
    else
        post(stray.command);
    expectAnswered(answer, 0);
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
        break;
    }
    }
    EXPECT_EQ(expectedTitle, title) << where();
    ASSERT_EQ(expected, shown) << where();
}

// "Done on" and the date of the highlighted entry, or nothing.
void Session::checkEntryStatus()
{
    int row = selection(&program::entriesPane);
    const ModelEntry* entry = row >= 0 ? &SessionModel::entryOfRow(*model_.nameInSlot(shown_), row) : nullptr;
    std::string expected = entry && entry->kind != EntryMemo && !entry->date.empty() ? "Done on " + entry->date : "";
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
    auto lineAt = [](const std::string& text, size_t at) {
        size_t start = text.rfind('\n', at ? at - 1 : 0);
        start = start == std::string::npos || at == 0 ? 0 : start + 1;
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

TEST_F(Session, RandomUserSessionsAgreeWithTheModel)
{
    int steps = envNumber("TV_SESSION_STEPS", 200);
    std::string seeds = getenv("TV_SESSION_SEEDS") ? getenv("TV_SESSION_SEEDS") : "1";
    int first = atoi(seeds.c_str());
    size_t dash = seeds.find('-');
    int last = dash == std::string::npos ? first : atoi(seeds.c_str() + dash + 1);
    for (int seed = first; seed <= last && !HasFailure(); ++seed)
        runSession(uint32_t(seed), steps);
}

}  // namespace
