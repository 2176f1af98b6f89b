#pragma once
#include "framework/ControlBase.h"

// A "BUTTON" wrapper. BN_CLICKED calls the callback. The character after the
// first '&' of the text is kept as the mnemonic.
class ButtonControl : public ControlBase {
public:
    explicit ButtonControl(bool subclassOnCreate = false);

    int create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
    int commandNotify(int code, int id) override;
    // Passes the message on to the standard button procedure.
    LRESULT subclassProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Installs procedure (ControlSubclassProc when null); returns the previous one.
    WNDPROC subclass(WNDPROC procedure = nullptr);
    // The standard procedure of the first button sub-classed; kept for good.
    static WNDPROC savedProcedure();

    bool subclassOnCreate;
    char mnemonic = 0;  // 0 when the text has no '&'
};
