// The session test's steps: what a user does next, rolled from the seed,
// carried out in the window and written into the model.
#include "tests/app/commands/SessionTest.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/grid/CompletionDate.h"
#include "resource.h"

namespace {

int envNumber(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value && *value ? atoi(value) : fallback;
}

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

}  // namespace

void Session::SetUp()
{
    ProgramFixture::SetUp();
    CompletionDate::setLocalTimeReader(stepClock);
}

void Session::TearDown()
{
    CompletionDate::setLocalTimeReader(nullptr);
    ProgramFixture::TearDown();
    forgetFiles();
}

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
    forgetHistory();
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

Act Session::choose()
{
    int names = int(model_.names.size()), actions = int(model_.actions.size());
    int rows = rowCount(window().currentPane);
    // Weights per view, in the order of Act.
    static const int weights[4][ActCount] = {
        // VN VA Bk AB Sv SA Nw Ro Cp St Ad AC Se Ed De Op Ti RD UR MD
        {1, 3, 1, 2, 3, 1, 1, 1, 1, 1, 8, 0, 3, 5, 3, 14, 0, 0, 4, 0},   // Names
        {3, 1, 3, 1, 2, 1, 1, 1, 1, 1, 6, 0, 2, 4, 2, 5, 0, 0, 3, 0},    // Action items
        {1, 1, 2, 1, 1, 1, 0, 1, 1, 1, 5, 5, 4, 5, 4, 0, 14, 4, 4, 0},   // Entries
        {2, 2, 4, 1, 1, 0, 0, 1, 1, 2, 0, 0, 1, 0, 0, 6, 0, 0, 3, 6},    // Pending
    };
    int w[ActCount];
    for (int a = 0; a < ActCount; ++a) {
        w[a] = weights[view_][a];
        bool needsRow = a == Copy || a == Select || a == Edit || a == Delete ||
                        a == Tick || a == RemoveDate || a == MarkDone;
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
    case UndoRedo: undoOrRedo(); break;
    case MarkDone: markDone(); break;
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
    record();
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
        if (yes)
            record();
        if (yes && view_ == NamesView)
            model_.deleteName(slot);
        else if (yes && view_ == ActionsView)
            model_.deleteAction(slot);
        else if (yes)
            person->entries.erase(person->entries.end() - 1 - row);
    }
    if (view_ == EntriesView)
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
        record();
        ticked.kind = ticked.kind == ActionOpen ? ActionDone : ticked.kind == ActionDone ? ActionOpen
                      : ticked.kind == CheckboxOpen                                       ? CheckboxDone
                                                                                         : CheckboxOpen;
        if (ticked.date.empty() && ticked.kind != ActionOpen)
            ticked.date = stamp(g_now);
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
        record();
        entry.date.clear();
    }
    checkEntryStatus();
}

// The View menu, the view bar's buttons and double clicks on rows.
void Session::switchView(Act act)
{
    // The view bar's title stays empty until a view is really shown; a double
    // click in an empty list shows none.
    bool emptyDoubleClick = act == Open && rowCount(window().currentPane) == 0;
    untitledView_ = untitledView_ && ((act == Back && view_ == NamesView) || emptyDoubleClick);
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
    } else if (emptyDoubleClick) {
        did_ += ", double click in the empty list";
        RECT client;
        GetClientRect(window().currentPane->hwnd, &client);
        tvtest::doubleClickAt(window().currentPane->hwnd, client.right / 2, client.bottom / 2);
        settle();
    } else {
        int row = rnd_.below(rowCount(window().currentPane));
        did_ += ", double click on row " + std::to_string(row);
        shown_ = rowData(row);
        doubleClick(window().currentPane, row);
        view_ = view_ == ActionsView ? PendingView : EntriesView;
    }
    // The status line: emptied by "<<" and the Action items view, a note in the Pending view.
    if (view_ == PendingView) {
        EXPECT_EQ("Action item not complete", statusText(0)) << where();
    } else if (act == Back || view_ == ActionsView) {
        EXPECT_EQ("", statusText(0)) << where();
    }
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
    if (!as && path_.empty()) {
        // The first save ties the document to its file, and the title says so.
        path_ = target;
        EXPECT_EQ(target.substr(target.rfind('\\') + 1) + " - Tallyvane", title()) << where();
    } else {
        EXPECT_EQ(titleBefore, title()) << where() << " (a save leaves the title alone)";
    }
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
    forgetHistory();
    view_ = NamesView;
    untitledView_ = way == 0 || way == 4;
    if (way == 0 || way == 4) {
        EXPECT_EQ("Untitled - Tallyvane", title()) << where();
        return;
    }
    opened(file);
}

// Ctrl+C after a click on a row: its text, or in the Pending view every name.
void Session::copy()
{
    ListBoxControl* pane = window().currentPane;
    int row = pickRow(pane);
    did_ += ", Ctrl+C on row " + std::to_string(row);
    clickRow(pane, row);
    char text[512] = "";
    SendMessageA(pane->hwnd, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
    std::string expected = text;
    if (view_ == PendingView) {
        expected.clear();
        for (const std::string& shown : rows(pane))
            expected += shown + "\r\n";
    }
    setClipboard("before");
    key('C', true);
    EXPECT_EQ(expected, clipboardText()) << where();
}

void Session::record()
{
    // The saved state was undone past and is out of reach once a new step drops the redo list.
    if (savedDepth_ > int(undo_.size()))
        savedDepth_ = -1;
    undo_.push_back(model_);
    redo_.clear();
    if (int(undo_.size()) > UndoHistory::kMostSteps) {
        undo_.erase(undo_.begin());
        savedDepth_ = savedDepth_ > 0 ? savedDepth_ - 1 : -1;
    }
    modified_ = true;
}

// Ctrl+Z or Ctrl+Y, or the Edit menu's items: the model goes back or
// forward a step, and the window shows the view of what changed.
void Session::undoOrRedo()
{
    bool redo = rnd_.percent(35);
    bool byMenu = rnd_.percent(30);
    did_ += std::string(byMenu ? ", Edit > " : ", Ctrl+") + (redo ? (byMenu ? "Redo" : "Y") : (byMenu ? "Undo" : "Z"));
    std::vector<SessionModel>& from = redo ? redo_ : undo_;
    std::vector<SessionModel>& to = redo ? undo_ : redo_;
    ModalAnswerer answer(5, 1000);
    if (byMenu)
        post(redo ? CMD_REDO : CMD_UNDO);
    else
        key(redo ? 'Y' : 'Z', true);
    expectAnswered(answer, 0);
    if (from.empty()) {
        did_ += " (nothing to do)";
        return;
    }
    to.push_back(model_);
    model_ = from.back();
    from.pop_back();
    modified_ = int(undo_.size()) != savedDepth_;
    // Which view shows the change is the window's choice; what it shows is checked.
    view_ = window().viewMode;
    if (view_ == EntriesView || view_ == PendingView)
        shown_ = window().currentItem;
    untitledView_ = false;
    did_ += std::string(" -> ") + (view_ == NamesView ? "Names" : view_ == ActionsView ? "Action items"
                                   : view_ == EntriesView ? "Entries" : "Pending");
}

// Names of the Pending view ticked: a row clicked, sometimes Shift+Down to
// take the next ones too, then Space, Mark done in the Edit menu or the
// context menu's Mark done.
void Session::markDone()
{
    ListBoxControl* pane = window().currentPane;
    int count = rowCount(pane);
    int row = rnd_.below(count);
    int more = count - row > 1 ? rnd_.below(std::min(3, count - row)) : 0;
    int way = rnd_.below(3);
    did_ += ", click row " + std::to_string(row) + (more ? ", Shift+Down x" + std::to_string(more) : "") +
            (way == 0 ? ", Space" : way == 1 ? ", Edit > Mark done" : ", context menu Mark done");
    click(pane, row);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    for (int i = 0; i < more; ++i) {
        tvtest::pressKey(pane->hwnd, VK_DOWN);
        settle();
    }
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    std::vector<int> ticked;  // name slots: two names may read alike
    for (int r = row; r <= row + more; ++r) ticked.push_back(rowData(r));
    ModalAnswerer answer(5, 2000);
    if (way == 2)
        answer.then("#32768", menuItem(0));
    if (way == 0)
        key(VK_SPACE);
    else if (way == 1)
        post(CMD_MARK_DONE);
    else
        rightClick(pane, row);  // inside the selection: it stays whole
    expectAnswered(answer, int(way == 2));

    record();
    for (ModelName& person : model_.names) {
        if (std::find(ticked.begin(), ticked.end(), person.slot) == ticked.end())
            continue;
        for (ModelEntry& entry : person.entries) {
            if (entry.kind == ActionOpen && entry.action == shown_) {
                entry.kind = ActionDone;
                if (entry.date.empty())
                    entry.date = stamp(g_now);
                break;
            }
        }
    }
    int left = count - 1 - more;
    EXPECT_EQ(left, rowCount(pane)) << where();
    int next = left == 0 ? -1 : std::min(row, left - 1);
    EXPECT_EQ(next, window().pendingRow()) << where() << " (the name after the ticked ones)";
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

