#include "app/StatusBar.h"

#include <commctrl.h>

#include <string>

#include "framework/AccessibleObject.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"

int StatusBar::setPartCapacity(int n) {
    if (n < 0) n = 0;
    widths.assign(n, 0);
    types.assign(n, 0);
    // Before the first size event each part simply reaches the right end.
    edges.assign(n, -1);
    capacity = n;
    count = 0;
    return 1;
}

void StatusBar::addPart(int widthInChars, int drawingType) {
    if (count >= capacity) return;
    widths[count] = widthInChars;
    types[count] = drawingType;
    ++count;
}

int StatusBar::create(HWND parentWindow, int, const char*, int, int, int, int) {
    parent = parentWindow;
    settleId(0);
    hwnd = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, nullptr, parent, static_cast<UINT>(id));
    if (!hwnd) return 0;
    SendMessageA(hwnd, SB_SETPARTS, capacity, reinterpret_cast<LPARAM>(edges.data()));
    for (int part = 0; part < capacity; ++part)
        SendMessageA(hwnd, SB_SETTEXTA, part | types[part], reinterpret_cast<LPARAM>(""));
    return 1;
}

LRESULT StatusBar::setStatusText(int part, const char* text) {
    if (!hwnd || part < 0 || part >= capacity) return 0;
    if (!text) text = "";
    // A new text is announced to screen readers ("2 of 4 left", "Reloaded: ..."),
    // the same text again is not.
    // SB_GETTEXTA writes the whole text, however long: the buffer must hold
    // it. Wine answers SB_GETTEXTLENGTHA in UTF-16 units, not bytes, so the
    // room comes from the UTF-16 length, at most three bytes each in UTF-8.
    std::string shown(3 * LOWORD(SendMessageA(hwnd, SB_GETTEXTLENGTHW, part, 0)) + 1, '\0');
    SendMessageA(hwnd, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(&shown[0]));
    LRESULT result = SendMessageA(hwnd, SB_SETTEXTA, part | types[part], reinterpret_cast<LPARAM>(text));
    if (lstrcmpA(shown.c_str(), text) != 0) AccessibleObject::notify(EVENT_OBJECT_NAMECHANGE, hwnd, part + 1);
    return result;
}

LRESULT StatusBar::resize(WPARAM wParam, LPARAM lParam) {
    if (!hwnd) return 0;
    SendMessageA(hwnd, WM_SIZE, wParam, lParam);
    RECT r;
    GetWindowRect(hwnd, &r);
    computeEdges(r.right - r.left, averageCharWidth(), widths, edges);
    return SendMessageA(hwnd, SB_SETPARTS, capacity, reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::computeEdges(int width, int charWidth, const std::vector<int>& partWidths, std::vector<int>& partEdges) {
    int n = static_cast<int>(partWidths.size());
    partEdges.resize(n);
    if (n == 0) return;
    partEdges[n - 1] = width - n * charWidth;
    for (int i = n - 1; i >= 1; --i)
        partEdges[i - 1] = partEdges[i] - partWidths[i] * charWidth;
}

int StatusBar::windowHeight() const {
    RECT r;
    if (!hwnd || !GetWindowRect(hwnd, &r)) return 0;
    return r.bottom - r.top;
}

// Average character width of the control's font (the system font when the
// control has none), measured in a DC of the parent.
int StatusBar::averageCharWidth() const {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    if (!font) font = GetStockObject(SYSTEM_FONT);
    WindowDc dc(parent);
    if (!dc) return 0;
    SelectGuard use(dc, font);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    return tm.tmAveCharWidth;
}
