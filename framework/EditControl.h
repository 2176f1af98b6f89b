#pragma once
#include "framework/ControlBase.h"

// An "EDIT" wrapper (multi-line by default). EN_KILLFOCUS calls the callback.
class EditControl : public ControlBase {
public:
    EditControl();

    // Creates or attaches, then sets the text in either case.
    int create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
    int commandNotify(int code, int id) override;
};
