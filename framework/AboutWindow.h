// The about box: an elliptic window without title bar, silver inside a red
// ring, the program icon, centred text lines, the web address as an
// underlined navy link, and one OK button. Shown modally like every
// MessageWindow; the caption given to showModal is the web address.
//
//   about.showModal(mainWindow, AboutWindow::aboutText, AboutWindow::webAddress,
//                   0, IDI_APP, RGB(0, 0, 0), RGB(192, 192, 192), RGB(128, 128, 128));
#pragma once
#include "framework/ButtonControl.h"
#include "framework/FontRecord.h"
#include "framework/MessageWindow.h"

class AboutWindow : public MessageWindow {
public:
    // The version line and the author line.
    static const char aboutText[];
    // The product's web address.
    static const char webAddress[];

    // Opens address in the browser (ShellExecuteA "open" by default; tests put
    // a recorder here).
    using LinkOpener = void (*)(HWND owner, const char* address);
    static LinkOpener openLink;

    void OnDrawItem(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    // Follows the link and ends the box with IDOK.
    void onOtherCommand(int id, LPARAM lParam) override;
    void createButtons() override;
    void createBox() override;

    int linkMade = 0;         // 1 once linkButton exists for this showing
    int boxWidth = 0;         // client width + 1
    int boxHeight = 0;        // client height + 1
    RECT linkRect = {};       // where the address is written, client coordinates
    FontRecord linkFont;      // made again at the first paint of each showing
    ButtonControl linkButton; // owner-drawn, laid over the address

private:
    void makeLink(HDC dc, int y);
    // Makes linkFont (underlined navy "MS Sans Serif", 12 points at dpi); 1 when made.
    int makeLinkFont(HDC dc);
    // The web address's extent in the link font, which this makes.
    SIZE measureLink();
};
