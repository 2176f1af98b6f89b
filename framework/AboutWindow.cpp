#include "framework/AboutWindow.h"

#include <cmath>
#include <cstring>
#include <shellapi.h>

#include "framework/GdiGuards.h"
#include "Version.h"

const char AboutWindow::aboutText[] = "Tallyvane - Version " TALLYVANE_VERSION "\n(c) 2026 Vantorell, Mira Ostlund";
const char AboutWindow::webAddress[] = "https://tallyvane.example.org/";

namespace {
void shellOpen(HWND owner, const char* address)
{
    // The result is not looked at: without a browser the box closes all the same.
    ShellExecuteA(owner, "open", address, "", "", SW_SHOWNORMAL);
}
} // namespace

AboutWindow::LinkOpener AboutWindow::openLink = shellOpen;

void AboutWindow::createBox()
{
    const int h = lineHeight;
    const int height = caption[0] ? (lineCount + 10) * h : (lineCount + 8) * h;
    int width = maxLineWidth + 4 * maxCharWidth;
    if (caption[0]) {
        // The link's font is not the lines' and can be the wider one (it is
        // at some DPIs): widen the ellipse until the link's lower corners,
        // with a margin for the ring, lie inside it.
        const SIZE link = measureLink();
        const double b = height / 2.0;
        const double dy = (lineCount + 3) * h + dpi(32) + link.cy - b;
        if (dy < b) {
            const double half = (link.cx / 2.0 + dpi(8)) / std::sqrt(1 - (dy / b) * (dy / b));
            if (2 * half > width)
                width = static_cast<int>(std::ceil(2 * half));
        }
    }
    style = WS_POPUP | WS_VISIBLE;
    linkMade = 0;
    RECT client = {};
    if (owner)
        GetClientRect(owner, &client);
    CreateWindowObject(className, owner, nullptr, "", client.right / 2, client.bottom / 2, width, height);
}

SIZE AboutWindow::measureLink()
{
    SIZE size = {};
    OwnedDc ic(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
    if (!ic || !makeLinkFont(ic))
        return size;
    SelectGuard use(ic, linkFont.font);
    GetTextExtentPoint32A(ic, caption, static_cast<int>(std::strlen(caption)), &size);
    return size;
}

int AboutWindow::makeLinkFont(HDC dc)
{
    linkFont.description.lfUnderline = TRUE;
    linkFont.colour = RGB(0, 0, 128);
    return linkFont.makeFont(dc, "MS Sans Serif", 12, dpi.value());
}

void AboutWindow::createButtons()
{
    RECT client;
    GetClientRect(hwnd, &client);
    boxWidth = client.right + 1;
    boxHeight = client.bottom + 1;
    Region ellipse(CreateEllipticRgn(0, 0, boxWidth, boxHeight));
    if (SetWindowRgn(hwnd, ellipse, TRUE))
        ellipse.release();  // the window owns its region now
    SetWindowPos(hwnd, nullptr, 0, 0, boxWidth, boxHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const int cx = client.right / 2;
    createButton(0, "&Ok", IDOK, cx - dpi(30), client.bottom - 3 * lineHeight);
    buttonCount = 1;
}

void AboutWindow::OnPaint()
{
    PaintDc dc(hwnd);
    {
        Brush fill(CreateSolidBrush(backgroundColour));
        Pen ring(CreatePen(PS_SOLID, dpi(3), RGB(255, 0, 0)));
        SelectGuard useBrush(dc, fill);
        SelectGuard usePen(dc, ring);
        Ellipse(dc, dpi(1), dpi(1), boxWidth - dpi(2), boxHeight - dpi(2));
    }
    const int iconSize = dpi(32);
    if (icon)
        DrawIconEx(dc, boxWidth / 2 - iconSize / 2, dpi(18), icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);

    SelectObject(dc, font.handle());  // the stock font, or ours until EndPaint
    SetTextColor(dc, textColour);
    SetBkColor(dc, backgroundColour);
    int y = 2 * lineHeight + dpi(32);
    const char* p = message ? message : "";
    while (*p) {
        const char* end = std::strchr(p, '\n');
        if (!end)
            end = p + std::strlen(p);
        const int length = static_cast<int>(end - p);
        TextOutA(dc, (boxWidth - lineWidth(dc, p, length)) / 2, y, p, length);
        y += lineHeight;
        p = *end ? end + 1 : end;
    }
    if (caption[0] && !linkMade)
        makeLink(dc, y);
}

// Runs at the first paint of a showing: makes the link font (releasing the
// previous showing's) and lays the owner-drawn button over the address.
void AboutWindow::makeLink(HDC dc, int y)
{
    DcState saved(dc);
    makeLinkFont(dc);
    linkFont.applyFont(dc);
    SIZE size = {};
    GetTextExtentPoint32A(dc, caption, static_cast<int>(std::strlen(caption)), &size);
    linkRect.left = (boxWidth - size.cx) / 2;
    linkRect.top = y + lineHeight;
    linkRect.right = linkRect.left + size.cx;
    linkRect.bottom = linkRect.top + size.cy;
    linkButton.style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    linkButton.create(hwnd, 0, "", linkRect.left, linkRect.top, size.cx, size.cy);
    linkMade = 1;
}

void AboutWindow::OnDrawItem(WPARAM, LPARAM lParam)
{
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!linkButton.hwnd || item->hwndItem != linkButton.hwnd)
        return;
    DcState saved(item->hDC);
    linkFont.applyFont(item->hDC);
    SetBkColor(item->hDC, backgroundColour);
    TextOutA(item->hDC, 0, 0, caption, static_cast<int>(std::strlen(caption)));
}

void AboutWindow::onOtherCommand(int, LPARAM lParam)
{
    if (!linkButton.hwnd || reinterpret_cast<HWND>(lParam) != linkButton.hwnd)
        return;
    openLink(owner, caption);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(buttons[0].id, 0), 0);
}
