#include "app/Program.h"

#include <windows.h>

#include <commctrl.h>

#include "framework/Framework.h"
#include "resource.h"

namespace program {

// Definition order is construction order.
Document document;
EntryGrid entriesPane(RGB(0xFF, 0xFF, 0), RGB(0, 0x80, 0x80), RGB(0xFF, 0xFF, 0));
MessageWindow messageWindow;
AboutWindow aboutWindow;
WarningWindow warningWindow;
InputDialog inputDialog;
ViewBar viewBar;
ListBoxControl namesPane;
ListBoxControl actionsPane;
ListBoxControl pendingPane;
MainWindow mainWindow({&document, &viewBar, &statusBar, &namesPane, &actionsPane, &entriesPane, &pendingPane,
                       &messageWindow, &inputDialog, &warningWindow, &aboutWindow});
StatusBar statusBar;

namespace {

const DWORD PaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                        LBS_WANTKEYBOARDINPUT;

// A new run in the same process (the tests start the program many times)
// begins from the state the static objects had at construction.
void resetState() {
    MainWindow& w = mainWindow;
    w.viewMode = NamesView;
    w.currentItem = 0;
    w.currentRow = 0;
    w.currentEntry = 0;
    w.savedNamesRow = -1;
    w.savedActionsRow = -1;
    w.writeSettingsOnExit = 0;
    w.readOnlyMode = 0;
    w.accelerators = nullptr;
    w.clientWidth = w.clientHeight = 0;
    inputDialog.readOnly = 0;
    entriesPane.readOnly = 0;
    document.modified = 0;
}

}  // namespace

int start(HINSTANCE instance, int showCommand, const char* commandLine) {
    framework::setInstance(instance);
    resetState();

    entriesPane.setCursors(LoadCursorA(nullptr, IDC_ARROW), LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_POINTER)));

    statusBar.setPartCapacity(2);
    statusBar.addPart(7, SBT_NOBORDERS);
    statusBar.addPart(14, 0);

    namesPane.style = PaneStyle | LBS_SORT;
    actionsPane.style = PaneStyle;
    entriesPane.style = PaneStyle | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
    // Several names can be ticked at once from the Pending view.
    pendingPane.style = PaneStyle | LBS_SORT | LBS_EXTENDEDSEL;
    actionsPane.exStyle = WS_EX_CLIENTEDGE;
    entriesPane.exStyle = WS_EX_CLIENTEDGE;
    pendingPane.exStyle = WS_EX_CLIENTEDGE;

    viewBar.setHost(&mainWindow);
    entriesPane.setListener(&mainWindow);
    if (!mainWindow.createFrame(&namesPane, &viewBar, &statusBar)) return 0;
    mainWindow.finishWindow();

    if (!mainWindow.showOverride()) ShowWindow(mainWindow.hwnd, showCommand);
    UpdateWindow(mainWindow.hwnd);

    mainWindow.locateFolders();
    mainWindow.prepareRecovery();
    mainWindow.readSettings(commandLine);
    mainWindow.openDocument(0, 0);

    mainWindow.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return 1;
}

}  // namespace program
