#include "storage/win32/RecentFiles.h"

#include "storage/file/FileName.h"

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

// Id of the item at position, with its text in text when asked for;
// 0 for a separator or when there is no item there.
int RecentFiles::idAt(int position, char* text, int size) const
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_TYPE;
    item.dwTypeData = text;
    item.cch = text ? size : 0;
    if (text)
        text[0] = '\0';
    if (!GetMenuItemInfoA(menu_, position, TRUE, &item) || (item.fType & MFT_SEPARATOR))
        return 0;
    return item.wID;
}

namespace {

// path made full (folder and drive from the current ones) in out; path
// itself when it can't be.
void fullPath(const char* path, char (&out)[kPathBytes])
{
    DWORD length = GetFullPathNameA(path, kPathBytes, out, nullptr);
    if (length == 0 || length >= DWORD(kPathBytes))
        lstrcpynA(out, path, kPathBytes);
}

} // namespace

int RecentFiles::find(const char* path) const
{
    char wanted[kPathBytes], text[kPathBytes], held[kPathBytes];
    fullPath(path, wanted);
    for (int i = 0; i < count_; ++i) {
        if (!idAt(position_ + i, text, sizeof text))
            break;
        fullPath(text, held);
        if (lstrcmpiA(held, wanted) == 0)
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
    char full[kPathBytes];
    fullPath(path, full);
    for (int at; (at = find(full)) >= 0;) {
        DeleteMenu(menu_, position_ + at, MF_BYPOSITION);
        --count_;
    }
    if (!insertItem(position_, firstId_, path))
        return 0;
    if (separatorPending_ && insertSeparator(position_ + 1))
        separatorPending_ = 0;

    // The items below the new one move down by one id each.
    for (int i = 0; i <= max_; ++i) {
        if (!idAt(position_ + i, nullptr, 0))
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

int RecentFiles::pathOf(int id, char* buffer, int size) const
{
    if (size > 0)
        buffer[0] = '\0';
    if (!holds(id))
        return 0;
    UINT state = GetMenuState(menu_, id, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || (state & MF_GRAYED))
        return 0;
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE;
    item.dwTypeData = buffer;
    item.cch = size;
    return GetMenuItemInfoA(menu_, id, FALSE, &item) ? 1 : 0;
}

void RecentFiles::gray(int id)
{
    if (holds(id))
        EnableMenuItem(menu_, id, MF_BYCOMMAND | MF_GRAYED);
}
