// Long random sessions of a user in the real main window: names, action
// items, memos and single checkboxes added, edited, ticked and deleted, dates
// removed, names ticked from the Pending view, steps undone and redone,
// views switched, the file saved, closed and opened again. Every
// command goes in the way a person gives it (keys through the accelerator
// table, menu and context-menu items, clicks on rows and checkbox squares)
// and every prompt is answered in its window. SessionModel says what the
// document should be: the shown view is compared with it after every step,
// the file after every save, and every view after every reopen.
//
// TV_SESSION_SEEDS (a seed, or FIRST-LAST) and TV_SESSION_STEPS choose the
// sessions; scripts/session-soak.sh runs long ones. A failure names the seed,
// the step and what the step did; TV_SESSION_TRACE=1 prints every step.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/app/ProgramFixture.h"
#include "tests/app/commands/SessionModel.h"

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


enum Act { ViewNames, ViewActions, Back, ActionsButton, Save, SaveAs, New, Reopen, Copy, StrayKey,
           Add, AddCheckbox, Select, Edit, Delete, Open, Tick, RemoveDate, UndoRedo, MarkDone, ActCount };

// The session: SessionTest.cpp rolls and carries out the steps,
// SessionWindow.cpp gives the window its input, answers its boxes and
// compares what it shows.
class Session : public ProgramFixture {
protected:
    void SetUp() override;
    void TearDown() override;

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
    // The Save or Open dialog: the name put into its field, then its OK
    // button. (Typed character by character, a name can leave Wine's
    // completion list open over the button.)
    static ModalAnswerer::Step chooseFile(const std::string& name);
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
    void undoOrRedo();
    void markDone();
    // Before every change the window records in its undo history: the model
    // as it was, for Undo.
    void record();
    // The history as the session expects it: models before each step, and
    // after each undone one.
    void forgetHistory()
    {
        undo_.clear();
        redo_.clear();
        savedDepth_ = 0;
    }

    // Checks.
    void checkView();
    void checkEntryStatus();
    void checkAllViews();
    void checkFile(const std::string& path);
    void saved(const std::string& path);
    void opened(const std::string& path);

    std::map<std::string, SessionModel> files_;  // each saved file, as it reads back
    SessionModel model_;
    std::string path_;        // the file the document is tied to; "" untitled
    bool modified_ = false;
    std::vector<SessionModel> undo_;
    std::vector<SessionModel> redo_;
    int savedDepth_ = 0;      // undo_.size() at the last save; -1 when no undo or redo reaches it
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
