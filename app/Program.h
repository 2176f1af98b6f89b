// The process-wide objects of Tallyvane, constructed before the entry
// function runs, in this order, and living until the process ends.
#pragma once
#include <windows.h>

#include "framework/AboutWindow.h"
#include "document/Document.h"
#include "app/grid/EntryGrid.h"
#include "framework/InputDialog.h"
#include "framework/ListBoxControl.h"
#include "app/MainWindow.h"
#include "framework/MessageWindow.h"
#include "app/StatusBar.h"
#include "framework/ViewBar.h"
#include "framework/WarningWindow.h"

namespace program {

extern Document document;
extern EntryGrid entriesPane;
extern MessageWindow messageWindow;
extern AboutWindow aboutWindow;
extern WarningWindow warningWindow;
extern InputDialog inputDialog;
extern ViewBar viewBar;
extern ListBoxControl namesPane;
extern ListBoxControl actionsPane;
extern ListBoxControl pendingPane;
extern MainWindow mainWindow;
extern StatusBar statusBar;

// Steps 1 to 11 of the entry function: builds and shows the main window,
// opens the data file named on the command line (or an empty document) and
// loads the accelerators. 0 when the main window can't be built.
int start(HINSTANCE instance, int showCommand, const char* commandLine);

}  // namespace program
