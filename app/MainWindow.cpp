#include "app/MainWindow.h"

#include <shellapi.h>

#include "framework/CentreWindow.h"
#include "document/Document.h"
#include "framework/Framework.h"
#include "framework/GdiGuards.h"
#include "framework/HighContrast.h"
#include "framework/MessageWindow.h"
#include "app/StatusBar.h"
#include "framework/ViewBar.h"
#include "resource.h"

MainWindow::MainWindow(const MainWindowParts& companions)
    : session(*companions.document, environment), history(session.history()), parts(companions) {
    // The one signal that the document changed: the recovery file follows it.
    session.changed = [this] { watchDocument(); };
}

int MainWindow::OnCreate() {
    CentreWindow(hwnd);
    if (!FrameWindow::OnCreate()) return 0;
    // Files dragged from Explorer or the desktop arrive as WM_DROPFILES.
    DragAcceptFiles(hwnd, TRUE);
    return 1;
}

LRESULT MainWindow::OnCtlColorListBox(WPARAM wParam, LPARAM) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (HighContrast::on()) {
        // The system's brush: shared, never deleted.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    SetTextColor(dc, White);
    SetBkColor(dc, Navy);
    return reinterpret_cast<LRESULT>(listBrush.get());
}

void MainWindow::OnSysColorChange() { redrawColours(); }

void MainWindow::redrawColours() {
    // The lists, the bar, the status bar and the frame pick their colours
    // again as they repaint.
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

int MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTINGCHANGE:
        // High contrast went on or off (SPI_SETHIGHCONTRAST), among others.
        redrawColours();
        return 0;  // DefWindowProc too
    case AccessibleActionMessage:
        runAccessibleAction(static_cast<int>(wParam), static_cast<int>(lParam));
        return 1;
    default:
        return FrameWindow::OnMessage(message, wParam, lParam);
    }
}

void MainWindow::OnDestroy() {
    writeSettings();
    // The document goes: its changes were saved or dropped at "Save data?";
    // at the end of Windows' session its recovery file stays for the next start.
    if (!sessionEnded) dropRecovery();
    session.close(sessionEnded != 0);
    listBrush.reset();
    // The context menus are loaded again with the next window.
    HMENU* menus[] = {&namesMenu, &actionsMenu, &entriesMenu, &pendingMenu};
    for (HMENU* menu : menus) {
        if (*menu) DestroyMenu(*menu);
        *menu = nullptr;
    }
}

void MainWindow::OnDrawItem(WPARAM wParam, LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (static_cast<int>(wParam) == parts.entriesPane->id) parts.entriesPane->drawItem(item);
    DefWindowProcA(hwnd, WM_DRAWITEM, wParam, lParam);
}

void MainWindow::OnPaint() {
    { PaintDc paint(hwnd); }
    if (parts.entriesPane->hwnd) InvalidateRect(parts.entriesPane->hwnd, nullptr, TRUE);
    if (buttonBar && buttonBar->hwnd) InvalidateRect(buttonBar->hwnd, nullptr, TRUE);
}

int MainWindow::queryClose() {
    if (!session.modified()) return 1;
    int answer = parts.messageWindow->showModal(hwnd, "Save data?", "Tallyvane", MB_YESNOCANCEL | MB_ICONQUESTION, 0,
                                                RGB(0, 0, 0), RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80));
    if (answer == IDCANCEL) return 0;
    if (answer == IDYES) return saveDocument() ? 1 : 0;
    if (answer == IDNO) dropRecovery();
    // No; also a box that could not be shown or was closed without an answer
    // keeps the window open rather than dropping unsaved work.
    return answer == IDNO ? 1 : 0;
}

void MainWindow::setIcons() {
    // The title bar's and the task switcher's icons, drawn for this DPI
    // rather than scaled from the class's 32-pixel one. Shared: never destroyed.
    const int sizes[2] = {dpi(16), dpi(32)};
    for (int big = 0; big < 2; ++big) {
        HANDLE icon = LoadImageA(framework::instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, sizes[big],
                                 sizes[big], LR_SHARED);
        if (icon) SendMessageA(hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void MainWindow::changeDpi(Dpi newDpi, const RECT& suggested) {
    FrameWindow::changeDpi(newDpi, suggested);
    setIcons();
    ListBoxControl* plain[] = {parts.namesPane, parts.actionsPane, parts.pendingPane};
    for (ListBoxControl* pane : plain) {
        if (!pane->hwnd) continue;
        // The list box measures its rows again for the font; keep its place.
        LRESULT top = SendMessageA(pane->hwnd, LB_GETTOPINDEX, 0, 0);
        font.applyTo(pane->hwnd);
        if (top != LB_ERR) SendMessageA(pane->hwnd, LB_SETTOPINDEX, top, 0);
    }
    if (parts.entriesPane->hwnd) {
        font.applyTo(parts.entriesPane->hwnd);
        parts.entriesPane->changeDpi(dpi, entryRowHeight());
    }
}

void MainWindow::prepareClass(WNDCLASSA& wc) {
    wc.hIcon = LoadIconA(framework::instance(), MAKEINTRESOURCEA(IDI_APP));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN);
}

void MainWindow::prepareCreate(CREATESTRUCTA& cs) { cs.lpszName = "Tallyvane"; }
