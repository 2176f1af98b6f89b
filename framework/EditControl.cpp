#include "framework/EditControl.h"

EditControl::EditControl()
{
    style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
            ES_NOHIDESEL;
    exStyle = WS_EX_CLIENTEDGE;
}

int EditControl::create(HWND parent, int newId, const char* text, int x, int y, int width, int height)
{
    settleId(newId);
    int created = CreateControl("EDIT", parent, text, x, y, width, height);
    SetWindowTextA(hwnd, text);
    return created;
}

int EditControl::commandNotify(int code, int)
{
    if (code != EN_KILLFOCUS)
        return 0;
    return fireCallback();
}
