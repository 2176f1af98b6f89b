// The document as the session test expects it: what the user put in through
// the window, held the plainest way, with the rows each view should show and
// the text the data file should hold. Deleted things are simply gone; slot
// numbers are kept only because the views use them as item data.
#pragma once
#include <string>
#include <vector>

struct ModelEntry {
    int kind;           // 0 and 1: action entry, 2 memo, 3 and 4 single checkbox
    int action;         // action entries: the action's slot
    std::string text;   // memos and checkboxes
    std::string date;
};

struct ModelAction {
    int slot;
    std::string text;
};

struct ModelName {
    int slot;
    std::string text;
    std::vector<ModelEntry> entries;  // oldest first, as in the file
};

class SessionModel {
public:
    std::vector<ModelAction> actions;  // slot order
    std::vector<ModelName> names;      // slot order
    int nextActionSlot = 0;
    int nextNameSlot = 0;

    void addName(const std::string& text);
    void addAction(const std::string& text);
    void addOwnEntry(ModelName& person, int kind, const std::string& text);
    void deleteName(int slot);
    void deleteAction(int slot);

    ModelName* nameInSlot(int slot);
    ModelAction* actionInSlot(int slot);
    // The entry behind row of the person's Entries view (newest first).
    static ModelEntry& entryOfRow(ModelName& person, int row);
    // The text a row shows for entry.
    std::string rowText(const ModelEntry& entry) const;

    // Rows as "text|item data": the Actions and Entries views in their
    // order, the sorted Names and Pending views sorted here as well.
    std::vector<std::string> namesRows() const;
    std::vector<std::string> actionsRows() const;
    std::vector<std::string> entriesRows(const ModelName& person) const;
    std::vector<std::string> pendingRows(int actionSlot) const;

    // The bytes a save writes.
    std::string fileText() const;
    // The document as it reads back from that file: slots dense again.
    SessionModel reloaded() const;
};
