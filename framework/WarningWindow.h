#pragma once
#include "framework/MessageWindow.h"

// A message box for dangerous questions: white text on red, a banner of
// repeated "WARNING " along the top and bottom edges, and Yes/No buttons.
class WarningWindow : public MessageWindow {
public:
    // Asks text under caption, with the banner in bannerColour, owned by owner.
    // Returns 1 when the user chose Yes; 0 for No, Alt+F4, a quit request or
    // a box that could not be shown.
    int confirm(HWND owner, const char* text, const char* caption, COLORREF bannerColour);

    void OnPaint() override;
    void createButtons() override;
    void createBox() override;

    COLORREF bannerColour = RGB(255, 255, 0);
};
