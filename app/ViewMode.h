#pragma once

// Which pane the main window shows.
enum ViewMode : int {
    NamesView = 0,
    ActionsView = 1,
    EntriesView = 2,
    PendingView = 3,
};
