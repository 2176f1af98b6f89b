#pragma once
// Typing into the real common file dialogs, as a user would.
#include "tests/support/TestSupport.h"

#include <dlgs.h>

#include <string>

// The file-name field of a common file dialog: the edit of the file-name
// combo box in the Explorer layout, else the plain edit.
inline HWND fileNameField(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, cmb13);
    if (combo) {
        HWND edit = tvtest::findChildByClass(combo, "Edit");
        return edit ? edit : combo;
    }
    HWND edit = GetDlgItem(dialog, edt1);
    return edit ? edit : tvtest::findChildByClass(dialog, "Edit");
}

// Types name into the dialog's file-name field, as a user would, and
// presses the Save (or Open) button.
inline ModalAnswerer::Step typeAndAccept(const std::string& name)
{
    return [name](HWND dialog) {
        HWND field = fileNameField(dialog);
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        tvtest::typeText(field, name.c_str());
        tvtest::pumpMessages(50);
        tvtest::clickButton(GetDlgItem(dialog, IDOK));
    };
}
