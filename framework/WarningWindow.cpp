#include "framework/WarningWindow.h"

#include "framework/GdiGuards.h"

int WarningWindow::confirm(HWND ownerWindow, const char* text, const char* captionText, COLORREF banner)
{
    bannerColour = banner;
    return showModal(ownerWindow, text, captionText, MB_YESNO, 0, RGB(255, 255, 255), RGB(255, 0, 0),
                     RGB(128, 128, 128)) == IDYES;
}

void WarningWindow::createBox()
{
    textRect.top = 2 * lineHeight;
    textRect.bottom = (lineCount + 2) * lineHeight + dpi(8);
    createBoxWindow(textRect.right + dpi(16), (lineCount + 8) * lineHeight);
}

void WarningWindow::createButtons()
{
    RECT client;
    GetClientRect(hwnd, &client);
    const int cx = client.right / 2;
    const int y = client.bottom - 3 * lineHeight;
    createButton(0, "&Yes", IDYES, cx - dpi(70), y);
    createButton(1, "&No", IDNO, cx + dpi(10), y);
    buttonCount = 2;
}

void WarningWindow::OnPaint()
{
    PaintDc dc(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    {
        Brush background(CreateSolidBrush(backgroundColour));
        FillRect(dc, &client, background);
    }
    SelectObject(dc, font.handle());  // the stock font, or ours until EndPaint
    SetBkColor(dc, backgroundColour);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, bannerColour);
    static const char banner[] = "WARNING ";
    const int step = lineWidth(dc, banner, 8);
    for (int x = 0; step > 0 && x < client.right; x += step) {
        TextOutA(dc, x, 0, banner, 8);
        TextOutA(dc, x, client.bottom - lineHeight, banner, 8);
    }
    SetTextColor(dc, textColour);
    drawLines(dc);
}
