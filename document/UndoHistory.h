// The Undo and Redo lists of the open document. Every editing command goes
// through one of the operations below, which changes the document and keeps
// what it takes to go back: the other state of the entries touched, the text
// replaced, or the slot added or hidden. Nothing copies the whole document.
//
// Steps go back in the order they were made, so a step always finds the
// document as it left it: the name, action item or entry it added is still
// the last of its table or list, and so on. Anything that changes the
// document outside these operations (Open, New, a reload, a merge) must call
// clear() first; a hidden name's entries stay in its slot until then.
//
// The document is passed to every call and never kept, so the program can
// refill or replace it as long as it clears the history.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class Document;

class UndoHistory {
public:
    // At least this many of the latest steps can be undone.
    static constexpr int kMostSteps = 100;

    // One entry's kind and date, as a tick, an untick or Remove date leaves them.
    struct EntryState {
        int32_t nameSlot;
        int32_t position;
        int32_t kind;
        char date[20];
    };

    // What an undone or redone step changed, for the window to show it.
    struct Target {
        enum What { Nothing, Names, ActionItems, Entries, Ticks } what = Nothing;
        int32_t slot = -1;      // Names: the name; ActionItems: the item; Entries, Ticks: the person
        int32_t position = -1;  // Entries, Ticks: the entry (the first one of a group of ticks)
        int32_t action = -1;    // Ticks of action entries: the action item they belong to
    };

    // --- the editing operations; each returns 0 (or -1 for a slot) and
    // records nothing when the document refused the change for lack of memory.
    int32_t addName(Document& doc, const char* text);
    int addAction(Document& doc, const char* text);
    int addOwnEntry(Document& doc, int32_t nameSlot, int32_t kind, const char* text);
    int editName(Document& doc, int32_t nameSlot, const char* text);
    int editAction(Document& doc, int32_t actionSlot, const char* text);
    int editEntry(Document& doc, int32_t nameSlot, int32_t position, const char* text);
    // Hides the name; its entries stay in the slot for Undo.
    void deleteName(Document& doc, int32_t nameSlot);
    void deleteAction(Document& doc, int32_t actionSlot);
    void deleteEntry(Document& doc, int32_t nameSlot, int32_t position);
    // Gives each entry the kind and date of its state, as one step.
    void setEntryStates(Document& doc, const std::vector<EntryState>& states);
    // Records names that were already added at firstSlot and after it (a
    // roster import), as one step.
    void recordAddedNames(Document& doc, int32_t firstSlot);

    // Goes one step back or forward; the document's modified flag is 0 when
    // that reaches the state of the last save. Target::Nothing when there was
    // no step, or the step could not be made again for lack of memory (it
    // then stays where it was).
    Target undo(Document& doc);
    Target redo(Document& doc);
    bool canUndo() const { return !undoSteps_.empty(); }
    bool canRedo() const { return !redoSteps_.empty(); }

    // The present state is the one of the last save (or of the last clear()).
    bool atSavedState() const { return currentSerial() == savedSerial_; }
    // Runs after every step made, undone or redone, and after clear,
    // markSaved and clearUnsaved: the one signal that the document or its
    // saved state changed (the document session keeps its modified flag and
    // recovery file by it).
    std::function<void()> changed;

    // Forgets every step; the present state counts as saved.
    void clear();
    // The document was saved as it is now.
    void markSaved();
    // Forgets every step; the present state is saved nowhere (changes
    // restored after a crash), so no undo or redo clears the modified flag
    // before the next save.
    void clearUnsaved();

private:
    enum Kind { AddNames, AddAction, AddEntry, EditName, EditAction, EditEntry, HideName, HideAction, HideEntry,
                SetStates };
    struct Step {
        explicit Step(Kind k) : kind(k) {}
        Kind kind;
        uint32_t serial = 0;
        int32_t slot = -1;                 // name or action slot
        int32_t position = -1;             // entry position
        int32_t entryKind = 0;             // AddEntry, HideEntry: the entry's kind
        std::string text;                  // the other text; HideEntry: the entry's text
        std::vector<std::string> names;    // AddNames: the names from slot on
        std::vector<EntryState> states;    // SetStates: the other states; HideAction: the entries hidden
    };

    void push(Document& doc, Step step);
    // Each returns the step's target, or Target::Nothing when memory ran out.
    Target revert(Document& doc, Step& step);
    Target reapply(Document& doc, Step& step);
    void settleModified(Document& doc) const;
    uint32_t currentSerial() const { return undoSteps_.empty() ? 0 : undoSteps_.back().serial; }

    std::deque<Step> undoSteps_;
    std::deque<Step> redoSteps_;
    uint32_t nextSerial_ = 1;
    uint32_t savedSerial_ = 0;  // currentSerial() at the last save; 0 is the empty history
};
