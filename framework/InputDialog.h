// The one-line text prompt on dialog resource 107. One object serves every
// prompt: setup, run, then read text.
//
//   input.setup("Add Name", "Name:", "");
//   if (input.run(mainWindow) == 1 && input.text[0]) ...
#pragma once
#include "framework/DialogBase.h"
#include "framework/EditControl.h"

class InputDialog : public DialogBase {
public:
    // The field takes at most this many characters; text has room for them and the NUL.
    static constexpr int maxTextLength = 126;

    // Prepares the next run. caption and prompt are borrowed and must stay
    // valid while the dialog runs; initialText is copied into text, cut to
    // 127 characters when longer.
    void setup(const char* caption, const char* prompt, const char* initialText);
    // Runs the dialog modally over owner. 1 when confirmed with OK (text holds
    // the text without leading blanks, at most 126 characters), 0 for Cancel,
    // Escape, the close box or read-only mode (text then keeps the initial
    // text), -1 when the dialog could not be created.
    INT_PTR run(HWND owner);

    // Replaces the dialog dispatcher.
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int readOnly = 0;            // set while the document is read-only: every run ends with 0
    const char* caption = "";    // borrowed
    const char* prompt = "";     // borrowed
    EditControl edit;            // attached to the template's field 1000 at every run
    char text[128] = {};

private:
    int onInitDialog();
    void paintPrompt();
    void acceptText();
};
