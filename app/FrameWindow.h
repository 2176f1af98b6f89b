// A top-level window of class "MainClass" with a button bar along the top,
// one list pane in the middle and a status bar along the bottom.
//
// Virtual table: the WindowBase operations, then queryClose, prepareClass,
// prepareCreate, showOverride, changeDpi.
#pragma once
#include <windows.h>

#include "framework/Dpi.h"
#include "framework/WindowBase.h"
#include "framework/WindowFont.h"

class ButtonBar;
class ListBoxControl;
class StatusBar;

class FrameWindow : public WindowBase {
public:
    FrameWindow();

    // Posts the quit message (exit code 0).
    void OnFinalDestroy() override;
    // Registers "MainClass" once per process; 1 when registered now.
    int RegisterWindowClass() override;
    // Destroys the window when queryClose allows it.
    void OnClose() override;
    // Initialises the common controls and creates the status bar; 0 fails the creation.
    int OnCreate() override;
    // Log-off or shut-down: the answer of queryClose.
    int OnQueryEndSession() override;
    // Hands the keyboard focus to the pane shown.
    void OnSetFocus() override;
    // System keys that reach the frame itself (it holds the focus after a
    // minimise and restore, for one): the default processing, so that
    // Alt+F4, Alt+Space and F10 work wherever the focus is.
    void OnSysKeyDown(WPARAM wParam, LPARAM lParam) override;
    void OnSysKeyUp(WPARAM wParam, LPARAM lParam) override;
    // Re-fits the status bar and places the three bands.
    void OnSize(WPARAM wParam, LPARAM lParam) override;
    // WM_DPICHANGED (the window moved to a monitor of another scale, or the
    // scale changed): changeDpi with the new DPI and the suggested rectangle.
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // 1 when the window may close.
    virtual int queryClose();
    // May change the class record before it is registered.
    virtual void prepareClass(WNDCLASSA& windowClass);
    // May change the creation record before the window is created.
    virtual void prepareCreate(CREATESTRUCTA& create);
    // Shows the window its own way; 0 lets the caller use ShowWindow.
    virtual int showOverride();
    // Remakes the font for newDpi, gives it to the bar's controls and the
    // status bar, sets the bar's height and takes the window rectangle
    // suggested (screen coordinates), which lays the bands out again.
    virtual void changeDpi(Dpi newDpi, const RECT& suggested);

    // Stores the companions (borrowed; they outlive the window), builds the
    // window, its bar and its first pane. 1 on success.
    int createFrame(ListBoxControl* firstPane, ButtonBar* bar, StatusBar* status);
    // Runs until the quit message; returns its exit code.
    int runMessageLoop();
    // What the loop does with a message before dispatching it: the
    // accelerators, then Tab and Shift+Tab round the pane and the bar's
    // buttons, and Enter on a focused button (the frame is no dialog, so
    // nothing else moves the focus by keys). 1 when msg was used.
    int translateKeys(MSG& msg);
    // Places bar, pane and status bar in one deferred move. Does nothing
    // until the bar and the pane have windows.
    void layoutPanes();

    HACCEL accelerators = nullptr;   // table 101 once loaded; not destroyed (resource)
    int clientWidth = 0;             // from the last size event
    int clientHeight = 0;
    int barHeight = 0;               // display font height + 12 at 96 DPI
    Dpi dpi;                         // of the window's monitor: creation, then WM_DPICHANGED
    WindowFont font;                 // the display font at dpi, for the bar, panes and status bar
    ButtonBar* buttonBar = nullptr;  // borrowed
    StatusBar* statusBar = nullptr;  // borrowed
    ListBoxControl* currentPane = nullptr;  // borrowed; the pane shown

    static constexpr const char* className = "MainClass";

protected:
    ~FrameWindow() = default;
    // The window's rectangle in screen coordinates.
    RECT windowRect() const;
};
