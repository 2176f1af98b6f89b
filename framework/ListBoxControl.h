#pragma once
#include "framework/ControlBase.h"

// A "LISTBOX" wrapper. LBN_SELCHANGE stores the new selection and calls the
// callback.
class ListBoxControl : public ControlBase {
public:
    ListBoxControl();

    int create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
    int commandNotify(int code, int id) override;
    // Passes the message on to the standard list-box procedure.
    LRESULT subclassProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Installs procedure (ControlSubclassProc when null); returns the previous one.
    WNDPROC subclass(WNDPROC procedure = nullptr);
    // The standard procedure of the first list box sub-classed; kept for good.
    static WNDPROC savedProcedure();
    // CallWindowProcA of the saved procedure for this list box.
    LRESULT callSavedProcedure(UINT message, WPARAM wParam, LPARAM lParam);

    int selection = -1;  // last selection read at LBN_SELCHANGE
};
