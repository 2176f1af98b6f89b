#include "tests/app/commands/SessionModel.h"

#include <algorithm>
#include <map>

void SessionModel::addName(const std::string& text)
{
    ModelName person{nextNameSlot++, text, {}};
    for (const ModelAction& action : actions)
        person.entries.push_back({0, action.slot, "", ""});
    names.push_back(person);
}

void SessionModel::addAction(const std::string& text)
{
    actions.push_back({nextActionSlot++, text});
    for (ModelName& person : names)
        person.entries.push_back({0, actions.back().slot, "", ""});
}

void SessionModel::addOwnEntry(ModelName& person, int kind, const std::string& text)
{
    person.entries.push_back({kind, -1, text, ""});
}

void SessionModel::deleteName(int slot)
{
    names.erase(std::remove_if(names.begin(), names.end(), [slot](const ModelName& n) { return n.slot == slot; }),
                names.end());
}

void SessionModel::deleteAction(int slot)
{
    actions.erase(std::remove_if(actions.begin(), actions.end(),
                                 [slot](const ModelAction& a) { return a.slot == slot; }),
                  actions.end());
    for (ModelName& person : names) {
        auto& list = person.entries;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [slot](const ModelEntry& e) { return e.kind <= 1 && e.action == slot; }),
                   list.end());
    }
}

ModelName* SessionModel::nameInSlot(int slot)
{
    for (ModelName& person : names)
        if (person.slot == slot)
            return &person;
    return nullptr;
}

ModelAction* SessionModel::actionInSlot(int slot)
{
    for (ModelAction& action : actions)
        if (action.slot == slot)
            return &action;
    return nullptr;
}

ModelEntry& SessionModel::entryOfRow(ModelName& person, int row)
{
    return person.entries[person.entries.size() - 1 - row];
}

std::string SessionModel::rowText(const ModelEntry& entry) const
{
    if (entry.kind >= 2)
        return entry.text;
    for (const ModelAction& action : actions)
        if (action.slot == entry.action)
            return action.text;
    return "<no action " + std::to_string(entry.action) + ">";
}

std::vector<std::string> SessionModel::namesRows() const
{
    std::vector<std::string> rows;
    for (const ModelName& person : names)
        rows.push_back(person.text + "|" + std::to_string(person.slot));
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::string> SessionModel::actionsRows() const
{
    std::vector<std::string> rows;
    for (auto a = actions.rbegin(); a != actions.rend(); ++a)
        rows.push_back(a->text + "|" + std::to_string(a->slot));
    return rows;
}

std::vector<std::string> SessionModel::entriesRows(const ModelName& person) const
{
    std::vector<std::string> rows;
    for (auto e = person.entries.rbegin(); e != person.entries.rend(); ++e)
        rows.push_back(rowText(*e) + "|" + std::to_string(e->kind));
    return rows;
}

std::vector<std::string> SessionModel::pendingRows(int actionSlot) const
{
    std::vector<std::string> rows;
    for (const ModelName& person : names)
        for (const ModelEntry& entry : person.entries)
            if (entry.kind == 0 && entry.action == actionSlot) {
                rows.push_back(person.text + "|" + std::to_string(person.slot));
                break;
            }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string SessionModel::fileText() const
{
    std::string file = "[Program]\r\nTallyvane\r\n\r\n[Action Items]\r\n" + std::to_string(actions.size()) + "\r\n";
    // An action text starting with "[" is written after a blank, so that
    // it can't read back as a section header.
    for (const ModelAction& action : actions)
        file += (action.text[0] == '[' ? " " : "") + action.text + "\r\n";
    file += "\r\n[Names]\r\n" + std::to_string(names.size()) + "\r\n";
    for (size_t i = 0; i < names.size(); ++i)
        file += std::to_string(i) + " " + names[i].text + "\r\n";
    file += "\r\n";
    for (size_t i = 0; i < names.size(); ++i) {
        file += "[" + std::to_string(i) + "]\r\n" + std::to_string(names[i].entries.size()) + "\r\n";
        for (const ModelEntry& e : names[i].entries) {
            file += std::to_string(e.kind) + " ";
            if (e.kind <= 1)
                file += e.date;
            else
                file += e.text + (e.kind >= 3 && !e.date.empty() ? "\t" + e.date : "");
            file += "\r\n";
        }
    }
    return file;
}

SessionModel SessionModel::reloaded() const
{
    SessionModel copy = *this;
    std::map<int, int> slotOf;
    for (size_t i = 0; i < copy.actions.size(); ++i) {
        ModelAction& action = copy.actions[i];
        slotOf[action.slot] = int(i);
        action.slot = int(i);
        if (action.text[0] == '[')
            action.text = " " + action.text;
    }
    for (size_t i = 0; i < copy.names.size(); ++i) {
        copy.names[i].slot = int(i);
        for (ModelEntry& entry : copy.names[i].entries)
            if (entry.kind <= 1)
                entry.action = slotOf[entry.action];
    }
    copy.nextActionSlot = int(copy.actions.size());
    copy.nextNameSlot = int(copy.names.size());
    return copy;
}
