// Root of the dialog-template dialogs. DialogBoxParamA runs the dialog with
// StaticDlgProc and the object as init parameter; the object lives in the
// dialog's DWLP_USER slot from WM_INITDIALOG on.
//
// Virtual table: Create, the unused hook, OnMessage, the handlers in
// alphabetical order, then DialogProc.
#pragma once
#include <windows.h>

class DialogBase {
public:
    DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Shows "Missing Create", returns 0.
    virtual int Create(HWND parent, int id, const char* text, int x, int y, int width, int height);
    // Reserved; the dialog procedure never calls it.
    virtual void Hook();
    // Result of every message without a handler (0: the dialog manager's default).
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    virtual void OnChar(WPARAM wParam, LPARAM lParam);
    virtual void OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnContextMenu(WPARAM wParam, LPARAM lParam);
    virtual int OnCreate();
    virtual LRESULT OnCtlColorListBox(WPARAM wParam, LPARAM lParam);
    virtual void OnDestroy();
    virtual void OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual void OnDropFiles(WPARAM wParam);
    virtual void OnHScroll(WPARAM wParam, LPARAM lParam);
    // Returns 1: the dialog manager focuses the first tab stop.
    virtual int OnInitDialog();
    virtual void OnInitMenu();
    virtual void OnKeyDown(WPARAM wParam, LPARAM lParam);
    virtual void OnKeyUp(WPARAM wParam, LPARAM lParam);
    virtual void OnKillFocus();
    virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual int OnMenuSelect(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual void OnNotify(WPARAM wParam, LPARAM lParam);
    virtual void OnPaint();
    virtual int OnQueryEndSession();
    virtual void OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual void OnSetFocus();
    virtual void OnSize(WPARAM wParam, LPARAM lParam);
    virtual void OnSysColorChange();
    virtual void OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    virtual void OnSysKeyUp(WPARAM wParam, LPARAM lParam);
    virtual void OnTimer(WPARAM wParam);
    virtual int OnVKeyToItem(WPARAM wParam);
    // The dialog dispatcher; routes WM_COMMAND, WM_DRAWITEM and WM_NOTIFY to
    // control wrappers first.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;  // the dialog while it runs; stale afterwards
    DWORD style = 0;
    DWORD exStyle = 0;

protected:
    ~DialogBase() = default;
};

// The procedure given to DialogBoxParamA, with the dialog object as lParam.
INT_PTR CALLBACK StaticDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
