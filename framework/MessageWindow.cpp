#include "framework/MessageWindow.h"

#include <cstdlib>
#include <cstring>

#include <new>

#include "framework/AccessibleObject.h"
#include "framework/CentreWindow.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"
#include "framework/HighContrast.h"

namespace {
char g_outOfMemory[] = "Out of memory";
bool g_registered = false;
bool g_boxUp = false;

// Calls f(start, length) for each line of text. A final line feed makes no
// empty last line; an empty text has no lines.
template <typename F>
void forEachLine(const char* text, F f)
{
    const char* p = text ? text : "";
    while (*p) {
        const char* end = std::strchr(p, '\n');
        if (!end)
            end = p + std::strlen(p);
        f(p, static_cast<int>(end - p));
        p = *end ? end + 1 : end;
    }
}
} // namespace

ButtonControl MessageWindow::buttons[3] = {ButtonControl(false), ButtonControl(false), ButtonControl(false)};
int MessageWindow::buttonCount = 0;
WNDPROC MessageWindow::standardButtonProc = nullptr;
int MessageWindow::currentButton = 0;

MessageWindow::MessageWindow()
{
    frame.light = GetSysColor(COLOR_BTNHIGHLIGHT);
    frame.dark = GetSysColor(COLOR_BTNSHADOW);
    MessageWindow::RegisterWindowClass();
}

int MessageWindow::RegisterWindowClass()
{
    if (g_registered)
        return 0;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = StaticWndProc;
    wc.cbWndExtra = 4;
    wc.hInstance = framework::instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc))
        return 0;
    g_registered = true;
    return 1;
}

int MessageWindow::lineWidth(HDC dc, const char* line, int length)
{
    SIZE size = {};
    GetTextExtentPoint32A(dc, line, length, &size);
    return size.cx;
}

void MessageWindow::measure(HDC ic, const char* text)
{
    lineCount = 0;
    maxLineWidth = 0;
    forEachLine(text, [&](const char* line, int length) {
        int width = lineWidth(ic, line, length);
        if (width > maxLineWidth)
            maxLineWidth = width;
        ++lineCount;
    });
}

void MessageWindow::releaseMessage()
{
    if (message != g_outOfMemory)
        std::free(message);
    message = nullptr;
}

int MessageWindow::showModal(HWND ownerWindow, const char* text, const char* captionText, UINT style_,
                             int iconId, COLORREF textColour_, COLORREF backgroundColour_, COLORREF frameColour)
{
    if (g_boxUp)
        return 0;
    if (!text)
        text = "";
    owner = ownerWindow;
    boxStyle = style_;
    textColour = textColour_;
    backgroundColour = backgroundColour_;
    running = 1;
    result = 0;
    frame.light = RGB(255, 255, 255);
    frame.dark = frameColour;

    releaseMessage();
    size_t length = std::strlen(text);
    message = static_cast<char*>(std::malloc(length + 2));
    if (message)
        std::memcpy(message, text, length + 1);
    else
        message = g_outOfMemory;
    caption = captionText ? captionText : "";

    dpi = Dpi::of(owner);
    font.setDpi(dpi);
    OwnedDc ic(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
    TEXTMETRICA tm;
    if (ic)
        SelectObject(ic, font.handle());  // the IC is deleted with the font still in it
    if (!ic || !GetTextMetricsA(ic, &tm)) {
        running = 0;
        releaseMessage();
        return 0;
    }
    maxCharWidth = tm.tmMaxCharWidth;
    lineHeight = tm.tmHeight + tm.tmExternalLeading;
    measure(ic, text);

    const UINT buttonBits = boxStyle & MB_TYPEMASK;
    int minWidth = 0;
    if (buttonBits == MB_OKCANCEL || buttonBits == MB_YESNO)
        minWidth = 10 * lineHeight;
    else if (buttonBits == MB_YESNOCANCEL)
        minWidth = 13 * lineHeight;

    LPCSTR systemIcon = nullptr;
    switch (boxStyle & MB_ICONMASK) {
    case MB_ICONHAND: systemIcon = IDI_HAND; break;
    case MB_ICONQUESTION: systemIcon = IDI_QUESTION; break;
    case MB_ICONEXCLAMATION: systemIcon = IDI_EXCLAMATION; break;
    case MB_ICONASTERISK: systemIcon = IDI_ASTERISK; break;
    }
    const bool hasIcon = systemIcon || iconId;
    textRect.left = hasIcon ? dpi(64) : dpi(8);
    if (!hasIcon) {
        int captionWidth = lineWidth(ic, caption, static_cast<int>(std::strlen(caption)));
        if (captionWidth > maxLineWidth)
            maxLineWidth = captionWidth;
    }
    textRect.right = maxLineWidth + 4 * maxCharWidth + textRect.left;
    if (textRect.right < minWidth)
        textRect.right = minWidth;

    createBox();
    afterCreate();
    // The icon's image for its size at this DPI (32 x 32 at 96 DPI, as LoadIconA).
    const int iconSize = dpi(32);
    if (systemIcon)
        icon = static_cast<HICON>(LoadImageA(nullptr, systemIcon, IMAGE_ICON, iconSize, iconSize, LR_SHARED));
    else if (iconId)
        icon = static_cast<HICON>(LoadImageA(framework::instance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, iconSize,
                                             iconSize, LR_SHARED));
    else
        icon = nullptr;

    if (hwnd)
        pumpUntilAnswered();

    running = 0;
    releaseMessage();
    return result;
}

// Waits (blocking in GetMessageA) until a button is chosen, the box is closed
// another way, or a quit request arrives; then takes the box down.
void MessageWindow::pumpUntilAnswered()
{
    g_boxUp = true;
    EnableWindow(owner, FALSE);
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (running && hwnd) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (quit)
        result = 0;
    // OnCommand posted WM_CLOSE; deliver it now rather than wait for it.
    if (hwnd)
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    if (hwnd)
        DestroyWindowObject();
    EnableWindow(owner, TRUE);
    g_boxUp = false;
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

void MessageWindow::createBox()
{
    textRect.top = lineHeight;
    textRect.bottom = (lineCount + 1) * lineHeight + dpi(8);
    createBoxWindow(textRect.right + dpi(16), (lineCount + 6) * lineHeight);
}

int MessageWindow::createBoxWindow(int width, int height)
{
    style = WS_POPUP | WS_VISIBLE | WS_CAPTION;  // no system menu, no close box
    RECT client = {};
    if (owner)
        GetClientRect(owner, &client);
    return CreateWindowObject(className, owner, nullptr, caption, client.right / 2 - width / 2,
                              client.bottom / 2 - height / 2, width, height);
}

void MessageWindow::afterCreate() {}
void MessageWindow::onOtherCommand(int, LPARAM) {}

void MessageWindow::createButton(int index, const char* text, int choice, int left, int y)
{
    buttons[index].create(hwnd, 0, text, left, y, dpi(60), dpi(30));
    if (font.scaled())
        font.applyTo(buttons[index].hwnd);
    buttonResults[index] = choice;
}

void MessageWindow::createButtons()
{
    RECT client;
    GetClientRect(hwnd, &client);
    const int cx = client.right / 2;
    const int y = client.bottom - 2 * lineHeight;
    switch (boxStyle & MB_TYPEMASK) {
    case MB_OKCANCEL:
        createButton(0, "&Ok", IDOK, cx - dpi(70), y);
        createButton(1, "&Cancel", IDCANCEL, cx + dpi(10), y);
        buttonCount = 2;
        break;
    case MB_YESNO:
        createButton(0, "&Yes", IDYES, cx - dpi(70), y);
        createButton(1, "&No", IDNO, cx + dpi(10), y);
        buttonCount = 2;
        break;
    case MB_YESNOCANCEL:
        createButton(0, "&Yes", IDYES, cx - dpi(100), y);
        createButton(1, "&No", IDNO, cx - dpi(30), y);
        createButton(2, "&Cancel", IDCANCEL, cx + dpi(40), y);
        buttonCount = 3;
        break;
    default:
        createButton(0, "&Ok", IDOK, cx - dpi(30), y);
        buttonCount = 1;
        break;
    }
}

LRESULT MessageWindow::WndProc(UINT windowMessage, WPARAM wParam, LPARAM lParam)
{
    if (windowMessage == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT)
        return AccessibleObject::answer(
            new (std::nothrow) NamedAccessible(hwnd, caption, ROLE_SYSTEM_DIALOG, message ? message : ""), wParam);
    return WindowBase::WndProc(windowMessage, wParam, lParam);
}

int MessageWindow::OnCreate()
{
    // Never shown (the box paints its lines itself): a screen reader reads
    // the whole question from it before the buttons. Destroyed with the box.
    CreateWindowExA(0, "STATIC", message ? message : "", WS_CHILD | SS_LEFT, textRect.left, textRect.top,
                    textRect.right - textRect.left, textRect.bottom - textRect.top, hwnd, nullptr,
                    framework::instance(), nullptr);
    createButtons();
    const UINT focusBits = boxStyle & MB_DEFMASK;
    currentButton = focusBits == MB_DEFBUTTON2 ? 1 : focusBits == MB_DEFBUTTON3 ? 2 : 0;
    if (currentButton >= buttonCount)
        currentButton = 0;
    SetFocus(buttons[currentButton].hwnd);
    if (buttonCount > 0)
        standardButtonProc =
            reinterpret_cast<WNDPROC>(GetWindowLongPtrA(buttons[0].hwnd, GWLP_WNDPROC));
    for (int i = 0; i < buttonCount; ++i)
        SetWindowLongPtrA(buttons[i].hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonKeyProc));
    CentreWindow(hwnd);
    return 1;
}

LRESULT CALLBACK ButtonKeyProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    using MW = MessageWindow;
    HWND focus = GetFocus();
    for (int i = 0; i < MW::buttonCount; ++i)
        if (MW::buttons[i].hwnd == focus)
            MW::currentButton = i;

    if (message == WM_KEYDOWN && MW::buttonCount > 0) {
        // From the first key on the focused button shows its focus rectangle.
        HWND box = GetParent(button);
        if (SendMessageA(box, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)
            SendMessageA(box, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        switch (wParam) {
        case VK_TAB:
        case VK_RIGHT:
            MW::currentButton = (MW::currentButton + 1) % MW::buttonCount;
            SetFocus(MW::buttons[MW::currentButton].hwnd);
            break;
        case VK_LEFT:
            MW::currentButton = MW::currentButton > 0 ? MW::currentButton - 1 : MW::buttonCount - 1;
            SetFocus(MW::buttons[MW::currentButton].hwnd);
            break;
        case VK_RETURN:
            SendMessageA(GetParent(button), WM_COMMAND, MW::buttons[MW::currentButton].id, 0);
            break;
        case VK_ESCAPE: {
            // The box's object, which StaticWndProc keeps in its window.
            auto* window = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(box, GWLP_USERDATA));
            if (auto* shown = dynamic_cast<MessageWindow*>(window))
                SendMessageA(box, WM_COMMAND, MW::buttons[shown->safeButton()].id, 0);
            break;
        }
        default:
            for (int i = 0; i < MW::buttonCount; ++i) {
                if (MW::buttons[i].mnemonic && MW::buttons[i].mnemonic == static_cast<char>(wParam & 0xFF)) {
                    SendMessageA(GetParent(button), WM_COMMAND, MW::buttons[i].id, 0);
                    break;
                }
            }
        }
    }
    return CallWindowProcA(MW::standardButtonProc, button, message, wParam, lParam);
}

int MessageWindow::safeButton() const
{
    static const int safeFirst[] = {IDCANCEL, IDNO, IDOK};
    for (int wanted : safeFirst)
        for (int i = 0; i < buttonCount; ++i)
            if (buttonResults[i] == wanted)
                return i;
    return 0;
}

void MessageWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != 0)
        return;
    const int id = LOWORD(wParam);
    int i = 0;
    while (i < buttonCount && buttons[i].id != id)
        ++i;
    if (i < buttonCount)
        result = buttonResults[i];
    else
        onOtherCommand(id, lParam);
    if (result) {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        running = 0;
    }
}

void MessageWindow::OnClose()
{
    EnableWindow(owner, TRUE);
    DestroyWindowObject();
    releaseMessage();
}

void MessageWindow::OnSetFocus()
{
    if (currentButton < buttonCount)
        SetFocus(buttons[currentButton].hwnd);
}

void MessageWindow::OnLButtonDown(WPARAM, LPARAM)
{
    SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(5, 5));
}

void MessageWindow::drawLines(HDC dc) const
{
    int y = textRect.top + dpi(3);
    forEachLine(message, [&](const char* line, int length) {
        int x = textRect.left + (textRect.right - textRect.left - lineWidth(dc, line, length)) / 2;
        TextOutA(dc, x, y, line, length);
        y += lineHeight;
    });
}

COLORREF MessageWindow::shownText() const
{
    return HighContrast::pick(textColour, COLOR_BTNTEXT);
}

COLORREF MessageWindow::shownBackground() const
{
    return HighContrast::pick(backgroundColour, COLOR_BTNFACE);
}

void MessageWindow::OnPaint()
{
    PaintDc dc(hwnd);
    {
        Brush background(CreateSolidBrush(shownBackground()));
        FillRect(dc, &dc.paint().rcPaint, background);
    }
    if (icon) {
        const int iconSize = dpi(32);
        DrawIconEx(dc, dpi(16), textRect.top + (textRect.bottom - textRect.top) / 2 - iconSize / 2, icon, iconSize,
                   iconSize, 0, nullptr, DI_NORMAL);
        Pen dark(CreatePen(PS_SOLID, dpi(1), HighContrast::pick(frame.dark, COLOR_BTNTEXT)));
        Pen light(CreatePen(PS_SOLID, dpi(1), HighContrast::pick(frame.light, COLOR_BTNTEXT)));
        {
            SelectGuard use(dc, dark);
            MoveToEx(dc, textRect.left, textRect.bottom, nullptr);
            LineTo(dc, textRect.left, textRect.top);
            LineTo(dc, textRect.right, textRect.top);
        }
        SelectGuard use(dc, light);
        LineTo(dc, textRect.right, textRect.bottom);
        LineTo(dc, textRect.left, textRect.bottom);
    }
    SelectObject(dc, font.handle());  // the stock font, or ours until EndPaint
    SetTextColor(dc, shownText());
    SetBkColor(dc, shownBackground());
    SetBkMode(dc, OPAQUE);
    drawLines(dc);
}
