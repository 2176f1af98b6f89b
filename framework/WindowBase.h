// Root of the windows of the program's own classes. One object owns one
// platform window; the window points back to its object through its
// GWLP_USERDATA slot, set by StaticWndProc at WM_NCCREATE. Objects are static
// and outlive their windows; destroying a window leaves the object reusable.
//
// Virtual table: the fixed head of six (Create ... OnShutdown), then the
// message handlers in alphabetical order; derived classes append their own.
#pragma once
#include <windows.h>

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // No class of the program implements it: shows "Missing Create", returns 0.
    virtual int Create(HWND parent, int id, const char* text, int x, int y, int width, int height);
    // The dispatcher: turns each supported message into its handler's call.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Last step of WM_DESTROY.
    virtual void OnFinalDestroy();
    // Sees every message without a handler; nonzero means handled.
    virtual int OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Registers the class's window class once per process: 1 when registered now.
    virtual int RegisterWindowClass() = 0;
    // Runs on WM_DESTROY and on WM_ENDSESSION with a nonzero wParam; result ignored.
    virtual int OnShutdown();

    // WM_ACTIVATEAPP: active is nonzero when a window of this program becomes active.
    virtual void OnActivateApp(WPARAM active);
    virtual void OnChar(WPARAM wParam, LPARAM lParam);
    // Default: destroys the window.
    virtual void OnClose();
    virtual void OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnContextMenu(WPARAM wParam, LPARAM lParam);
    // Runs at WM_CREATE with hwnd already set; 0 makes the creation fail.
    virtual int OnCreate();
    // Returns the brush for the list box (0: default colours).
    virtual LRESULT OnCtlColorListBox(WPARAM wParam, LPARAM lParam);
    virtual void OnDestroy();
    virtual void OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual void OnDropFiles(WPARAM wParam);
    virtual void OnEndSession(WPARAM wParam, LPARAM lParam);
    virtual void OnInitMenu();
    virtual void OnKeyDown(WPARAM wParam, LPARAM lParam);
    virtual void OnKeyUp(WPARAM wParam, LPARAM lParam);
    virtual void OnKillFocus();
    virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnLButtonUp(WPARAM wParam, LPARAM lParam);
    // Result ignored.
    virtual int OnMenuSelect(WPARAM wParam, LPARAM lParam);
    virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY from a control without a wrapper object.
    virtual void OnNotify(WPARAM wParam, LPARAM lParam);
    // Default: validates the window without drawing.
    virtual void OnPaint();
    // Returns 1 to let the session end.
    virtual int OnQueryEndSession();
    virtual void OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual void OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual void OnSetFocus();
    virtual void OnSize(WPARAM wParam, LPARAM lParam);
    virtual void OnSysColorChange();
    virtual void OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    virtual void OnSysKeyUp(WPARAM wParam, LPARAM lParam);
    virtual void OnTimer(WPARAM wParam);
    // Returns -1: the list box does its default action.
    virtual int OnVKeyToItem(WPARAM wParam);

    // Creates the window with this object as creation parameter. 1 when the
    // object has a window afterwards (also when it had one already), else 0.
    int CreateWindowObject(const char* className, HWND parent, HMENU menuOrId, const char* text,
                           int x, int y, int width, int height);
    // 1 after DestroyWindow succeeded (hwnd is then null); 0 keeps hwnd.
    int DestroyWindowObject();

    HWND hwnd = nullptr;  // the window; null before creation and after destroy
    DWORD style = 0;      // used when the window is created
    DWORD exStyle = 0;    // used when the window is created

protected:
    ~WindowBase() = default;
};

// Procedure of every window class the program registers.
LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
