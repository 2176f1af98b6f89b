#include "app/FrameWindow.h"

#include <commctrl.h>

#include "framework/ButtonBar.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"
#include "framework/ListBoxControl.h"
#include "app/PaneLayout.h"
#include "app/StatusBar.h"

namespace {
int classRegistered = 0;
}

FrameWindow::FrameWindow() { style = WS_OVERLAPPEDWINDOW; }

void FrameWindow::OnFinalDestroy() { PostQuitMessage(0); }

int FrameWindow::RegisterWindowClass() {
    if (classRegistered) return 0;
    WNDCLASSA wc = {};
    wc.style = CS_BYTEALIGNCLIENT;
    wc.lpfnWndProc = StaticWndProc;
    wc.cbWndExtra = 4;
    wc.hInstance = framework::instance();
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));  // the panes cover the client
    wc.lpszClassName = className;
    prepareClass(wc);
    if (!RegisterClassA(&wc)) return 0;
    classRegistered = 1;
    return 1;
}

void FrameWindow::OnClose() {
    if (queryClose()) DestroyWindowObject();
}

int FrameWindow::OnCreate() {
    INITCOMMONCONTROLSEX icc = {8, 0xFF};
    InitCommonControlsEx(&icc);
    return statusBar && statusBar->create(hwnd);
}

int FrameWindow::OnQueryEndSession() { return queryClose(); }

void FrameWindow::OnSetFocus() {
    if (currentPane && currentPane->hwnd) SetFocus(currentPane->hwnd);
}

void FrameWindow::OnSysKeyDown(WPARAM wParam, LPARAM lParam) {
    DefWindowProcA(hwnd, WM_SYSKEYDOWN, wParam, lParam);
}

void FrameWindow::OnSysKeyUp(WPARAM wParam, LPARAM lParam) {
    DefWindowProcA(hwnd, WM_SYSKEYUP, wParam, lParam);
}

void FrameWindow::OnSize(WPARAM wParam, LPARAM lParam) {
    clientWidth = LOWORD(lParam);
    clientHeight = HIWORD(lParam);
    if (statusBar) statusBar->resize(wParam, lParam);
    layoutPanes();
}

int FrameWindow::queryClose() { return 1; }
void FrameWindow::prepareClass(WNDCLASSA&) {}
void FrameWindow::prepareCreate(CREATESTRUCTA&) {}
int FrameWindow::showOverride() { return 0; }

int FrameWindow::createFrame(ListBoxControl* firstPane, ButtonBar* bar, StatusBar* status) {
    currentPane = firstPane;
    buttonBar = bar;
    statusBar = status;

    RegisterWindowClass();
    CREATESTRUCTA cs = {};
    cs.lpszClass = className;
    cs.lpszName = "";
    cs.style = WS_OVERLAPPEDWINDOW;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    prepareCreate(cs);
    style = cs.style;
    exStyle = cs.dwExStyle;
    if (!CreateWindowObject(cs.lpszClass, cs.hwndParent, cs.hMenu, cs.lpszName, cs.x, cs.y, cs.cx, cs.cy))
        return 0;

    dpi = Dpi::of(hwnd);
    font.setDpi(dpi);
    TEXTMETRICA tm = font.metrics();
    if (!tm.tmHeight) return 0;
    RECT client;
    GetClientRect(hwnd, &client);
    barHeight = tm.tmHeight + dpi(12);

    if (!buttonBar->createBar(hwnd, 0, 0, client.right, barHeight)) return 0;
    currentPane->exStyle = WS_EX_CLIENTEDGE;
    if (!currentPane->create(hwnd, 0, "", CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT)) return 0;
    // On a monitor of another DPI than the system's the controls need our font.
    if (font.scaled()) changeDpi(dpi, windowRect());
    return 1;
}

RECT FrameWindow::windowRect() const {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

int FrameWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != Dpi::changedMessage) return 0;
    // Both words of wParam hold the new DPI; lParam the suggested rectangle.
    changeDpi(Dpi(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
    return 1;
}

void FrameWindow::changeDpi(Dpi newDpi, const RECT& suggested) {
    dpi = newDpi;
    font.setDpi(dpi);
    barHeight = font.metrics().tmHeight + dpi(12);
    if (buttonBar) {
        buttonBar->changeDpi(font);
        buttonBar->height = barHeight;
    }
    if (statusBar && statusBar->hwnd) {
        font.applyTo(statusBar->hwnd);
        // The control takes the height of its new font at the next size event.
        statusBar->resize(SIZE_RESTORED, MAKELPARAM(clientWidth, clientHeight));
    }
    if (currentPane) font.applyTo(currentPane->hwnd);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layoutPanes();
}

int FrameWindow::runMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (translateKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

namespace {

struct TabStops {
    HWND windows[8];
    int count;
};

BOOL CALLBACK addButton(HWND child, LPARAM lParam) {
    auto* stops = reinterpret_cast<TabStops*>(lParam);
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0 && IsWindowVisible(child) && IsWindowEnabled(child) &&
        stops->count < static_cast<int>(sizeof stops->windows / sizeof stops->windows[0]))
        stops->windows[stops->count++] = child;
    return TRUE;
}

}  // namespace

int FrameWindow::translateKeys(MSG& msg) {
    if (accelerators && hwnd && TranslateAcceleratorA(hwnd, accelerators, &msg)) return 1;
    if (msg.message != WM_KEYDOWN || !hwnd || !buttonBar || !buttonBar->hwnd || !currentPane) return 0;
    if (msg.wParam != VK_TAB && msg.wParam != VK_RETURN) return 0;
    if (msg.hwnd != currentPane->hwnd && GetParent(msg.hwnd) != buttonBar->hwnd) return 0;
    if (msg.wParam == VK_RETURN) {
        if (msg.hwnd == currentPane->hwnd) return 0;  // the pane's own Enter
        SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
        return 1;
    }
    // The tab order: the pane, then the bar's buttons left to right.
    TabStops stops = {{currentPane->hwnd}, 1};
    EnumChildWindows(buttonBar->hwnd, addButton, reinterpret_cast<LPARAM>(&stops));
    int at = 0;
    while (at < stops.count && stops.windows[at] != msg.hwnd) ++at;
    int step = GetKeyState(VK_SHIFT) < 0 ? stops.count - 1 : 1;
    SetFocus(stops.windows[(at + step) % stops.count]);
    return 1;
}

void FrameWindow::layoutPanes() {
    // Size events arrive while the window is still being built; the bands are
    // placed by the first one after bar and pane exist.
    if (!buttonBar || !buttonBar->hwnd || !currentPane || !currentPane->hwnd) return;
    int statusHeight = statusBar && statusBar->isVisible() ? statusBar->windowHeight() : 0;
    PaneLayout l = PaneLayout::compute(clientHeight, barHeight, buttonBar->visible != 0, statusHeight);

    HDWP defer = BeginDeferWindowPos(3);
    if (defer)
        defer = DeferWindowPos(defer, buttonBar->hwnd, nullptr, 0, 0, clientWidth, l.barHeight,
                               SWP_SHOWWINDOW);
    if (defer)
        defer = DeferWindowPos(defer, currentPane->hwnd, nullptr, 0, l.paneTop, clientWidth, l.paneHeight,
                               SWP_SHOWWINDOW);
    if (defer && statusBar && statusBar->hwnd)
        defer = DeferWindowPos(defer, statusBar->hwnd, nullptr, 0, clientHeight - statusHeight, clientWidth,
                               statusHeight, SWP_SHOWWINDOW);
    if (defer) EndDeferWindowPos(defer);
}
