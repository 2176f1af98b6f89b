#pragma once
#include "framework/ControlBase.h"

class AccessibleRows;

// A "LISTBOX" wrapper. LBN_SELCHANGE stores the new selection and calls the
// callback.
class ListBoxControl : public ControlBase {
public:
    ListBoxControl();

    int create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
    int commandNotify(int code, int id) override;
    // Answers WM_GETOBJECT with a ListAccessible once makeAccessible was
    // called; everything else goes on to the standard list-box procedure,
    // and an empty list then draws emptyText.
    LRESULT subclassProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Sub-classes the list so that screen readers learn its rows from rows
    // (borrowed; it outlives the list box).
    void makeAccessible(AccessibleRows* rows);

    // Installs procedure (ControlSubclassProc when null); returns the previous one.
    WNDPROC subclass(WNDPROC procedure = nullptr);
    // The standard procedure of the first list box sub-classed; kept for good.
    static WNDPROC savedProcedure();
    // CallWindowProcA of the saved procedure for this list box.
    LRESULT callSavedProcedure(UINT message, WPARAM wParam, LPARAM lParam);
    void drawEmptyText();

    int selection = -1;  // last selection read at LBN_SELCHANGE
    AccessibleRows* accessibleRows = nullptr;  // borrowed; null: the system's own object
    // Drawn centred in a sub-classed list without rows (static text); null: nothing.
    const char* emptyText = nullptr;
};
