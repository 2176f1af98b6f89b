// The recent-file items of the File menu. The menu is the only store of the
// list: each item's text is a full path, the newest stands on top with the
// first id, and one separator of the list's own stands below the last item.
#pragma once

#include <windows.h>

#include <string>

class RecentFiles {
public:
    // Starts an empty list whose top item goes to position in menu (not owned).
    void init(HMENU menu, int position, int firstId, int max);

    // Adds path below the items there are (reading the settings file).
    // Returns 0 when the list is full, holds the file already or the item
    // can't be inserted.
    int append(const char* path);

    // Puts path on top after a successful open: an item of the
    // same file (full paths compared without regard to case) moves up, the
    // oldest drops off a full list, and the ids are renumbered from the top.
    // Returns 0 on failure.
    int addToTop(const char* path);

    // The path of item id; "" for a grayed or missing item.
    std::string pathOf(int id) const;

    // Grays item id after its file failed to open; it stays grayed for the run.
    void gray(int id);

    // True for the command id of one of the items shown.
    bool holds(int id) const { return id >= firstId_ && id < firstId_ + count_; }

    int count() const { return count_; }
    int firstId() const { return firstId_; }
    HMENU menu() const { return menu_; }

    // Position from the top of the item of path's file, or -1.
    int find(const char* path) const;

private:
    int insertItem(int position, int id, const char* path);
    int insertSeparator(int position);
    int idAt(int position, std::string* text) const;

    int separatorPending_ = 1;
    HMENU menu_ = nullptr;
    int firstId_ = 5900;
    int nextId_ = 5900;
    int position_ = 5;
    int max_ = 5;
    int count_ = 0;
};
