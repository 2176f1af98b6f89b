#include "document/UndoHistory.h"

#include <cstring>
#include <utility>

#include "document/Document.h"

namespace {

void copyDate(char* to, const char* from) { Document::copyField(to, 20, from); }

// The entry's present kind and date, in the form a step keeps them.
UndoHistory::EntryState stateOf(const Entry& entry, int32_t nameSlot, int32_t position) {
    UndoHistory::EntryState state = {nameSlot, position, entry.kind, {}};
    copyDate(state.date, entry.date);
    return state;
}

}  // namespace

void UndoHistory::push(Document& doc, Step step) {
    step.serial = nextSerial_++;
    redoSteps_.clear();
    undoSteps_.push_back(std::move(step));
    if (undoSteps_.size() > size_t(kMostSteps)) {
        // The oldest step goes; a name it hid is gone for good now.
        Step& oldest = undoSteps_.front();
        if (oldest.kind == HideName) doc.releaseHiddenEntries(oldest.slot);
        undoSteps_.pop_front();
    }
    doc.modified = 1;
    if (changed) changed();
}

int32_t UndoHistory::addName(Document& doc, const char* text) {
    int32_t before = doc.namesCount;
    int32_t slot = doc.addName(text);
    // A failed growth after the name was stored still leaves it in place.
    if (doc.namesCount != before) recordAddedNames(doc, before);
    return slot;
}

void UndoHistory::recordAddedNames(Document& doc, int32_t firstSlot) {
    if (firstSlot < 0 || firstSlot >= doc.namesCount) return;
    Step step(AddNames);
    step.slot = firstSlot;
    push(doc, std::move(step));
}

int UndoHistory::addAction(Document& doc, const char* text) {
    if (!doc.addActionWithEntries(text)) return 0;
    Step step(AddAction);
    step.slot = doc.actionCount - 1;
    push(doc, std::move(step));
    return 1;
}

int UndoHistory::addOwnEntry(Document& doc, int32_t nameSlot, int32_t kind, const char* text) {
    int added = kind == EntryMemo ? doc.addMemo(nameSlot, text) : doc.addCheckbox(nameSlot, text);
    NameRecord* record = doc.nameAt(nameSlot);
    // addMemo and addCheckbox fail before storing the entry, or after it
    // when the list could not grow; the entry then stays, as before.
    Entry* last = record && record->entryCount > 0 ? &record->entries[record->entryCount - 1] : nullptr;
    if (!added && !(last && last->kind == kind && last->text && std::strcmp(last->text, text) == 0)) return 0;
    Step step(AddEntry);
    step.slot = nameSlot;
    step.position = record->entryCount - 1;
    step.entryKind = kind;
    push(doc, std::move(step));
    return added;
}

int UndoHistory::editName(Document& doc, int32_t nameSlot, const char* text) {
    NameRecord* record = doc.nameAt(nameSlot);
    if (!record || !record->name[0]) return 0;
    Step step(EditName);
    step.slot = nameSlot;
    step.text = record->name;
    if (!doc.renameName(nameSlot, text)) return 0;
    push(doc, std::move(step));
    return 1;
}

int UndoHistory::editAction(Document& doc, int32_t actionSlot, const char* text) {
    if (actionSlot < 0 || actionSlot >= doc.actionCount || !doc.actions[actionSlot].text[0]) return 0;
    Step step(EditAction);
    step.slot = actionSlot;
    step.text = doc.actions[actionSlot].text;
    Document::copyField(doc.actions[actionSlot].text, Document::kTextSize, text);
    push(doc, std::move(step));
    return 1;
}

int UndoHistory::editEntry(Document& doc, int32_t nameSlot, int32_t position, const char* text) {
    Entry* entry = doc.entryAt(nameSlot, position);
    if (!entry) return 0;
    Step step(EditEntry);
    step.slot = nameSlot;
    step.position = position;
    step.text = entry->text ? entry->text : "";
    if (!doc.setEntryText(*entry, text)) return 0;
    push(doc, std::move(step));
    return 1;
}

void UndoHistory::deleteName(Document& doc, int32_t nameSlot) {
    NameRecord* record = doc.nameAt(nameSlot);
    if (!record || !record->name[0]) return;
    Step step(HideName);
    step.slot = nameSlot;
    step.text = record->name;
    doc.hideName(nameSlot);
    push(doc, std::move(step));
}

void UndoHistory::deleteAction(Document& doc, int32_t actionSlot) {
    if (actionSlot < 0 || actionSlot >= doc.actionCount || !doc.actions[actionSlot].text[0]) return;
    Step step(HideAction);
    step.slot = actionSlot;
    step.text = doc.actions[actionSlot].text;
    // The entries deleteActionItem marks deleted: each live name's first one.
    for (int32_t i = 0; i < doc.namesCount; ++i) {
        const NameRecord& record = doc.names[i];
        if (!record.name[0] || !record.entries) continue;
        for (int32_t k = 0; k < record.entryCount; ++k) {
            const Entry& entry = record.entries[k];
            if (isActionKind(entry.kind) && entry.actionIndex == actionSlot) {
                step.states.push_back(stateOf(entry, i, k));
                break;
            }
        }
    }
    doc.deleteActionItem(actionSlot);
    push(doc, std::move(step));
}

void UndoHistory::deleteEntry(Document& doc, int32_t nameSlot, int32_t position) {
    Entry* entry = doc.entryAt(nameSlot, position);
    if (!entry || entry->kind == EntryDeleted) return;
    Step step(HideEntry);
    step.slot = nameSlot;
    step.position = position;
    step.entryKind = entry->kind;
    step.text = entry->text ? entry->text : "";
    doc.deleteEntry(nameSlot, position);
    push(doc, std::move(step));
}

void UndoHistory::setEntryStates(Document& doc, const std::vector<EntryState>& states) {
    Step step(SetStates);
    for (const EntryState& state : states) {
        Entry* entry = doc.entryAt(state.nameSlot, state.position);
        if (!entry) continue;
        step.states.push_back(stateOf(*entry, state.nameSlot, state.position));
        entry->kind = state.kind;
        copyDate(entry->date, state.date);
    }
    if (step.states.empty()) return;
    step.slot = step.states.front().nameSlot;
    step.position = step.states.front().position;
    push(doc, std::move(step));
}

namespace {

// Swaps the stored states with the entries' present ones, so the same call
// takes a group of ticks back and makes it again.
void swapStates(Document& doc, std::vector<UndoHistory::EntryState>& states) {
    for (UndoHistory::EntryState& state : states) {
        Entry* entry = doc.entryAt(state.nameSlot, state.position);
        if (!entry) continue;
        UndoHistory::EntryState present = stateOf(*entry, state.nameSlot, state.position);
        entry->kind = state.kind;
        copyDate(entry->date, state.date);
        state = present;
    }
}

void swapText(char* field, std::string& text) {
    std::string present = field;
    Document::copyField(field, Document::kTextSize, text.c_str());
    text = std::move(present);
}

}  // namespace

UndoHistory::Target UndoHistory::revert(Document& doc, Step& step) {
    Target target;
    switch (step.kind) {
    case AddNames:
        // Each added name is still at the end of the table.
        step.names.clear();
        for (int32_t slot = step.slot; slot < doc.namesCount; ++slot) step.names.push_back(doc.names[slot].name);
        while (doc.namesCount > step.slot) doc.removeLastName();
        target.what = Target::Names;
        return target;
    case AddAction:
        step.text = doc.actionText(step.slot);
        doc.removeLastAction();
        target.what = Target::ActionItems;
        return target;
    case AddEntry: {
        Entry* entry = doc.entryAt(step.slot, step.position);
        step.text = entry && entry->text ? entry->text : "";
        doc.removeLastEntry(step.slot);
        target.what = Target::Entries;
        target.slot = step.slot;
        return target;
    }
    case HideName:
        doc.restoreName(step.slot, step.text.c_str());
        target.what = Target::Names;
        target.slot = step.slot;
        return target;
    case HideAction:
        doc.restoreAction(step.slot, step.text.c_str());
        for (const EntryState& state : step.states) doc.restoreEntry(state.nameSlot, state.position, state.kind, nullptr);
        target.what = Target::ActionItems;
        target.slot = step.slot;
        return target;
    case HideEntry:
        if (!doc.restoreEntry(step.slot, step.position, step.entryKind, step.text.c_str())) return target;
        target.what = Target::Entries;
        target.slot = step.slot;
        target.position = step.position;
        return target;
    default:
        return reapply(doc, step);
    }
}

UndoHistory::Target UndoHistory::reapply(Document& doc, Step& step) {
    Target target;
    switch (step.kind) {
    case AddNames: {
        for (size_t i = 0; i < step.names.size(); ++i) {
            if (doc.addName(step.names[i].c_str()) != -1) continue;
            // Short of memory: what could not be made again is taken back.
            while (doc.namesCount > step.slot) doc.removeLastName();
            return target;
        }
        target.what = Target::Names;
        target.slot = step.names.size() == 1 ? step.slot : -1;
        return target;
    }
    case AddAction:
        if (!doc.addActionWithEntries(step.text.c_str())) return target;
        target.what = Target::ActionItems;
        target.slot = step.slot;
        return target;
    case AddEntry:
        if (!(step.entryKind == EntryMemo ? doc.addMemo(step.slot, step.text.c_str())
                                          : doc.addCheckbox(step.slot, step.text.c_str())))
            return target;
        target.what = Target::Entries;
        target.slot = step.slot;
        target.position = step.position;
        return target;
    case EditName:
        if (NameRecord* record = doc.nameAt(step.slot)) {
            std::string present = record->name;
            if (doc.renameName(step.slot, step.text.c_str())) step.text = std::move(present);
        }
        target.what = Target::Names;
        target.slot = step.slot;
        return target;
    case EditAction:
        if (step.slot >= 0 && step.slot < doc.actionCount) swapText(doc.actions[step.slot].text, step.text);
        target.what = Target::ActionItems;
        target.slot = step.slot;
        return target;
    case EditEntry: {
        Entry* entry = doc.entryAt(step.slot, step.position);
        if (!entry) return target;
        std::string present = entry->text ? entry->text : "";
        if (!doc.setEntryText(*entry, step.text.c_str())) return target;
        step.text = std::move(present);
        target.what = Target::Entries;
        target.slot = step.slot;
        target.position = step.position;
        return target;
    }
    case HideName:
        doc.hideName(step.slot);
        target.what = Target::Names;
        return target;
    case HideAction:
        doc.deleteActionItem(step.slot);
        target.what = Target::ActionItems;
        return target;
    case HideEntry:
        doc.deleteEntry(step.slot, step.position);
        target.what = Target::Entries;
        target.slot = step.slot;
        return target;
    case SetStates: {
        swapStates(doc, step.states);
        const EntryState& first = step.states.front();
        Entry* entry = doc.entryAt(first.nameSlot, first.position);
        target.what = Target::Ticks;
        target.slot = first.nameSlot;
        target.position = first.position;
        target.action = entry && isActionKind(entry->kind) ? entry->actionIndex : -1;
        return target;
    }
    }
    return target;
}

UndoHistory::Target UndoHistory::undo(Document& doc) {
    if (undoSteps_.empty()) return Target();
    Target target = revert(doc, undoSteps_.back());
    if (target.what == Target::Nothing) return target;
    redoSteps_.push_back(std::move(undoSteps_.back()));
    undoSteps_.pop_back();
    settleModified(doc);
    if (changed) changed();
    return target;
}

UndoHistory::Target UndoHistory::redo(Document& doc) {
    if (redoSteps_.empty()) return Target();
    Target target = reapply(doc, redoSteps_.back());
    if (target.what == Target::Nothing) return target;
    undoSteps_.push_back(std::move(redoSteps_.back()));
    redoSteps_.pop_back();
    settleModified(doc);
    if (changed) changed();
    return target;
}

void UndoHistory::settleModified(Document& doc) const { doc.modified = currentSerial() != savedSerial_; }

void UndoHistory::clear() {
    undoSteps_.clear();
    redoSteps_.clear();
    savedSerial_ = 0;
    if (changed) changed();
}

void UndoHistory::markSaved() {
    savedSerial_ = currentSerial();
    if (changed) changed();
}

void UndoHistory::clearUnsaved() {
    undoSteps_.clear();
    redoSteps_.clear();
    savedSerial_ = UINT32_MAX;   // no serial reaches it
    if (changed) changed();
}
