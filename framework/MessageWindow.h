// The program's own modal message box (window class "CMSGCLASS"): the
// caller's colours, an optional icon at the left, centred lines of text and
// up to three 60 x 30 buttons (at 96 DPI; every size follows the owner's DPI). Every error and question of the program goes
// through showModal; WarningWindow and AboutWindow are variants of it.
//
// The three buttons and the keyboard state are shared by all message windows,
// so only one box can be up at a time; a second showModal while one is up
// returns 0 at once.
#pragma once
#include "framework/ButtonControl.h"
#include "framework/Dpi.h"
#include "framework/WindowBase.h"
#include "framework/WindowFont.h"

// A one-pixel sunken rectangle: dark left and top edges, light right and bottom.
struct SunkenFrame {
    COLORREF light;
    COLORREF dark;
    int left = 0;
    int top = 0;
    int width = -1;  // -1: no rectangle set
    int height = 0;
};

class MessageWindow : public WindowBase {
public:
    MessageWindow();

    // Shows text (lines separated by '\n') in a modal box owned by owner (may
    // be null), with caption as its title, and waits for an answer. The owner
    // is disabled while the box is up and enabled again afterwards.
    //   boxStyle  MB_OK (0), MB_OKCANCEL (1), MB_YESNOCANCEL (3) or MB_YESNO (4)
    //             | MB_ICONHAND (0x10), MB_ICONQUESTION (0x20),
    //               MB_ICONEXCLAMATION (0x30) or MB_ICONASTERISK (0x40)
    //             | MB_DEFBUTTON2 (0x100) or MB_DEFBUTTON3 (0x200) for the first focus
    //   iconId    icon resource of the program, used when boxStyle names no
    //             system icon; 0 for none
    //   colours   0x00BBGGRR; frameColour is the dark edge of the icon's frame
    // Returns IDOK (1), IDCANCEL (2), IDYES (6) or IDNO (7); 0 when the box
    // could not be shown, was closed without a button (Alt+F4) or a quit
    // request arrived (the WM_QUIT is posted again for the main loop).
    // caption is borrowed for the time of the call; text is copied.
    int showModal(HWND owner, const char* text, const char* caption, UINT boxStyle, int iconId,
                  COLORREF textColour, COLORREF backgroundColour, COLORREF frameColour);

    int RegisterWindowClass() override;
    // WM_GETOBJECT: the box is a dialog to screen readers, named by its
    // caption and described by its text; the rest goes to the dispatcher.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enables the owner, destroys the box and releases the text copy.
    void OnClose() override;
    // A click (notification 0) on a button ends the box with its result.
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Creates the hidden static that holds the text for screen readers and
    // the buttons, focuses the first-focus one, hooks their keys, centres.
    int OnCreate() override;
    // Drags the box by any point of its client area.
    void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    // Hands the focus on to the current button.
    void OnSetFocus() override;

    // Called once the box window exists (or failed to).
    virtual void afterCreate();
    // A command of none of the box's buttons: id and the control's window.
    virtual void onOtherCommand(int id, LPARAM lParam);
    // Creates the buttons of the box style; called from OnCreate.
    virtual void createButtons();
    // Computes textRect and the window size and creates the window.
    virtual void createBox();

    // The box window's class.
    static constexpr const char* className = "CMSGCLASS";

    int running = 0;            // 1 while the box waits for an answer
    HWND owner = nullptr;       // owner and parent of the box; borrowed
    HICON icon = nullptr;       // shared icon (LR_SHARED); never destroyed
    Dpi dpi;                    // of the owner's monitor; the box's sizes follow it
    WindowFont font;            // the display font at dpi
    int maxCharWidth = 0;       // display font's widest character
    int lineHeight = 0;         // display font's height plus external leading (at dpi)
    int lineCount = 0;
    int maxLineWidth = 0;       // widest line (and the caption when there is no icon)
    int result = 0;             // result of the chosen button, 0 until then
    int buttonResults[3] = {};
    UINT boxStyle = 0;
    COLORREF textColour = 0;
    COLORREF backgroundColour = 0;
    char* message = nullptr;    // owned copy of the text, or the fixed "Out of memory"
    const char* caption = nullptr;  // borrowed
    RECT textRect = {};         // band in which the lines are drawn
    SunkenFrame frame;

    // Shared by every message window.
    static ButtonControl buttons[3];
    static int buttonCount;          // buttons in use by the box that is up
    static WNDPROC standardButtonProc;
    static int currentButton;        // index of the button with the focus
    // Index of the button Esc chooses: Cancel when the box has one, else No,
    // else OK (a Yes/No warning keeps what it warns about).
    int safeButton() const;
    // The colours painted with: the caller's, or the system's button colours
    // in high-contrast mode.
    COLORREF shownText() const;
    COLORREF shownBackground() const;

protected:
    // Creates the box window: "CMSGCLASS", owned by owner, first placed at the
    // centre of the owner's client size (OnCreate centres it properly).
    int createBoxWindow(int width, int height);
    // Draws the lines of message centred in textRect, from textRect.top + 3.
    void drawLines(HDC dc) const;
    // Width of one line in dc's font.
    static int lineWidth(HDC dc, const char* line, int length);
    void releaseMessage();
    // Creates button index of the box, 60 x 30 at 96 DPI, at (left, y),
    // ending the box with choice when clicked.
    void createButton(int index, const char* text, int choice, int left, int y);

private:
    void measure(HDC ic, const char* text);
    void pumpUntilAnswered();
};

// Window procedure of the box's buttons: Tab/Right and Left move the focus
// round the buttons, Enter chooses the focused one, Esc the safe one
// (MessageWindow::safeButton), a mnemonic letter chooses its button; everything then goes on to the standard button procedure.
LRESULT CALLBACK ButtonKeyProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
