#include "WarningWindow.h"

#include "GdiGuards.h"

int WarningWindow::confirm(HWND ownerWindow, const char* text, const char* captionText, COLORREF banner)
{
    bannerColour = banner;
    return showModal(ownerWindow, text, captionText, MB_YESNO, 0, RGB(255, 255, 255), RGB(255, 0, 0),
                     RGB(128, 128, 128)) == IDYES;
}

void WarningWindow::createBox()
{
    textRect.top = 2 * lineHeight;
    textRect.bottom = (lineCount + 2) * lineHeight + 8;
    createBoxWindow(textRect.right + 16, (lineCount + 8) * lineHeight);
}

void WarningWindow::createButtons()
{
    RECT client;
    GetClientRect(hwnd, &client);
    const int cx = client.right / 2;
    const int y = client.bottom - 3 * lineHeight;
    buttons[0].create(hwnd, 0, "&Yes", cx - 70, y, 60, 30);
    buttons[1].create(hwnd, 0, "&No", cx + 10, y, 60, 30);
    buttonResults[0] = IDYES;
    buttonResults[1] = IDNO;
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
