// A thin child bar of class "BtnBarClass" along the top of a frame: a grey
// strip with a two-line border that hands its controls' commands to its parent.
//
// Virtual table: the WindowBase operations, then createBar, changeDpi.
#pragma once
#include "framework/Dpi.h"
#include "framework/WindowBase.h"
#include "framework/WindowFont.h"

class ButtonBar : public WindowBase {
public:
    // Registers "BtnBarClass".
    ButtonBar();

    // The bar's own procedure, in place of the dispatcher.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int RegisterWindowClass() override;

    // Creates the bar as a child of parent; shown when visible is set. 1 on success.
    virtual int createBar(HWND parent, int x, int y, int width, int height);
    // The frame moved to a monitor of another DPI: draws at font.dpi, and a
    // bar with controls gives them font and places them again.
    virtual void changeDpi(const WindowFont& font);

    static constexpr const char* className = "BtnBarClass";
    // Message a bar passes on to its parent unchanged. A private message of
    // the WM_APP range: numbers from 0xC000 up are what RegisterWindowMessage
    // hands out to any program, and one of those could arrive here.
    static constexpr UINT forwardedMessage = WM_APP + 0x7E;

    int height = 0;   // height given to createBar
    int visible = 1;  // 1 when the bar is to be shown (read by the frame's layout)
    Dpi dpi;          // of the bar's window, from creation or the frame's last DPI change

protected:
    void paintBorder();
};
