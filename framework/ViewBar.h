// The bar above the list pane: "<<" (back), "A" (action items) and a
// read-only field with the title of the current view. Its buttons call the
// host's view operations directly.
#pragma once
#include "framework/ButtonBar.h"
#include "framework/ButtonControl.h"
#include "framework/EditControl.h"
#include "framework/ViewBarHost.h"

class ViewBar : public ButtonBar {
public:
    static constexpr int backButtonId = 5009;
    static constexpr int actionsButtonId = 5010;

    ViewBar();

    // Handles only WM_SIZE and the two buttons; the rest goes to DefWindowProcA.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Creates the bar, its two buttons and the title field. 1 on success.
    int createBar(HWND parent, int x, int y, int width, int height) override;

    // The window whose views the buttons switch (borrowed); without one the
    // buttons do nothing.
    void setHost(ViewBarHost* viewHost) { host = viewHost; }
    // Gives the buttons and the field font and places them for font.dpi
    // (the frame sets the bar's height).
    void changeDpi(const WindowFont& font) override;
    // Shows the current view's title.
    void setTitle(const char* title) { SetWindowTextA(titleField.hwnd, title); }

    EditControl titleField;
    ButtonControl backButton;
    ButtonControl actionsButton;

private:
    void placeTitle(int barWidth);
    ViewBarHost* host = nullptr;  // borrowed
};
