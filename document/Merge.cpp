#include "document/Merge.h"

#include <algorithm>
#include <iterator>
#include <cstddef>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
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
    // An action checkbox as a new name or item gets it: open, no date.
    bool blank() const { return kind == ActionOpen && !date[0]; }
};

// One input document: its live action items and names in table order.
struct Input {
    const Document* doc = nullptr;
    std::vector<int32_t> actions;        // live action slots
    std::vector<int32_t> names;          // live name slots
    std::vector<int32_t> actionOrdinal;  // action slot -> index in actions, or -1
    std::vector<std::string> actionKeys; // MergeMatch::keyOf of each action and name
    std::vector<std::string> nameKeys;
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
    const char* text = "";              // the text of one of the inputs
};

// One own entry of a result person.
struct OwnItem {
    int32_t from[kCopies] = {-1, -1, -1};   // position in each input's list, or -1
    int32_t kind;
    std::string text;
    std::string date;
};

using MergeMatch::keyOf;

const char* sideName(int copy) { return copy == Mine ? "here" : "in the other copy"; }

// Puts the things only mine has among primary, the things of the other
// copy in their order: after[p + 1] holds those that follow primary[p] in
// mine (after[0] those before the first). A new thing of mine goes past the
// things mine lacks (theirs come first); one that the base had too (kept
// against the other copy's delete) stops before a thing that is new or
// comes after it in the base, so it keeps its old place; mine's order holds.
// inMine(thing) and basePos(thing) (position in the base, or -1) decide.
template <class Thing, class InMine, class BasePos>
std::vector<Thing> weaveIn(const std::vector<Thing>& primary, const std::vector<std::vector<Thing>>& after, InMine inMine,
                           BasePos basePos)
{
    std::vector<Thing> out;
    std::vector<Thing> pending = after[0];
    for (size_t i = 0; i < primary.size(); ++i) {
        const Thing& next = primary[i];
        // Up to the last one that must come before next, in mine's order.
        size_t stop = 0;
        for (size_t k = 0; k < pending.size(); ++k) {
            int at = basePos(pending[k]);
            if (inMine(next) || (at >= 0 && (basePos(next) < 0 || basePos(next) > at)))
                stop = k + 1;
        }
        out.insert(out.end(), pending.begin(), pending.begin() + std::ptrdiff_t(stop));
        pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(stop));
        out.push_back(next);
        pending.insert(pending.end(), after[i + 1].begin(), after[i + 1].end());
    }
    out.insert(out.end(), pending.begin(), pending.end());
    return out;
}

class Merger {
public:
    // mineHanded, theirsHanded: the result may point at the lists of that
    // copy (mergeReadCopies, mergeWithReadCopies).
    Merger(const Document& base, const Document& mine, const Document& theirs, MergeReport& report,
           bool mineHanded = false, bool theirsHanded = false)
        : report_(report)
    {
        in_[Base].doc = &base;
        in_[Mine].doc = &mine;
        in_[Theirs].doc = &theirs;
        // One list goes to one person: mine and theirs may be one document.
        handedOver_[Mine] = mineHanded && &mine != &theirs;
        handedOver_[Theirs] = theirsHanded;
    }

    int run(Document& result)
    {
        for (Input& input : in_)
            list(input);
        // Action items by text first, for the names' likeness; then names;
        // then action items again, alike columns deciding between equal texts.
        matchActions(false);
        matchNames();
        matchActions(true);
        findRenamedNames();
        joinSameRenames(true);
        joinSameRenames(false);
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
                input.actionKeys.push_back(keyOf(doc.actions[i].text));
            }
        for (int32_t i = 0; i < doc.namesCount; ++i)
            if (doc.names[i].name[0] && doc.names[i].entries) {
                input.names.push_back(i);
                input.nameKeys.push_back(keyOf(doc.names[i].name));
            }
    }

    const char* actionText(int copy, int index) const
    {
        return in_[copy].doc->actions[in_[copy].actions[size_t(index)]].text;
    }
    const char* nameText(int copy, int index) const
    {
        return in_[copy].doc->names[in_[copy].names[size_t(index)]].name;
    }

    // How many entries the base person baseName and the person name of copy
    // have alike: checkboxes of the same action item, and memos and single
    // checkboxes the same in kind, text and date.
    int personLikeness(int copy, int baseName, int name)
    {
        person_[Base].read(in_[Base], baseName);
        person_[copy].read(in_[copy], name);
        int alike = 0;
        const Input& input = in_[copy];
        for (size_t a = 0; a < input.actions.size(); ++a)
            if (input.baseOf[a] >= 0 && person_[copy].cell(int(a)) == person_[Base].cell(input.baseOf[a]))
                alike++;
        std::vector<std::string> own[2];
        for (int side = 0; side < 2; ++side) {
            const PersonEntries& entries = person_[side ? copy : Base];
            for (int32_t position : entries.own) {
                const Entry& e = entries.entry(position);
                own[side].push_back(std::to_string(e.kind) + "\t" + (e.text ? e.text : "") + "\t" + e.date);
            }
            std::sort(own[side].begin(), own[side].end());
        }
        std::vector<std::string> common;
        std::set_intersection(own[0].begin(), own[0].end(), own[1].begin(), own[1].end(), std::back_inserter(common));
        return alike + int(common.size());
    }

    void matchNames()
    {
        for (int copy = 0; copy < kCopies; ++copy) {
            Input& input = in_[copy];
            if (copy == Base) {
                input.nameBaseOf.resize(input.names.size());
                for (size_t i = 0; i < input.names.size(); ++i)
                    input.nameBaseOf[i] = int(i);
            } else {
                input.nameBaseOf = MergeMatch::byKeyAndContent(in_[Base].nameKeys, input.nameKeys,
                                                               [this, copy](int b, int i) { return personLikeness(copy, b, i); });
            }
            input.nameOfBase = MergeMatch::inverse(input.nameBaseOf, in_[Base].names.size());
        }
    }

    // Actions are matched by text; a rename is one base action gone and one
    // new action whose checkboxes are those of the base action, person by
    // person (persons matched by text), when the base column holds at least
    // one tick or date to know it by.
    void matchActions(bool final)
    {
        for (int copy = 0; copy < kCopies; ++copy) {
            Input& input = in_[copy];
            if (!final || copy == Base) {
                input.baseOf = MergeMatch::byKey(in_[Base].actionKeys, input.actionKeys);
            } else {
                input.baseOf = MergeMatch::byKeyAndContent(in_[Base].actionKeys, input.actionKeys,
                                                           [this, copy](int b, int a) { return columnLikeness(copy, b, a); });
            }
            input.ofBase = MergeMatch::inverse(input.baseOf, in_[Base].actions.size());
            if (!final || copy == Base)
                continue;
            int gone = MergeMatch::soleUnmatched(input.ofBase);
            int added = MergeMatch::soleUnmatched(input.baseOf);
            if (gone >= 0 && added >= 0 && !blankColumn(copy, gone) && sameColumn(copy, gone, added)) {
                input.baseOf[size_t(added)] = gone;
                input.ofBase[size_t(gone)] = added;
            }
        }
    }

    // The persons both base and copy have whose checkboxes of baseAction and
    // of action are alike; with untilDifferent, -1 as soon as one is not.
    int columnLikeness(int copy, int baseAction, int action, bool untilDifferent = false)
    {
        int alike = 0;
        for (size_t n = 0; n < in_[Base].names.size(); ++n) {
            int other = in_[copy].nameOfBase[n];
            if (other < 0)
                continue;
            person_[Base].read(in_[Base], int(n));
            person_[copy].read(in_[copy], other);
            if (person_[Base].cell(baseAction) == person_[copy].cell(action))
                alike++;
            else if (untilDifferent)
                return -1;
        }
        return alike;
    }

    bool sameColumn(int copy, int baseAction, int action)
    {
        return columnLikeness(copy, baseAction, action, true) >= 0;
    }

    // No base person that copy still has holds a tick or a date for baseAction.
    bool blankColumn(int copy, int baseAction)
    {
        for (size_t n = 0; n < in_[Base].names.size(); ++n) {
            if (in_[copy].nameOfBase[n] < 0)
                continue;
            person_[Base].read(in_[Base], int(n));
            if (!person_[Base].cell(baseAction).blank())
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

    // A rename is one base name gone and one new name with the base
    // person's entries, when these tell the person apart (a blank record
    // deleted and another added are a delete and an add): a memo or single
    // checkbox, or a tick or date of an action item that copy still has.
    void findRenamedNames()
    {
        for (int copy = Mine; copy <= Theirs; ++copy) {
            Input& input = in_[copy];
            int gone = MergeMatch::soleUnmatched(input.nameOfBase);
            int added = MergeMatch::soleUnmatched(input.nameBaseOf);
            if (gone < 0 || added < 0)
                continue;
            if (identifiable(copy, gone) && !personChanged(copy, gone, added)) {
                input.nameBaseOf[size_t(added)] = gone;
                input.nameOfBase[size_t(gone)] = added;
            }
        }
    }

    bool identifiable(int copy, int baseName)
    {
        person_[Base].read(in_[Base], baseName);
        if (!person_[Base].own.empty())
            return true;
        const Input& input = in_[copy];
        for (size_t a = 0; a < input.actions.size(); ++a)
            if (input.baseOf[a] >= 0 && !person_[Base].cell(input.baseOf[a]).blank())
                return true;
        return false;
    }

    // The same rename on both sides is one rename: a base item that one
    // copy renamed to a text is the other copy's new item of that text
    // (the first such), also when that copy changed it too. And a base item
    // that both copies replaced by one new item of the same text is that item.
    void joinSameRenames(bool names)
    {
        auto baseOf = [&](int copy) -> std::vector<int>& { return names ? in_[copy].nameBaseOf : in_[copy].baseOf; };
        auto ofBase = [&](int copy) -> std::vector<int>& { return names ? in_[copy].nameOfBase : in_[copy].ofBase; };
        auto keys = [&](int copy) -> const std::vector<std::string>& {
            return names ? in_[copy].nameKeys : in_[copy].actionKeys;
        };
        auto link = [&](int copy, int b, int item) {
            baseOf(copy)[size_t(item)] = b;
            ofBase(copy)[size_t(b)] = item;
        };
        // Both replaced the same one item by one item of the same text.
        int goneMine = MergeMatch::soleUnmatched(ofBase(Mine)), goneTheirs = MergeMatch::soleUnmatched(ofBase(Theirs));
        int newMine = MergeMatch::soleUnmatched(baseOf(Mine)), newTheirs = MergeMatch::soleUnmatched(baseOf(Theirs));
        if (goneMine >= 0 && goneMine == goneTheirs && newMine >= 0 && newTheirs >= 0 &&
            keys(Mine)[size_t(newMine)] == keys(Theirs)[size_t(newTheirs)]) {
            link(Mine, goneMine, newMine);
            link(Theirs, goneTheirs, newTheirs);
            return;
        }
        for (int copy = Mine; copy <= Theirs; ++copy) {
            int other = copy == Mine ? Theirs : Mine;
            std::unordered_map<std::string, std::vector<int>> fresh;   // new items of copy by key, in order
            bool listed = false;
            for (size_t b = 0; b < ofBase(copy).size(); ++b) {
                int renamed = ofBase(other)[b];
                if (ofBase(copy)[b] >= 0 || renamed < 0 || keys(other)[size_t(renamed)] == keys(Base)[b])
                    continue;
                if (!listed) {
                    for (size_t i = 0; i < baseOf(copy).size(); ++i)
                        if (baseOf(copy)[i] < 0)
                            fresh[keys(copy)[i]].push_back(int(i));
                    listed = true;
                }
                auto found = fresh.find(keys(other)[size_t(renamed)]);
                if (found == fresh.end() || found->second.empty())
                    continue;
                link(copy, int(b), found->second.front());
                found->second.erase(found->second.begin());
            }
        }
    }

    // An action item changed by copy: renamed, a checkbox of a person that
    // both copy and base have, or a tick or date given by a person that
    // copy added (or renamed and changed).
    bool actionChanged(int copy, int baseAction)
    {
        int action = in_[copy].ofBase[size_t(baseAction)];
        if (strcmp(actionText(copy, action), actionText(Base, baseAction)) != 0)
            return true;
        if (!sameColumn(copy, baseAction, action))
            return true;
        const Input& input = in_[copy];
        for (size_t n = 0; n < input.names.size(); ++n) {
            if (input.nameBaseOf[n] >= 0)
                continue;
            person_[copy].read(input, int(n));
            if (!person_[copy].cell(action).blank())
                return true;
        }
        return false;
    }

    // The text of an item both copies kept: a change on one side only wins;
    // changed on both, theirs.
    const char* pickText(const char* was, const char* mine, const char* theirs, const std::string& what)
    {
        if (strcmp(mine, was) != 0 && strcmp(theirs, was) == 0)
            return mine;
        if (strcmp(theirs, was) != 0 && strcmp(mine, theirs) != 0) {
            if (strcmp(mine, was) != 0)
                report_.addChoice(what + ": renamed on both sides; kept \"" + theirs + "\", other \"" + mine + "\"");
            else
                report_.renamed++;
        }
        return theirs;
    }

    // The result's items in order: those of theirs in their order, and each
    // one only mine has (new, or kept against theirs' delete) after the item
    // before it in mine, as weaveIn says. mineCount is the number of mine's
    // items; Items name their index in mine in from[Mine].
    static std::vector<Item> weave(const std::vector<Item>& fromTheirs, const std::vector<Item>& mineOnly,
                                   size_t mineCount)
    {
        std::vector<int> placedAt(mineCount, -1), onlyAt(mineCount, -1);
        for (size_t i = 0; i < fromTheirs.size(); ++i)
            if (fromTheirs[i].from[Mine] >= 0)
                placedAt[size_t(fromTheirs[i].from[Mine])] = int(i);
        for (size_t i = 0; i < mineOnly.size(); ++i)
            onlyAt[size_t(mineOnly[i].from[Mine])] = int(i);
        std::vector<std::vector<Item>> after(fromTheirs.size() + 1);
        int anchor = -1;
        for (size_t m = 0; m < mineCount; ++m) {
            if (placedAt[m] >= 0)
                anchor = placedAt[m];
            else if (onlyAt[m] >= 0)
                after[size_t(anchor + 1)].push_back(mineOnly[size_t(onlyAt[m])]);
        }
        return weaveIn(fromTheirs, after, [](const Item& item) { return item.from[Mine] >= 0; },
                       [](const Item& item) { return item.from[Base]; });
    }

    // The result's action items: theirs in their order, the ones only mine
    // has woven in (weave).
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
        std::vector<int> pairOf = pairNew(theirs.actions.size(), theirsNew, mineNew, mine.actionKeys, theirs.actionKeys);

        std::vector<Item> fromTheirs, mineOnly;
        std::vector<char> placed(mine.actions.size(), 0);
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
                    placed[size_t(m)] = 1;
                    item.text = pickText(actionText(Base, b), actionText(Mine, m), actionText(Theirs, int(t)),
                                         actionText(Base, b));
                }
            } else {
                item.from[Mine] = pairOf[t];
                item.text = actionText(Theirs, int(t));
                if (item.from[Mine] < 0)
                    report_.actions++;
                else
                    placed[size_t(item.from[Mine])] = 1;
            }
            fromTheirs.push_back(item);
        }
        for (size_t m = 0; m < mine.actions.size(); ++m) {
            if (placed[m])
                continue;
            int b = mine.baseOf[m];
            Item item;
            item.from[Mine] = int(m);
            item.text = actionText(Mine, int(m));
            if (b >= 0) {
                // Theirs placed every item both kept: this one theirs deleted.
                if (!actionChanged(Mine, b)) {
                    report_.removed++;
                    report_.list([&] { return std::string(actionText(Base, b)) + " (deleted)"; });
                    continue;   // deleted there, untouched here
                }
                item.from[Base] = b;
                report_.addChoice(std::string(actionText(Base, b)) + ": deleted in the other copy but changed here; kept");
            }
            mineOnly.push_back(item);
        }
        for (Copy copy : {Base, Mine, Theirs})
            in_[copy].resultAction.assign(in_[copy].actions.size(), -1);
        for (const Item& item : weave(fromTheirs, mineOnly, mine.actions.size()))
            addAction(item);
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
    static std::vector<int> pairNew(size_t theirsCount, const std::vector<int>& theirsNew, const std::vector<int>& mineNew,
                                    const std::vector<std::string>& mineKeys, const std::vector<std::string>& theirsKeys)
    {
        std::vector<std::string> mineNewKeys, theirsNewKeys;
        for (int i : mineNew)
            mineNewKeys.push_back(mineKeys[size_t(i)]);
        for (int i : theirsNew)
            theirsNewKeys.push_back(theirsKeys[size_t(i)]);
        std::vector<int> matched = MergeMatch::byKey(mineNewKeys, theirsNewKeys);
        std::vector<int> pairOf(theirsCount, -1);
        for (size_t i = 0; i < theirsNew.size(); ++i)
            if (matched[i] >= 0)
                pairOf[size_t(theirsNew[i])] = mineNew[size_t(matched[i])];
        return pairOf;
    }

    // The result's names: theirs in their order, the ones only mine has
    // woven in (weave).
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
        std::vector<int> pairOf = pairNew(theirs.names.size(), theirsNew, mineNew, mine.nameKeys, theirs.nameKeys);
        std::vector<char> placed(mine.names.size(), 0);

        std::vector<Item> fromTheirs, mineOnly;
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
                else {
                    report_.names++;
                    report_.list([&] { return std::string(nameText(Theirs, int(t))); });
                }
                item.text = nameText(Theirs, int(t));
            }
            fromTheirs.push_back(item);
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
                    report_.list([&] { return std::string(nameText(Base, b)) + " (deleted)"; });
                    continue;   // deleted there, untouched here
                }
                item.from[Base] = b;
                report_.addChoice(std::string(nameText(Base, b)) + ": deleted in the other copy but changed here; kept");
            }
            mineOnly.push_back(item);
        }
        names_ = weave(fromTheirs, mineOnly, mine.names.size());
    }

    // The three-way rule for one checkbox; what() names it in the report.
    // A tick with a date stands against an untick; otherwise the kind and
    // the date each take the change of the side that changed them.
    template <class Label>
    Cell pickCell(const Cell& was, const Cell& mine, const Cell& theirs, Label what, bool single)
    {
        if (mine == theirs || mine == was)
            return theirs;
        if (theirs == was)
            return mine;
        if (mine.done() && theirs.done()) {
            int64_t m = CompletionStamp::minutesOf(mine.date), t = CompletionStamp::minutesOf(theirs.date);
            const Cell& kept = m >= 0 && t >= 0 && m < t ? mine : theirs;
            const Cell& other = &kept == &mine ? theirs : mine;
            report_.addChoice(what() + ": both ticked; kept " + kept.date + ", other " + other.date);
            return kept;
        }
        if (mine.done() != theirs.done()) {
            const Cell& tick = mine.done() ? mine : theirs;
            report_.addChoice(what() + ": ticked " + sideName(mine.done() ? Mine : Theirs) + ", " +
                              (single ? "changed" : "unticked or its date removed") + " " +
                              sideName(mine.done() ? Theirs : Mine) + "; kept the tick of " + tick.date);
            return tick;
        }
        Cell kept = theirs;
        if (theirs.kind == was.kind)
            kept.kind = mine.kind;
        if (strcmp(theirs.date, was.date) == 0)
            kept.date = mine.date;
        bool kindClash = mine.kind != was.kind && theirs.kind != was.kind && mine.kind != theirs.kind;
        bool dateClash = strcmp(mine.date, was.date) != 0 && strcmp(theirs.date, was.date) != 0 &&
                         strcmp(mine.date, theirs.date) != 0;
        if (kindClash || dateClash)
            report_.addChoice(what() + ": changed on both sides; kept the other copy's" +
                              (dateClash ? std::string(" date ") + (theirs.date[0] ? theirs.date : "(none)") +
                                               ", other " + (mine.date[0] ? mine.date : "(none)")
                                         : std::string()));
        return kept;
    }

    // The result person's memos and single checkboxes.
    void pickOwn(const Item& person, std::vector<OwnItem>& out)
    {
        out.clear();
        // A copy without the person keeps the base person's entries.
        const PersonEntries* of[kCopies];
        for (int copy = 0; copy < kCopies; ++copy)
            of[copy] = person.from[copy] >= 0 || copy == Base ? &person_[copy] : &person_[Base];
        auto entryOf = [&](int copy, int index) -> const Entry& { return of[copy]->entry(of[copy]->own[size_t(index)]); };
        auto cellOf = [&](int copy, int index) {
            const Entry& e = entryOf(copy, index);
            return Cell{e.kind, e.date};
        };
        std::vector<std::string> keys[kCopies];
        for (int copy = 0; copy < kCopies; ++copy)
            for (int32_t position : of[copy]->own) {
                const Entry& e = of[copy]->entry(position);
                keys[copy].push_back((e.kind == EntryMemo ? "M" : "C") + std::string(e.text ? e.text : ""));
            }
        // Equal texts: the one whose state is the base one's is that one.
        auto likeness = [&](int copy) {
            return [&, copy](int b, int i) { return cellOf(Base, b) == cellOf(copy, i) ? 1 : 0; };
        };
        std::vector<int> mineBase = MergeMatch::byKeyAndContent(keys[Base], keys[Mine], likeness(Mine));
        std::vector<int> theirsBase = MergeMatch::byKeyAndContent(keys[Base], keys[Theirs], likeness(Theirs));
        std::vector<int> baseMine = MergeMatch::inverse(mineBase, keys[Base].size());
        std::vector<int> baseTheirs = MergeMatch::inverse(theirsBase, keys[Base].size());
        // New on both sides: one entry.
        std::vector<int> mineNew, theirsNew;
        for (size_t i = 0; i < mineBase.size(); ++i)
            if (mineBase[i] < 0)
                mineNew.push_back(int(i));
        for (size_t i = 0; i < theirsBase.size(); ++i)
            if (theirsBase[i] < 0)
                theirsNew.push_back(int(i));
        std::vector<int> pairOf = pairNew(theirsBase.size(), theirsNew, mineNew, keys[Mine], keys[Theirs]);
        std::vector<char> mineTaken(mineBase.size(), 0);

        const std::string name = person.text;
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
                Cell kept = pickCell(was, mine, theirs, [&] { return label(Theirs, int(t)); }, true);
                if (kept != mine)
                    report_.checkboxes++;
                add(Theirs, int(t), kept, b, m, int(t));
            } else {
                int m = pairOf[t];
                Cell theirs = cellOf(Theirs, int(t));
                Cell kept = theirs;
                if (m >= 0) {
                    mineTaken[size_t(m)] = 1;
                    kept = pickCell(Cell{CheckboxOpen, ""}, cellOf(Mine, m), theirs, [&] { return label(Theirs, int(t)); }, true);
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
        // An entry both sides edited into different texts stays twice: say so.
        if (person.from[Mine] < 0 || person.from[Theirs] < 0 || person.from[Base] < 0)
            return;
        std::vector<char> theirsPaired(keys[Theirs].size(), 0);
        for (size_t t = 0; t < pairOf.size(); ++t)
            if (pairOf[t] >= 0)
                theirsPaired[t] = 1;
        size_t nextMine = 0, nextTheirs = 0;
        for (size_t b = 0; b < keys[Base].size(); ++b) {
            if (baseMine[b] >= 0 || baseTheirs[b] >= 0)
                continue;
            char kind = keys[Base][b][0];
            while (nextMine < mineNew.size() && (mineTaken[size_t(mineNew[nextMine])] || keys[Mine][size_t(mineNew[nextMine])][0] != kind))
                ++nextMine;
            while (nextTheirs < keys[Theirs].size() &&
                   (theirsBase[nextTheirs] >= 0 || theirsPaired[nextTheirs] || keys[Theirs][nextTheirs][0] != kind))
                ++nextTheirs;
            if (nextMine >= mineNew.size() || nextTheirs >= keys[Theirs].size())
                break;
            report_.addChoice(label(Base, int(b)) + ": edited on both sides; kept both, \"" +
                              keys[Theirs][nextTheirs].substr(1) + "\" and \"" + keys[Mine][size_t(mineNew[nextMine])].substr(1) +
                              "\"");
            ++nextMine;
            ++nextTheirs;
        }
    }

    // Lays out one result person's list: the entries in the order of
    // theirs (or base, or mine, whichever has the person first) with the
    // ones only mine has woven in as weave does, then checkboxes for the
    // action items none of them listed; action checkboxes then take their
    // items' order, as the file keeps them.
    struct Slot {
        bool action;
        int index;   // result action, or index into own
    };

    void layOut(const Item& person, const std::vector<OwnItem>& own, std::vector<Slot>& out)
    {
        out.clear();
        std::vector<char> actionDone(actions_.size(), 0), ownDone(own.size(), 0);
        // The own item at each position of each copy's list.
        std::vector<int> ownAt[kCopies];
        for (int copy = 0; copy < kCopies; ++copy) {
            const PersonEntries& entries = person_[copy];
            ownAt[copy].assign(person.from[copy] >= 0 && entries.record ? size_t(entries.record->entryCount) : 0, -1);
        }
        for (size_t i = 0; i < own.size(); ++i)
            for (int copy = 0; copy < kCopies; ++copy)
                if (own[i].from[copy] >= 0 && size_t(own[i].from[copy]) < ownAt[copy].size())
                    ownAt[copy][size_t(own[i].from[copy])] = int(i);
        // The slot of position k of copy's list, or nullopt-like {false, -1}.
        auto slotAt = [&](int copy, int32_t k) {
            const Entry& e = person_[copy].entry(k);
            const Input& input = in_[copy];
            if (isActionKind(e.kind)) {
                int32_t slot = e.actionIndex;
                if (slot < 0 || size_t(slot) >= input.actionOrdinal.size() || input.actionOrdinal[size_t(slot)] < 0)
                    return Slot{true, -1};
                return Slot{true, input.resultAction[size_t(input.actionOrdinal[size_t(slot)])]};
            }
            if (hasOwnText(e.kind))
                return Slot{false, ownAt[copy][size_t(k)]};
            return Slot{false, -1};
        };
        auto taken = [&](const Slot& slot) -> char& { return slot.action ? actionDone[size_t(slot.index)] : ownDone[size_t(slot.index)]; };
        // A person only one copy has was added with a checkbox for every
        // action item of that time: the ones that copy lacks join that first
        // run, but for the items mine added, which come after theirs' edits.
        auto addMissingActions = [&](int copy) {
            for (size_t r = 0; r < actions_.size(); ++r)
                if (actions_[r].from[copy] < 0 && !actionDone[r] && (copy == Mine || actions_[r].from[Base] >= 0)) {
                    actionDone[r] = 1;
                    out.push_back(Slot{true, int(r)});
                }
        };
        auto basePos = [&](const Slot& slot) -> int {
            if (!slot.action)
                return own[size_t(slot.index)].from[Base];
            int b = actions_[size_t(slot.index)].from[Base];
            return b >= 0 && person.from[Base] >= 0 ? person_[Base].cellAt[size_t(b)] : -1;
        };
        int first = person.from[Theirs] >= 0 ? Theirs : person.from[Base] >= 0 ? Base : Mine;
        const PersonEntries& primary = person_[first];
        int other = first == Theirs ? Mine : Theirs;
        bool firstRun = person.from[Base] < 0 && person.from[other] < 0;
        for (int32_t k = 0; primary.record && k < primary.record->entryCount; ++k) {
            const Entry& e = primary.entry(k);
            if (firstRun && !isActionKind(e.kind) && e.kind != EntryDeleted) {
                addMissingActions(first);
                firstRun = false;
            }
            Slot slot = slotAt(first, k);
            if (slot.index < 0 || taken(slot))
                continue;
            taken(slot) = 1;
            out.push_back(slot);
        }
        // A person theirs deleted and mine kept: the items theirs added come
        // before what mine added, as for the persons theirs kept.
        if (first == Base)
            for (size_t r = 0; r < actions_.size(); ++r)
                if (actions_[r].from[Base] < 0 && actions_[r].from[Mine] < 0 && !actionDone[r]) {
                    actionDone[r] = 1;
                    out.push_back(Slot{true, int(r)});
                }
        if (first != Mine && person.from[Mine] >= 0) {
            // Where each slot of out stands, and which of mine's entries are
            // in out already.
            std::vector<int> actionPlace(actions_.size(), -1), ownPlace(own.size(), -1);
            for (size_t p = 0; p < out.size(); ++p)
                (out[p].action ? actionPlace[size_t(out[p].index)] : ownPlace[size_t(out[p].index)]) = int(p);
            auto mineHas = [&](const Slot& slot) {
                return slot.action ? actions_[size_t(slot.index)].from[Mine] >= 0 : own[size_t(slot.index)].from[Mine] >= 0;
            };
            std::vector<std::vector<Slot>> after(out.size() + 1);
            int anchor = -1;
            const PersonEntries& mine = person_[Mine];
            for (int32_t k = 0; mine.record && k < mine.record->entryCount; ++k) {
                Slot slot = slotAt(Mine, k);
                if (slot.index < 0)
                    continue;
                int place = slot.action ? actionPlace[size_t(slot.index)] : ownPlace[size_t(slot.index)];
                if (place >= 0) {
                    anchor = place;
                    continue;
                }
                if (taken(slot))
                    continue;
                taken(slot) = 1;
                after[size_t(anchor + 1)].push_back(slot);
            }
            std::vector<Slot> woven = weaveIn(out, after, mineHas, basePos);
            out.swap(woven);
        }
        for (size_t i = 0; i < own.size(); ++i)
            if (!ownDone[i])
                out.push_back(Slot{false, int(i)});
        // The rest: an item the base had goes back to its place among the
        // entries the base had, the others at the end.
        for (size_t r = 0; r < actions_.size(); ++r) {
            if (actionDone[r])
                continue;
            Slot slot{true, int(r)};
            int at = basePos(slot);
            size_t p = out.size();
            if (at >= 0)
                for (p = 0; p < out.size() && (basePos(out[p]) < 0 || basePos(out[p]) < at);)
                    ++p;
            out.insert(out.begin() + std::ptrdiff_t(p), slot);
        }
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
        result.utf8File = in_[Base].doc->utf8File | in_[Mine].doc->utf8File | in_[Theirs].doc->utf8File;
        for (const Item& action : actions_)
            if (!result.addActionItem(action.text))
                return 0;
        std::vector<OwnItem> own;
        std::vector<Slot> slots;
        bool theirsItems = sameItems(Theirs), mineItems = sameItems(Mine);
        for (const Item& person : names_) {
            for (int copy = 0; copy < kCopies; ++copy)
                person_[copy].read(in_[copy], person.from[copy]);
            int32_t slot = result.appendName(person.text);
            if (slot < 0)
                return 0;
            NameRecord& record = result.names[slot];
            // A person one side left as it was is the other side's, entry
            // for entry, when the result's action items are that side's;
            // so is a person only mine has.
            bool inAll = person.from[Base] >= 0 && person.from[Mine] >= 0 && person.from[Theirs] >= 0;
            bool onlyMine = person.from[Base] < 0 && person.from[Theirs] < 0;
            int kept = onlyMine ? (mineItems && knownKinds(*person_[Mine].record) ? Mine : -1)
                       : !inAll ? -1
                       : theirsItems && sameAsBase(Mine) ? Theirs
                       : mineItems && sameAsBase(Theirs) ? Mine : -1;
            if (kept >= 0) {
                int copied = copyPerson(kept, result, record);
                if (copied == 0)
                    return 0;
                if (copied > 0) {
                    if (kept == Theirs)
                        countTheirs(person, own);
                    continue;
                }
            }
            pickOwn(person, own);
            layOut(person, own, slots);
            // Room for the next entry; a list that takes more grows then.
            Entry* list = result.takeEntryList(record, int32_t(slots.size()) + 1);
            if (!list)
                return 0;
            int32_t stored = 0;
            for (const Slot& s : slots) {
                Entry entry = {};
                if (s.action) {
                    entry.actionIndex = s.index;
                    Cell cell = actionCell(person, s.index);
                    entry.kind = cell.kind;
                    Document::copyField(entry.date, sizeof entry.date, cell.date);
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

    // The result's action items are copy's, in its order.
    bool sameItems(int copy) const
    {
        if (actions_.size() != in_[copy].actions.size())
            return false;
        for (size_t r = 0; r < actions_.size(); ++r)
            if (actions_[r].from[copy] != int(r))
                return false;
        return true;
    }

    // The person as read in person_[copy] has the base person's entries,
    // live ones in the same order.
    bool sameAsBase(int copy) const
    {
        const NameRecord* a = person_[Base].record;
        const NameRecord* b = person_[copy].record;
        if (!a || !b)
            return false;
        int32_t i = 0, j = 0;
        for (;; ++i, ++j) {
            while (i < a->entryCount && a->entries[i].kind == EntryDeleted)
                ++i;
            while (j < b->entryCount && b->entries[j].kind == EntryDeleted)
                ++j;
            if (i == a->entryCount || j == b->entryCount)
                return i == a->entryCount && j == b->entryCount;
            const Entry& x = a->entries[i];
            const Entry& y = b->entries[j];
            if (x.kind != y.kind || strcmp(x.date, y.date) != 0)
                return false;
            if (isActionKind(x.kind)) {
                int baseAction = ordinalOf(Base, x.actionIndex), action = ordinalOf(copy, y.actionIndex);
                if (baseAction < 0 || action < 0 || in_[copy].baseOf[size_t(action)] != baseAction)
                    return false;
            } else if (!hasOwnText(x.kind) || strcmp(x.text ? x.text : "", y.text ? y.text : "") != 0) {
                return false;
            }
        }
    }

    int ordinalOf(int copy, int32_t slot) const
    {
        const std::vector<int32_t>& ordinal = in_[copy].actionOrdinal;
        return slot >= 0 && size_t(slot) < ordinal.size() ? ordinal[size_t(slot)] : -1;
    }

    // Copies the live entries of person_[copy] into record: 1, 0 when memory
    // ran out, -1 (nothing stored) when its action entries are not in the
    // order of the items, which the general way then puts right. A copy
    // handed over to the merge gives its list instead, when it is the one
    // the copy would make.
    int copyPerson(int copy, Document& result, NameRecord& record)
    {
        const NameRecord* from = person_[copy].record;
        int next = 0;
        for (int32_t k = 0; k < from->entryCount; ++k)
            if (isActionKind(from->entries[k].kind) && ordinalOf(copy, from->entries[k].actionIndex) != next++)
                return -1;
        if (next != int(actions_.size()))
            return -1;
        if (handedOver_[copy] && canLend(copy, *from) && lendOnce(copy, from->entries)) {
            record.entries = from->entries;
            record.entryCount = record.liveEntries = from->entryCount;
            record.entryCapacity = from->entryCapacity;
            return 1;
        }
        Entry* list = result.takeEntryList(record, from->liveEntries + 1);
        if (!list)
            return 0;
        int32_t stored = 0;
        next = 0;
        for (int32_t k = 0; k < from->entryCount && stored <= from->liveEntries; ++k) {
            const Entry& e = from->entries[k];
            if (e.kind == EntryDeleted)
                continue;
            Entry entry = e;
            if (isActionKind(e.kind)) {
                entry.actionIndex = next++;
            } else {
                entry.actionIndex = 0;
                entry.text = result.keepText(e.text ? e.text : "", e.text ? strlen(e.text) : 0);
                if (!entry.text) {
                    result.finishEntryList(record, stored);
                    return 0;
                }
            }
            list[stored++] = entry;
        }
        result.finishEntryList(record, stored);
        return 1;
    }

    // Every entry of record is deleted, an action's or an own one (the
    // general way leaves out any other; copyPerson would keep it).
    static bool knownKinds(const NameRecord& record)
    {
        for (int32_t k = 0; k < record.entryCount; ++k)
            if (record.entries[k].kind != EntryDeleted && !isActionKind(record.entries[k].kind) &&
                !hasOwnText(record.entries[k].kind))
                return false;
        return true;
    }

    // The list of from (texts too) lies in memory handed over with copy
    // and holds exactly the entries copyPerson would make: no deleted or
    // unknown ones, action entries numbered as the result's items (copy
    // has no deleted items).
    bool canLend(int copy, const NameRecord& from) const
    {
        const Document& doc = *in_[copy].doc;
        if (from.entryCount != from.liveEntries || doc.actionCount != doc.liveActions || !handedWith(copy, from.entries))
            return false;
        for (int32_t k = 0; k < from.entryCount; ++k) {
            const Entry& e = from.entries[k];
            bool action = isActionKind(e.kind);
            if (action ? e.text != nullptr
                       : !hasOwnText(e.kind) || e.actionIndex != 0 || !e.text || !handedWith(copy, e.text))
                return false;
        }
        return true;
    }

    // A list of copy's own goes to one person; so does one of the base's,
    // which mine and theirs may both share.
    bool lendOnce(int copy, const Entry* list)
    {
        return in_[copy].doc->inReadBlocks(list) || lent_.insert(list).second;
    }

    // block lies in copy's read blocks, or in the base's that copy shares.
    bool handedWith(int copy, const void* block) const
    {
        const Document& doc = *in_[copy].doc;
        return doc.inReadBlocks(block) || (doc.lender == in_[Base].doc && in_[Base].doc->inReadBlocks(block));
    }

    // What theirs brought to a person that mine left as in the base: the
    // counts the general way makes.
    void countTheirs(const Item& person, std::vector<OwnItem>& own)
    {
        for (size_t r = 0; r < actions_.size(); ++r) {
            int b = actions_[r].from[Base];
            Cell was = b >= 0 ? person_[Base].cell(b) : Cell{ActionOpen, ""};
            if (person_[Theirs].cell(int(r)) != was) {
                report_.ticks++;
                report_.list([&] { return std::string(person.text) + " / " + actions_[r].text; });
            }
        }
        const PersonEntries& before = person_[Base];
        const PersonEntries& after = person_[Theirs];
        bool same = before.own.size() == after.own.size();
        for (size_t i = 0; same && i < before.own.size(); ++i) {
            const Entry& x = before.entry(before.own[i]);
            const Entry& y = after.entry(after.own[i]);
            same = x.kind == y.kind && strcmp(x.text, y.text) == 0 && strcmp(x.date, y.date) == 0;
        }
        if (!same)
            pickOwn(person, own);
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
        Cell kept = pickCell(was, side[Mine], side[Theirs], [&] { return std::string(person.text) + " / " + action.text; }, false);
        if (kept != side[Mine]) {
            report_.ticks++;
            report_.list([&] { return std::string(person.text) + " / " + action.text; });
        }
        return kept;
    }

    bool handedOver_[kCopies] = {};           // the copies whose lists the result may point at
    std::unordered_set<const Entry*> lent_;   // lists of the base lent to the result
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

namespace {

// The merge of copies handed over to it; mine is handed over too unless it
// is null (then the result copies from mineRead).
int mergeHandedOver(Document& base, Document* mine, const Document& mineRead, Document& theirs, Document& result,
                    MergeReport& report)
{
    report.clear();
    int merged = Merger(base, mineRead, theirs, report, mine != nullptr, true).run(result);
    // The lists the result points at go with it, whether it is whole or
    // not; the base's last, as mine and theirs may share lists of it.
    if ((mine && !mine->handReadBlocks(result)) || !theirs.handReadBlocks(result) || !base.handReadBlocks(result)) {
        // Memory ran out: no list of the result may point outside it.
        for (int32_t i = 0; i < result.namesCount; ++i) {
            NameRecord& record = result.names[i];
            if (record.entries && !result.inReadBlocks(record.entries)) {
                record.entries = nullptr;
                record.entryCount = record.liveEntries = record.entryCapacity = 0;
            }
        }
        merged = 0;
    }
    for (Document* copy : {mine, &theirs, &base})
        if (copy)
            copy->resetDocument(0, 0);
    return merged;
}

}  // namespace

int mergeReadCopies(Document& base, Document& mine, Document& theirs, Document& result, MergeReport& report)
{
    return mergeHandedOver(base, &mine, mine, theirs, result, report);
}

int mergeWithReadCopies(Document& base, const Document& mine, Document& theirs, Document& result, MergeReport& report)
{
    return mergeHandedOver(base, nullptr, mine, theirs, result, report);
}
