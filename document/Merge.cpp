#include "document/Merge.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/CompletionStamp.h"
#include "document/Document.h"
#include "document/MergeMatch.h"

namespace {

enum Copy { Base = 0, Mine = 1, Theirs = 2 };
const int kCopies = 3;

// The state of a checkbox, an action's or a single one: its kind and date.
struct Cell {
    int32_t kind;
    const char* date;
    bool operator==(const Cell& other) const { return kind == other.kind && strcmp(date, other.date) == 0; }
    bool operator!=(const Cell& other) const { return !(*this == other); }
    bool done() const { return (kind == ActionDone || kind == CheckboxDone) && date[0]; }
};

// One input document: its live action items and names in table order.
struct Input {
    const Document* doc = nullptr;
    std::vector<int32_t> actions;        // live action slots
    std::vector<int32_t> names;          // live name slots
    std::vector<int32_t> actionOrdinal;  // action slot -> index in actions, or -1
    std::vector<int> baseOf;             // action index -> matched base action, or -1 (for base: itself)
    std::vector<int> ofBase;             // base action -> matched action index, or -1
    std::vector<int> nameBaseOf;         // likewise for names
    std::vector<int> nameOfBase;
    std::vector<int> resultAction;       // action index -> result action, or -1
};

// One person's entries in one input: where each action's checkbox and
// each own entry (memo or single checkbox) lies in the list.
struct PersonEntries {
    const NameRecord* record = nullptr;
    std::vector<int32_t> cellAt;   // action index -> entry position, or -1
    std::vector<int32_t> own;      // positions of the memos and single checkboxes, in order

    void read(const Input& input, int nameIndex)
    {
        record = nullptr;
        cellAt.assign(input.actions.size(), -1);
        own.clear();
        if (nameIndex < 0)
            return;
        record = input.doc->nameAt(input.names[size_t(nameIndex)]);
        for (int32_t k = 0; record && record->entries && k < record->entryCount; ++k) {
            const Entry& entry = record->entries[k];
            if (isActionKind(entry.kind)) {
                int32_t slot = entry.actionIndex;
                if (slot >= 0 && size_t(slot) < input.actionOrdinal.size() && input.actionOrdinal[size_t(slot)] >= 0 &&
                    cellAt[size_t(input.actionOrdinal[size_t(slot)])] < 0)
                    cellAt[size_t(input.actionOrdinal[size_t(slot)])] = k;
            } else if (hasOwnText(entry.kind)) {
                own.push_back(k);
            }
        }
    }
    const Entry& entry(int32_t position) const { return record->entries[position]; }
    // The checkbox of action index, or an open one without a date when there is none.
    Cell cell(int action) const
    {
        if (action < 0 || !record || cellAt[size_t(action)] < 0)
            return Cell{ActionOpen, ""};
        const Entry& e = entry(cellAt[size_t(action)]);
        return Cell{e.kind, e.date};
    }
};

// What the result holds: an action item or a name, and where it came from.
struct Item {
    int from[kCopies] = {-1, -1, -1};   // index in each input, or -1
    std::string text;
};

// One own entry of a result person.
struct OwnItem {
    int32_t from[kCopies] = {-1, -1, -1};   // position in each input's list, or -1
    int32_t kind;
    std::string text;
    std::string date;
};

// The upper-case key names and action items are matched by.
std::string keyOf(const char* text)
{
    std::string key(text);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return key;
}

const char* sideName(int copy) { return copy == Mine ? "here" : "in the other copy"; }

class Merger {
public:
    Merger(const Document& base, const Document& mine, const Document& theirs, MergeReport& report)
        : report_(report)
    {
        in_[Base].doc = &base;
        in_[Mine].doc = &mine;
        in_[Theirs].doc = &theirs;
    }

    int run(Document& result)
    {
        for (Input& input : in_)
            list(input);
        matchNames();
        matchActions();
        findRenamedNames();
        pickActions();
        pickNames();
        return build(result);
    }

private:
    static void list(Input& input)
    {
        const Document& doc = *input.doc;
        input.actionOrdinal.assign(size_t(doc.actionCount), -1);
        for (int32_t i = 0; i < doc.actionCount; ++i)
            if (doc.actions[i].text[0]) {
                input.actionOrdinal[size_t(i)] = int32_t(input.actions.size());
                input.actions.push_back(i);
            }
        for (int32_t i = 0; i < doc.namesCount; ++i)
            if (doc.names[i].name[0] && doc.names[i].entries)
                input.names.push_back(i);
    }

    const char* actionText(int copy, int index) const
    {
        return in_[copy].doc->actions[in_[copy].actions[size_t(index)]].text;
    }
    const char* nameText(int copy, int index) const
    {
        return in_[copy].doc->names[in_[copy].names[size_t(index)]].name;
    }

    void matchNames()
    {
        std::vector<std::string> baseKeys;
        for (size_t i = 0; i < in_[Base].names.size(); ++i)
            baseKeys.push_back(keyOf(nameText(Base, int(i))));
        for (int copy = 0; copy < kCopies; ++copy) {
            std::vector<std::string> keys;
            for (size_t i = 0; i < in_[copy].names.size(); ++i)
                keys.push_back(keyOf(nameText(copy, int(i))));
            in_[copy].nameBaseOf = MergeMatch::byKey(baseKeys, keys);
            in_[copy].nameOfBase = MergeMatch::inverse(in_[copy].nameBaseOf, baseKeys.size());
        }
    }

    // Actions are matched by text; a rename is one base action gone and one
    // new action whose checkboxes are those of the base action, person by
    // person (persons matched by text).
    void matchActions()
    {
        std::vector<std::string> baseKeys;
        for (size_t i = 0; i < in_[Base].actions.size(); ++i)
            baseKeys.push_back(keyOf(actionText(Base, int(i))));
        for (int copy = 0; copy < kCopies; ++copy) {
            Input& input = in_[copy];
            std::vector<std::string> keys;
            for (size_t i = 0; i < input.actions.size(); ++i)
                keys.push_back(keyOf(actionText(copy, int(i))));
            input.baseOf = MergeMatch::byKey(baseKeys, keys);
            input.ofBase = MergeMatch::inverse(input.baseOf, baseKeys.size());
            int gone = MergeMatch::soleUnmatched(input.ofBase);
            int added = MergeMatch::soleUnmatched(input.baseOf);
            if (copy != Base && gone >= 0 && added >= 0 && sameColumn(copy, gone, added)) {
                input.baseOf[size_t(added)] = gone;
                input.ofBase[size_t(gone)] = added;
            }
        }
    }

    bool sameColumn(int copy, int baseAction, int action)
    {
        for (size_t n = 0; n < in_[Base].names.size(); ++n) {
            int other = in_[copy].nameOfBase[n];
            if (other < 0)
                continue;
            person_[Base].read(in_[Base], int(n));
            person_[copy].read(in_[copy], other);
            if (person_[Base].cell(baseAction) != person_[copy].cell(action))
                return false;
        }
        return true;
    }

    // A person of copy (index name) differs from the base person (index
    // baseName) in a checkbox, a memo or a single checkbox.
    bool personChanged(int copy, int baseName, int name)
    {
        person_[Base].read(in_[Base], baseName);
        person_[copy].read(in_[copy], name);
        const Input& input = in_[copy];
        for (size_t a = 0; a < input.actions.size(); ++a) {
            int baseAction = input.baseOf[a];
            Cell was = baseAction >= 0 ? person_[Base].cell(baseAction) : Cell{ActionOpen, ""};
            if (person_[copy].cell(int(a)) != was)
                return true;
        }
        const PersonEntries& before = person_[Base];
        const PersonEntries& after = person_[copy];
        if (before.own.size() != after.own.size())
            return true;
        for (size_t i = 0; i < before.own.size(); ++i) {
            const Entry& x = before.entry(before.own[i]);
            const Entry& y = after.entry(after.own[i]);
            if (x.kind != y.kind || strcmp(x.text ? x.text : "", y.text ? y.text : "") != 0 ||
                strcmp(x.date, y.date) != 0)
                return true;
        }
        return false;
    }

    void findRenamedNames()
    {
        for (int copy = Mine; copy <= Theirs; ++copy) {
            Input& input = in_[copy];
            int gone = MergeMatch::soleUnmatched(input.nameOfBase);
            int added = MergeMatch::soleUnmatched(input.nameBaseOf);
            if (gone >= 0 && added >= 0 && !personChanged(copy, gone, added)) {
                input.nameBaseOf[size_t(added)] = gone;
                input.nameOfBase[size_t(gone)] = added;
            }
        }
    }

    // An action item changed by copy: renamed, or a checkbox of a person
    // that both copy and base have.
    bool actionChanged(int copy, int baseAction)
    {
        int action = in_[copy].ofBase[size_t(baseAction)];
        if (strcmp(actionText(copy, action), actionText(Base, baseAction)) != 0)
            return true;
        return !sameColumn(copy, baseAction, action);
    }

    // The text of an item both copies kept: a change on one side only wins;
    // changed on both, theirs.
    std::string pickText(const char* was, const char* mine, const char* theirs, const std::string& what)
    {
        if (strcmp(mine, was) != 0 && strcmp(theirs, was) == 0)
            return mine;
        if (strcmp(mine, was) != 0 && strcmp(mine, theirs) != 0)
            report_.addChoice(what + ": renamed on both sides; kept \"" + theirs + "\", other \"" + mine + "\"");
        return theirs;
    }

    // The result's action items: theirs in their order, then the ones only
    // mine has, as Add action appends them.
    void pickActions()
    {
        Input& mine = in_[Mine];
        Input& theirs = in_[Theirs];
        std::vector<int> mineNew, theirsNew;
        for (size_t i = 0; i < mine.actions.size(); ++i)
            if (mine.baseOf[i] < 0)
                mineNew.push_back(int(i));
        for (size_t i = 0; i < theirs.actions.size(); ++i)
            if (theirs.baseOf[i] < 0)
                theirsNew.push_back(int(i));
        // Added on both sides: one item.
        std::vector<int> pairOf =
            pairNew(theirs.actions.size(), theirsNew, mineNew, [this](int copy, int i) { return keyOf(actionText(copy, i)); });

        for (Copy copy : {Base, Mine, Theirs})
            in_[copy].resultAction.assign(in_[copy].actions.size(), -1);
        for (size_t t = 0; t < theirs.actions.size(); ++t) {
            int b = theirs.baseOf[t];
            Item item;
            item.from[Theirs] = int(t);
            if (b >= 0) {
                int m = mine.ofBase[size_t(b)];
                if (m < 0 && !actionChanged(Theirs, b))
                    continue;   // deleted here, untouched there
                item.from[Base] = b;
                item.from[Mine] = m;
                if (m < 0) {
                    item.text = actionText(Theirs, int(t));
                    report_.addChoice(std::string(actionText(Base, b)) +
                                      ": deleted here but changed in the other copy; kept");
                } else {
                    item.text = pickText(actionText(Base, b), actionText(Mine, m), actionText(Theirs, int(t)),
                                         actionText(Base, b));
                }
            } else {
                item.from[Mine] = pairOf[t];
                item.text = actionText(Theirs, int(t));
                if (item.from[Mine] < 0)
                    report_.actions++;
            }
            addAction(item);
        }
        for (size_t m = 0; m < mine.actions.size(); ++m) {
            if (mine.resultAction[m] >= 0)
                continue;
            int b = mine.baseOf[m];
            Item item;
            item.from[Mine] = int(m);
            item.text = actionText(Mine, int(m));
            if (b >= 0) {
                // Theirs placed every item both kept: this one theirs deleted.
                if (!actionChanged(Mine, b)) {
                    report_.removed++;
                    continue;   // deleted there, untouched here
                }
                item.from[Base] = b;
                report_.addChoice(std::string(actionText(Base, b)) + ": deleted in the other copy but changed here; kept");
            }
            addAction(item);
        }
    }

    void addAction(const Item& item)
    {
        int index = int(actions_.size());
        for (int copy = 0; copy < kCopies; ++copy)
            if (item.from[copy] >= 0)
                in_[copy].resultAction[size_t(item.from[copy])] = index;
        actions_.push_back(item);
    }

    // Pairs the k-th new item of theirs with the k-th new item of mine of the
    // same key: for each of theirsNew (by index in theirs), mine's index or -1.
    template <class KeyOf>
    std::vector<int> pairNew(size_t theirsCount, const std::vector<int>& theirsNew, const std::vector<int>& mineNew,
                             KeyOf keyOfItem)
    {
        std::vector<std::string> mineKeys, theirsKeys;
        for (int i : mineNew)
            mineKeys.push_back(keyOfItem(Mine, i));
        for (int i : theirsNew)
            theirsKeys.push_back(keyOfItem(Theirs, i));
        std::vector<int> matched = MergeMatch::byKey(mineKeys, theirsKeys);
        std::vector<int> pairOf(theirsCount, -1);
        for (size_t i = 0; i < theirsNew.size(); ++i)
            if (matched[i] >= 0)
                pairOf[size_t(theirsNew[i])] = mineNew[size_t(matched[i])];
        return pairOf;
    }

    // The result's names: theirs in their order, then the ones only mine
    // has, as Add name appends them.
    void pickNames()
    {
        Input& mine = in_[Mine];
        Input& theirs = in_[Theirs];
        std::vector<int> mineNew, theirsNew;
        for (size_t i = 0; i < mine.names.size(); ++i)
            if (mine.nameBaseOf[i] < 0)
                mineNew.push_back(int(i));
        for (size_t i = 0; i < theirs.names.size(); ++i)
            if (theirs.nameBaseOf[i] < 0)
                theirsNew.push_back(int(i));
        std::vector<int> pairOf =
            pairNew(theirs.names.size(), theirsNew, mineNew, [this](int copy, int i) { return keyOf(nameText(copy, i)); });
        std::vector<char> placed(mine.names.size(), 0);

        for (size_t t = 0; t < theirs.names.size(); ++t) {
            int b = theirs.nameBaseOf[t];
            Item item;
            item.from[Theirs] = int(t);
            if (b >= 0) {
                int m = mine.nameOfBase[size_t(b)];
                if (m < 0) {
                    if (!personChanged(Theirs, b, int(t)) && strcmp(nameText(Theirs, int(t)), nameText(Base, b)) == 0)
                        continue;   // deleted here, untouched there
                    report_.addChoice(std::string(nameText(Base, b)) + ": deleted here but changed in the other copy; kept");
                    item.text = nameText(Theirs, int(t));
                } else {
                    placed[size_t(m)] = 1;
                    item.text = pickText(nameText(Base, b), nameText(Mine, m), nameText(Theirs, int(t)), nameText(Base, b));
                }
                item.from[Base] = b;
                item.from[Mine] = m;
            } else {
                item.from[Mine] = pairOf[t];
                if (item.from[Mine] >= 0)
                    placed[size_t(item.from[Mine])] = 1;
                else
                    report_.names++;
                item.text = nameText(Theirs, int(t));
            }
            names_.push_back(item);
        }
        for (size_t m = 0; m < mine.names.size(); ++m) {
            if (placed[m])
                continue;
            int b = mine.nameBaseOf[m];
            Item item;
            item.from[Mine] = int(m);
            item.text = nameText(Mine, int(m));
            if (b >= 0) {
                if (!personChanged(Mine, b, int(m)) && strcmp(nameText(Mine, int(m)), nameText(Base, b)) == 0) {
                    report_.removed++;
                    continue;   // deleted there, untouched here
                }
                item.from[Base] = b;
                report_.addChoice(std::string(nameText(Base, b)) + ": deleted in the other copy but changed here; kept");
            }
            names_.push_back(item);
        }
    }

    // The three-way rule for one checkbox; what names it in the report.
    Cell pickCell(const Cell& was, const Cell& mine, const Cell& theirs, const std::string& what, bool single)
    {
        if (mine == theirs || mine == was)
            return theirs;
        if (theirs == was)
            return mine;
        if (mine.done() && theirs.done()) {
            int64_t m = CompletionStamp::minutesOf(mine.date), t = CompletionStamp::minutesOf(theirs.date);
            const Cell& kept = m >= 0 && t >= 0 && m < t ? mine : theirs;
            const Cell& other = &kept == &mine ? theirs : mine;
            report_.addChoice(what + ": both ticked; kept " + kept.date + ", other " + other.date);
            return kept;
        }
        if (mine.done() != theirs.done()) {
            const Cell& tick = mine.done() ? mine : theirs;
            report_.addChoice(what + ": ticked " + sideName(mine.done() ? Mine : Theirs) + ", " +
                              (single ? "changed" : "unticked or its date removed") + " " +
                              sideName(mine.done() ? Theirs : Mine) + "; kept the tick of " + tick.date);
            return tick;
        }
        report_.addChoice(what + ": changed on both sides; kept the other copy's");
        return theirs;
    }

    // The result person's memos and single checkboxes.
    void pickOwn(const Item& person, std::vector<OwnItem>& out)
    {
        out.clear();
        // A copy without the person keeps the base person's entries.
        const PersonEntries* of[kCopies];
        for (int copy = 0; copy < kCopies; ++copy)
            of[copy] = person.from[copy] >= 0 || copy == Base ? &person_[copy] : &person_[Base];
        std::vector<std::string> keys[kCopies];
        for (int copy = 0; copy < kCopies; ++copy)
            for (int32_t position : of[copy]->own) {
                const Entry& e = of[copy]->entry(position);
                keys[copy].push_back((e.kind == EntryMemo ? "M" : "C") + std::string(e.text ? e.text : ""));
            }
        std::vector<int> mineBase = MergeMatch::byKey(keys[Base], keys[Mine]);
        std::vector<int> theirsBase = MergeMatch::byKey(keys[Base], keys[Theirs]);
        std::vector<int> baseMine = MergeMatch::inverse(mineBase, keys[Base].size());
        std::vector<int> baseTheirs = MergeMatch::inverse(theirsBase, keys[Base].size());
        // New on both sides: one entry.
        std::vector<std::string> mineNewKeys, theirsNewKeys;
        std::vector<int> mineNew, theirsNew;
        for (size_t i = 0; i < mineBase.size(); ++i)
            if (mineBase[i] < 0) {
                mineNew.push_back(int(i));
                mineNewKeys.push_back(keys[Mine][i]);
            }
        for (size_t i = 0; i < theirsBase.size(); ++i)
            if (theirsBase[i] < 0) {
                theirsNew.push_back(int(i));
                theirsNewKeys.push_back(keys[Theirs][i]);
            }
        std::vector<int> newPair = MergeMatch::byKey(mineNewKeys, theirsNewKeys);
        std::vector<char> mineTaken(mineBase.size(), 0);

        const std::string& name = person.text;
        auto entryOf = [&](int copy, int index) -> const Entry& { return of[copy]->entry(of[copy]->own[size_t(index)]); };
        auto cellOf = [&](int copy, int index) {
            const Entry& e = entryOf(copy, index);
            return Cell{e.kind, e.date};
        };
        auto add = [&](int copy, int index, const Cell& state, int b, int m, int t) {
            const Entry& e = entryOf(copy, index);
            OwnItem item;
            item.from[Base] = b >= 0 && person.from[Base] >= 0 ? of[Base]->own[size_t(b)] : -1;
            item.from[Mine] = m >= 0 && person.from[Mine] >= 0 ? of[Mine]->own[size_t(m)] : -1;
            item.from[Theirs] = t >= 0 && person.from[Theirs] >= 0 ? of[Theirs]->own[size_t(t)] : -1;
            item.kind = e.kind == EntryMemo ? EntryMemo : state.kind;
            item.text = e.text ? e.text : "";
            item.date = e.kind == EntryMemo ? e.date : state.date;
            out.push_back(item);
        };
        auto label = [&](int copy, int index) {
            const Entry& e = entryOf(copy, index);
            return name + " / " + (e.kind == EntryMemo ? "memo" : "checkbox") + " \"" + (e.text ? e.text : "") + "\"";
        };

        for (size_t t = 0; t < keys[Theirs].size(); ++t) {
            int b = theirsBase[t];
            bool memo = entryOf(Theirs, int(t)).kind == EntryMemo;
            if (b >= 0) {
                int m = baseMine[size_t(b)];
                Cell was = cellOf(Base, b), theirs = cellOf(Theirs, int(t));
                if (m < 0) {
                    if (theirs == was)
                        continue;   // deleted here, untouched there
                    report_.addChoice(label(Theirs, int(t)) + ": deleted here but changed in the other copy; kept");
                    add(Theirs, int(t), theirs, b, -1, int(t));
                    continue;
                }
                mineTaken[size_t(m)] = 1;
                Cell mine = cellOf(Mine, m);
                Cell kept = pickCell(was, mine, theirs, label(Theirs, int(t)), true);
                if (kept == theirs && theirs != was && mine != theirs)
                    report_.checkboxes++;
                add(Theirs, int(t), kept, b, m, int(t));
            } else {
                size_t n = size_t(std::find(theirsNew.begin(), theirsNew.end(), int(t)) - theirsNew.begin());
                int m = newPair[n] >= 0 ? mineNew[size_t(newPair[n])] : -1;
                Cell theirs = cellOf(Theirs, int(t));
                Cell kept = theirs;
                if (m >= 0) {
                    mineTaken[size_t(m)] = 1;
                    kept = pickCell(Cell{CheckboxOpen, ""}, cellOf(Mine, m), theirs, label(Theirs, int(t)), true);
                } else if (memo) {
                    report_.memos++;
                } else {
                    report_.checkboxes++;
                }
                add(Theirs, int(t), kept, -1, m, int(t));
            }
        }
        for (size_t m = 0; m < keys[Mine].size(); ++m) {
            if (mineTaken[m])
                continue;
            int b = mineBase[m];
            Cell mine = cellOf(Mine, int(m));
            if (b >= 0) {
                // Theirs deleted it.
                if (mine == cellOf(Base, b)) {
                    if (person.from[Theirs] >= 0)
                        report_.removed++;
                    continue;
                }
                report_.addChoice(label(Mine, int(m)) + ": deleted in the other copy but changed here; kept");
            }
            add(Mine, int(m), mine, b, int(m), -1);
        }
    }

    // Lays out one result person's list: the entries in the order of
    // theirs (or base, or mine, whichever has the person first), then the
    // ones only mine has in mine's order, then checkboxes for the action
    // items none of them listed; action checkboxes then take their items'
    // order, as the file keeps them.
    struct Slot {
        bool action;
        int index;   // result action, or index into own
    };

    void layOut(const Item& person, const std::vector<OwnItem>& own, std::vector<Slot>& out)
    {
        out.clear();
        std::vector<char> actionDone(actions_.size(), 0), ownDone(own.size(), 0);
        // A person only mine has was added with a checkbox for every action
        // item of that time: the ones mine lacks join that first run.
        auto addMissingActions = [&](int copy) {
            for (size_t r = 0; r < actions_.size(); ++r)
                if (actions_[r].from[copy] < 0 && !actionDone[r]) {
                    actionDone[r] = 1;
                    out.push_back(Slot{true, int(r)});
                }
        };
        auto walk = [&](int copy) {
            if (person.from[copy] < 0)
                return;
            const PersonEntries& entries = person_[copy];
            const Input& input = in_[copy];
            bool firstRun = copy == Mine && person.from[Base] < 0 && person.from[Theirs] < 0;
            for (int32_t k = 0; entries.record && k < entries.record->entryCount; ++k) {
                const Entry& e = entries.entry(k);
                if (firstRun && !isActionKind(e.kind) && e.kind != EntryDeleted) {
                    addMissingActions(Mine);
                    firstRun = false;
                }
                if (isActionKind(e.kind)) {
                    int32_t slot = e.actionIndex;
                    if (slot < 0 || size_t(slot) >= input.actionOrdinal.size() || input.actionOrdinal[size_t(slot)] < 0)
                        continue;
                    int r = input.resultAction[size_t(input.actionOrdinal[size_t(slot)])];
                    if (r >= 0 && !actionDone[size_t(r)]) {
                        actionDone[size_t(r)] = 1;
                        out.push_back(Slot{true, r});
                    }
                } else if (hasOwnText(e.kind)) {
                    for (size_t i = 0; i < own.size(); ++i)
                        if (!ownDone[i] && own[i].from[copy] == k) {
                            ownDone[i] = 1;
                            out.push_back(Slot{false, int(i)});
                            break;
                        }
                }
            }
        };
        walk(person.from[Theirs] >= 0 ? Theirs : person.from[Base] >= 0 ? Base : Mine);
        walk(Mine);
        for (size_t i = 0; i < own.size(); ++i)
            if (!ownDone[i])
                out.push_back(Slot{false, int(i)});
        for (size_t r = 0; r < actions_.size(); ++r)
            if (!actionDone[r])
                out.push_back(Slot{true, int(r)});
        // The k-th action checkbox of a list belongs to the k-th action item.
        int next = 0;
        for (Slot& slot : out)
            if (slot.action)
                slot.index = next++;
    }

    int build(Document& result)
    {
        if (!result.resetDocument(int32_t(names_.size()), int32_t(actions_.size())))
            return 0;
        for (const Item& action : actions_)
            if (!result.addActionItem(action.text.c_str()))
                return 0;
        std::vector<OwnItem> own;
        std::vector<Slot> slots;
        for (const Item& person : names_) {
            for (int copy = 0; copy < kCopies; ++copy)
                person_[copy].read(in_[copy], person.from[copy]);
            pickOwn(person, own);
            layOut(person, own, slots);
            int32_t slot = result.appendName(person.text.c_str());
            if (slot < 0)
                return 0;
            NameRecord& record = result.names[slot];
            Entry* list = result.takeEntryList(record, int32_t(slots.size()) + Document::kEntryStep);
            if (!list)
                return 0;
            int32_t stored = 0;
            for (const Slot& s : slots) {
                Entry entry = {};
                if (s.action) {
                    entry.actionIndex = s.index;
                    Cell kept = actionCell(person, s.index);
                    entry.kind = kept.kind;
                    Document::copyField(entry.date, sizeof entry.date, kept.date);
                } else {
                    const OwnItem& item = own[size_t(s.index)];
                    entry.kind = item.kind;
                    entry.text = result.keepText(item.text.c_str(), item.text.size());
                    if (!entry.text) {
                        result.finishEntryList(record, stored);
                        return 0;
                    }
                    Document::copyField(entry.date, sizeof entry.date, item.date.c_str());
                }
                list[stored++] = entry;
            }
            result.finishEntryList(record, stored);
        }
        return 1;
    }

    // The result checkbox of person for result action r.
    Cell actionCell(const Item& person, int r)
    {
        const Item& action = actions_[size_t(r)];
        Cell was = Cell{ActionOpen, ""};
        bool inBase = person.from[Base] >= 0 && action.from[Base] >= 0;
        if (inBase)
            was = person_[Base].cell(action.from[Base]);
        Cell side[kCopies];
        for (int copy = Mine; copy <= Theirs; ++copy) {
            bool has = person.from[copy] >= 0 && action.from[copy] >= 0;
            side[copy] = has ? person_[copy].cell(action.from[copy]) : was;
        }
        Cell kept = pickCell(was, side[Mine], side[Theirs], person.text + " / " + action.text, false);
        if (kept == side[Theirs] && side[Theirs] != was && side[Mine] != side[Theirs])
            report_.ticks++;
        return kept;
    }

    MergeReport& report_;
    Input in_[kCopies];
    PersonEntries person_[kCopies];
    std::vector<Item> actions_;
    std::vector<Item> names_;
};

}  // namespace

int mergeDocuments(const Document& base, const Document& mine, const Document& theirs, Document& result,
                   MergeReport& report)
{
    report.clear();
    Merger merger(base, mine, theirs, report);
    return merger.run(result);
}
