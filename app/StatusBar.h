// The two-part status bar along the bottom of the frame: a wrapper of the
// common status-bar control that keeps each part's width in average
// characters and recomputes the pixel edges at every size change.
#pragma once
#include <vector>

#include "framework/ControlBase.h"

class StatusBar : public ControlBase {
public:
    // Room for n parts; the parts themselves come from addPart. Nonzero on success.
    int setPartCapacity(int n);
    // Appends a part (width in average characters, SB_SETTEXT drawing type);
    // ignored once the capacity is used up.
    void addPart(int widthInChars, int drawingType);

    // Creates the control along the bottom of parent with empty parts. The
    // id is always the next automatic one; the other arguments are unused.
    int create(HWND parent, int id, const char* text, int x, int y, int width, int height) override;
    int create(HWND parentWindow) { return create(parentWindow, 0, nullptr, 0, 0, 0, 0); }

    // Puts text (copied by the control) into part with the part's drawing type.
    LRESULT setStatusText(int part, const char* text);
    // Passes the parent's size event on and re-fits the part edges.
    LRESULT resize(WPARAM wParam, LPARAM lParam);

    // Right edges for a bar width pixels wide with average character width
    // charWidth: the last part ends count characters before the right end
    // (room for the sizing grip), each part before it ends where the next begins.
    static void computeEdges(int width, int charWidth, const std::vector<int>& widths, std::vector<int>& edges);

    int windowHeight() const;
    bool isVisible() const { return hwnd && IsWindowVisible(hwnd); }

    HWND parent = nullptr;      // the frame; borrowed
    int capacity = 0;
    std::vector<int> widths;    // average characters per part
    std::vector<int> types;     // SB_SETTEXT drawing type per part
    std::vector<int> edges;     // right edge per part, pixels, as given to SB_SETPARTS
    int count = 0;

private:
    int averageCharWidth() const;
};
