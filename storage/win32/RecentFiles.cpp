#include "storage/win32/RecentFiles.h"


void RecentFiles::init(HMENU menu, int position, int firstId, int max)
{
    separatorPending_ = 1;
    menu_ = menu;
    firstId_ = firstId;
    nextId_ = firstId;
    position_ = position;
    max_ = max;
    count_ = 0;
}

int RecentFiles::insertItem(int position, int id, const char* path)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.wID = id;
    item.dwTypeData = const_cast<char*>(path);
    return InsertMenuItemA(menu_, position, TRUE, &item) ? 1 : 0;
}

int RecentFiles::insertSeparator(int position)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE;
    item.fType = MFT_SEPARATOR;
    return InsertMenuItemA(menu_, position, TRUE, &item) ? 1 : 0;
}

namespace {

// The text of the menu item (by position or by command id); the length is
// asked for first. "" when there is none.
std::string itemText(HMENU menu, UINT item, BOOL byPosition)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    if (!GetMenuItemInfoA(menu, item, byPosition, &info) || (info.fType & MFT_SEPARATOR) || !info.cch)
        return std::string();
    std::string text(info.cch + 1, '\0');
    info.dwTypeData = &text[0];
    info.cch = UINT(text.size());
    if (!GetMenuItemInfoA(menu, item, byPosition, &info))
        return std::string();
    text.resize(lstrlenA(text.c_str()));
    return text;
}

// path made full (folder and drive from the current ones); path itself when
// it can't be.
std::string fullPath(const char* path)
{
    DWORD size = GetFullPathNameA(path, 0, nullptr, nullptr);
    std::string full(size ? size : 1, '\0');
    DWORD length = size ? GetFullPathNameA(path, size, &full[0], nullptr) : 0;
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    return full;
}

} // namespace

// Id of the item at position, with its text in text when asked for;
// 0 for a separator or when there is no item there.
int RecentFiles::idAt(int position, std::string* text) const
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_TYPE;
    if (!GetMenuItemInfoA(menu_, position, TRUE, &item) || (item.fType & MFT_SEPARATOR))
        return 0;
    if (text)
        *text = itemText(menu_, position, TRUE);
    return item.wID;
}

int RecentFiles::find(const char* path) const
{
    std::string wanted = fullPath(path), text;
    for (int i = 0; i < count_; ++i) {
        if (!idAt(position_ + i, &text))
            break;
        if (lstrcmpiA(fullPath(text.c_str()).c_str(), wanted.c_str()) == 0)
            return i;
    }
    return -1;
}

int RecentFiles::append(const char* path)
{
    if (count_ == max_ || find(path) >= 0)
        return 0;
    if (!insertItem(position_ + count_, nextId_, path))
        return 0;
    ++count_;
    ++nextId_;
    if (separatorPending_ && insertSeparator(position_ + count_))
        separatorPending_ = 0;
    return 1;
}

int RecentFiles::addToTop(const char* path)
{
    std::string full = fullPath(path);
    for (int at; (at = find(full.c_str())) >= 0;) {
        DeleteMenu(menu_, position_ + at, MF_BYPOSITION);
        --count_;
    }
    if (!insertItem(position_, firstId_, path))
        return 0;
    if (separatorPending_ && insertSeparator(position_ + 1))
        separatorPending_ = 0;

    // The items below the new one move down by one id each.
    for (int i = 0; i <= max_; ++i) {
        if (!idAt(position_ + i, nullptr))
            break;
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID;
        item.wID = firstId_ + i;
        SetMenuItemInfoA(menu_, position_ + i, TRUE, &item);
    }

    if (count_ == max_)
        DeleteMenu(menu_, position_ + max_, MF_BYPOSITION);
    else
        ++count_;
    nextId_ = firstId_ + count_;
    return 1;
}

std::string RecentFiles::pathOf(int id) const
{
    if (!holds(id))
        return std::string();
    UINT state = GetMenuState(menu_, id, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || (state & MF_GRAYED))
        return std::string();
    return itemText(menu_, UINT(id), FALSE);
}

void RecentFiles::gray(int id)
{
    if (holds(id))
        EnableMenuItem(menu_, id, MF_BYCOMMAND | MF_GRAYED);
}
