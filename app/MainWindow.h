// The application's main window: the frame with the view bar, the four list
// panes (Names, Action items, entries, Pending) and the status bar, the views
// of the document, the completion dates and the command dispatch.
//
// Its operations are spread over a few files:
//   MainWindow.cpp          creation, colours, painting, closing
//   MainWindowDocument.cpp  start-up steps, title, loading a file into the views
//   MainWindowCommands.cpp  OnCommand: pane notifications, then runCommand
//   MainWindowViews.cpp     the four views and the view bar's buttons
//   MainWindowEntries.cpp   ticks and their completion dates
//   MainWindowCommandTable.cpp  the command table and the menu graying
//   MainWindowMenus.cpp     menu help texts and the context menus
//   MainWindowEditing.cpp   add, edit, delete, remove date, read-only mode
//   MainWindowClipboard.cpp the copy of the selected row
//   MainWindowFileCommands.cpp  New, Exit and emptying the window
//   MainWindowFiles.cpp     folders, settings, Open, Save and Save as
//   MainWindowDrop.cpp      files dropped on the window
//   MainWindowRoster.cpp    a roster of names, dropped or imported
//   MainWindowExport.cpp    File > Export...
//   MainWindowPending.cpp   ticks from the Pending view, its count and copy
//   MainWindowKeys.cpp      Enter, Space, Backspace and Esc in the panes
//   MainWindowFind.cpp      Find and Find next
//   MainWindowUndo.cpp      Undo and Redo
//   MainWindowShared.cpp    a file others change too: merge on Save, reload
//   MainWindowPresence.cpp  the question about someone else's presence file
//   MainWindowRecovery.cpp  the recovery timer and the offer at start-up
//
// The open file itself (path, base, presence, backups, read-only, recovery
// file) is the DocumentSession's; the window asks it and shows what it says.
#pragma once
#include <string>
#include <vector>

#include "storage/sharing/ConflictCopy.h"
#include "storage/format/MessageSink.h"
#include "app/grid/EntryGrid.h"
#include "app/FrameWindow.h"
#include "framework/GdiGuards.h"
#include "framework/ListAccessible.h"
#include "storage/file/FileName.h"
#include "storage/win32/RecentFiles.h"
#include "app/SortedRows.h"
#include "document/UndoHistory.h"
#include "session/DocumentSession.h"
#include "session/win32/WindowsEnvironment.h"
#include "framework/ViewBarHost.h"
#include "app/ViewMode.h"

class AboutWindow;
struct Entry;
class Document;
class InputDialog;
class MessageWindow;
class RecoveryFile;
class ViewBar;
class WarningWindow;

// The objects the main window works with; all outlive it, none are owned.
struct MainWindowParts {
    Document* document;
    ViewBar* viewBar;
    StatusBar* statusBar;
    ListBoxControl* namesPane;
    ListBoxControl* actionsPane;
    EntryGrid* entriesPane;
    ListBoxControl* pendingPane;
    MessageWindow* messageWindow;
    InputDialog* inputDialog;
    WarningWindow* warningWindow;
    AboutWindow* aboutWindow;
};

class MainWindow : public FrameWindow,
                   public MessageSink,
                   public ViewBarHost,
                   public EntryStateListener,
                   public AccessibleRows {
public:
    explicit MainWindow(const MainWindowParts& parts);

    // --- window (MainWindow.cpp)
    // Centres the window, then the frame's creation step; accepts dropped files.
    int OnCreate() override;
    // White text on navy for every list pane; returns listBrush.
    LRESULT OnCtlColorListBox(WPARAM wParam, LPARAM lParam) override;
    // The system's colours in high-contrast mode, else white text on navy.
    // WM_SYSCOLORCHANGE and WM_SETTINGCHANGE (high contrast on or off) redraw everything.
    void OnSysColorChange() override;
    void redrawColours();
    // WM_SETTINGCHANGE, AccessibleActionMessage, then the frame's messages.
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Writes the settings (when asked to), deletes listBrush and the context menus.
    void OnDestroy() override;
    // Rows of the entries pane go to its drawItem.
    void OnDrawItem(WPARAM wParam, LPARAM lParam) override;
    // Files dropped on the window (MainWindowDrop.cpp): the first one that
    // dropUseOf knows is used; when none is, the first is refused with a message.
    void OnDropFiles(WPARAM wParam) override;
    // Validates, then has the entries pane and the view bar repaint.
    void OnPaint() override;
    // "Save data?" when the document is modified; 1 when it may be dropped.
    int queryClose() override;
    // A key pressed in the shown pane (MainWindowKeys.cpp); -2 when the key
    // was a command here, -1 to let the list box move its selection.
    int OnVKeyToItem(WPARAM wParam) override;
    // Icon 102 and menu 103.
    void prepareClass(WNDCLASSA& windowClass) override;
    // Title "Tallyvane".
    void prepareCreate(CREATESTRUCTA& create) override;
    // The frame's part, then the panes get the font, the entries pane its
    // row height and dpi; the view, selections and scroll positions stay.
    void changeDpi(Dpi newDpi, const RECT& suggested) override;

    // --- start-up (MainWindowDocument.cpp)
    // The remaining panes, row height, colours, context menus and brush.
    void finishWindow();
    // Height of an entries row at the window's DPI.
    int entryRowHeight() const;
    // The window's small and big icons at its DPI.
    void setIcons();
    // Loads currentPath, or starts an empty untitled document when it is
    // empty or can't be loaded.
    // Empty, untitled document in the Names view.
    int startEmptyDocument();
    // Loads path into the document and the Names view, for editing or
    // read-only; 1 when loaded.
    int loadDocument(const char* path, bool forEditing = true);
    // Saves the document to its file, asking for a name first when it is
    // untitled; in read-only mode offers Save as instead. 1 when saved.
    virtual int saveDocument();
    // saveDocument's work, without the word on a file that became UTF-8.
    int saveDocumentOnce();
    // Title bar: the file name of the document's path (or "Untitled") + " - Tallyvane".
    void updateTitle();
    // Shows text in the message window owned by this window, with an OK
    // button and the exclamation icon; returns the message window's result.
    int showError(const char* text, const char* caption);

    void setViewTitle(const char* title);
    // MessageSink: why a save failed, in the message window. Note the
    // order: caption first (showError takes the text first).
    void reportError(const char* caption, const char* text) override;
    // The views' half of read-only mode (setReadOnly).
    void enterReadOnly();

    // --- files (MainWindowFiles.cpp)
    // settingsFolder (created when missing) and documentsFolder.
    void locateFolders();
    // The recent files of the File menu, settingsPath, and the file to open
    // first (named on commandLine, else the one open at the last exit).
    void readSettings(const char* commandLine);
    // At destruction, when writeSettingsOnExit is set.
    void writeSettings();
    // A recent-file command id from 5900.
    int openRecent(int id);
    // Opens path as the Open command opens the file chosen in its dialog
    // ("Save data?" first); nonzero when a document was opened.
    int openDroppedFile(const char* path);
    // Adds the new names of the roster at path (MainWindowRoster.cpp) as
    // tvd add-names would, after asking "Add N names from roster.csv?" (with
    // the first new names and the count of skipped lines); shows
    // them in the Names view and sets modified, saving nothing. Refused in
    // read-only mode; a roster without new names only says so.
    void addRoster(const char* path);
    // File > Import names...: the Open dialog for a .txt or .csv roster,
    // then addRoster.
    void importNames();
    // File > Export...: the Save dialog for a CSV file or a printable page,
    // the document in memory written as tvd export writes it, then "Open
    // NAME now?" and the shell's "open" verb; with no program set up for the
    // type, says so and offers openWith.
    void exportDocument();
    // Windows' choice of a program to open path with ("Open with").
    void openWith(const char* path);
    RecentFiles recentFiles;

    // --- the open file (MainWindowShared.cpp)
    // What the window needs of Windows for the session: the time as the
    // completion dates read it, the local folder found at start-up.
    class ProgramEnvironment : public WindowsEnvironment {
    public:
        std::string nowText() override;
    };
    ProgramEnvironment environment;
    DocumentSession session;
    // Shows how a save ended: the merge's report, why nothing was written,
    // the offer of Save as. as: the chosen path of Save as or a first save,
    // "" for Save. 1 when saved.
    int showSave(DocumentSession::Save outcome, const MergeReport& report, const std::string& as);
    // Where the view is: the person and action item it shows or has
    // selected, by their texts (slots differ between documents).
    struct ViewPlace {
        ViewMode mode = NamesView;
        std::string person, action;
        int namesRow = -1, actionsRow = -1;   // selected rows of the Names and Action items lists
        int innerRow = -1;                    // ... of a person's page or the Pending view
        std::string innerText;                // that row's text
    };
    ViewPlace viewPlace();
    // Shows the document that replaced the old one (merged, reloaded) in
    // place's view, the same person or action item selected where it still exists.
    void showPlace(const ViewPlace& place);
    // Becoming active again: a file changed on disk is reloaded when there is
    // nothing unsaved, else the status bar says Save will merge.
    void OnActivateApp(WPARAM active) override;

    // --- sync clients' conflict copies (MainWindowConflicts.cpp)
    // Posted after an open and at every activation: the open file's conflict
    // copies are offered one by one once the window is free.
    static const UINT kOfferConflictsMessage = WM_APP + 0x24;
    // Offers each conflict copy of the open file still due; Yes merges it
    // into the document (modified, with the merge's report).
    void offerConflictCopies();
    // After a successful save: the copies merged into it go into Backups.
    void putAwayMergedCopies();
    // The versions a copy may have grown from, newest first: the base, then the backups.
    std::vector<std::string> conflictBases() const;
    ConflictOffers conflictOffers;
    bool offeringConflicts = false;   // a question about a copy is up
    // The frame's dispatch, and kOfferConflictsMessage.
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // --- commands (MainWindowCommands.cpp)
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Double clicks and the entries pane's selection change; 1 when handled.
    int handlePaneNotification(int id, int code);
    // The menu, accelerator and context-menu commands; 1 when handled.
    virtual int runCommand(int id);

    // --- menus (MainWindowCommandTable.cpp, MainWindowMenus.cpp)
    // Grays the editing items of the main menu that don't apply to the view.
    void OnInitMenu() override;
    // Help text of the highlighted item in status part 0; "" when the menu closes.
    int OnMenuSelect(WPARAM wParam, LPARAM lParam) override;
    void OnContextMenu(WPARAM wParam, LPARAM lParam) override;
    // The view's context menu at screen point position, after the row under
    // the pointer was selected (in the Pending view: unless it was one of
    // the selected rows).
    void showContextMenu(HWND window, LPARAM position);
    // Status part 0: "Read only: use File > Save As to keep a copy you can change".
    void showReadOnlyNote();
    // 1 when command id is grayed in the main menu while mode is shown.
    static int commandGrayed(ViewMode mode, int id);

    // --- document commands (MainWindowFileCommands.cpp)
    // Asks "Save data?" when needed, then empties the Names view and leaves
    // read-only mode. 0 when the user chose to stay.
    int closeDocument();
    // An empty untitled document with no unsaved changes; 0 when the user
    // chose to stay or memory is short.
    int newDocument();
    // Exit: destroys the window unless the user chose to stay.
    void exitProgram();
    // The about box, owned by this window.
    void showAbout();
    // The Open command (ask = 1), a recent-file item (its command id) or the
    // start-up open (0, 0); nonzero when a document was opened.
    virtual int openDocument(int ask, int recentId);
    // Save under a name from the Save dialog.
    virtual void saveDocumentAs();

    // --- editing (MainWindowEditing.cpp); each does nothing outside its views
    void addName();
    void addAction();
    void addMemo();
    void addCheckbox();
    void editSelected();
    void deleteSelected();
    void removeDate();
    // Prompts answer normally again, ticks are taken, status part 1 is emptied.
    void leaveReadOnly();
    // Read-only mode on or off, in the session and in the views: prompts end
    // at once, ticks are ignored, status part 1 says "Read only".
    void setReadOnly(bool on);

    // --- clipboard (MainWindowClipboard.cpp)
    // The selected row's text as CF_TEXT; nothing without a selection or in
    // the Pending view.
    void copySelection();

    // --- Pending view (MainWindowPending.cpp)
    // Mark done: ticks the selected names' entries of the shown action item
    // as one step, refills the view and selects the name after them.
    // Nothing in read-only mode or another view.
    void markDone();
    // Status part 1: "N of M left" in the Pending view, "Read only" in
    // read-only mode, else empty.
    void showPendingCount();
    // Ctrl+C in the Pending view: every name of it, one per line.
    void copyPendingNames();
    // The row a command acts on in the Pending view: the focused row when it
    // is selected, else the first selected one, else -1.
    int pendingRow() const;
    // Selects row alone in the Pending view, with the focus on it.
    void selectPendingRow(int row);

    // --- Find (MainWindowFind.cpp)
    // Edit > Find...: asks for the text, then findNext.
    void find();
    // F3: selects the next row of the Names, Pending or Action items view
    // after the selection that contains findText, ignoring case, wrapping
    // round; when none does, says so in status part 0 and keeps the selection.
    void findNext();
    char findText[512] = {};   // as long as the prompt's text

    // --- Undo and Redo (MainWindowUndo.cpp)
    void undo();
    void redo();
    // Shows what an undone or redone step changed, in the view it belongs to.
    void showChange(const UndoHistory::Target& target);
    // Every change the user makes goes through it; Open and New clear it.
    // The session's.
    UndoHistory& history;

    // --- views (MainWindowViews.cpp)
    void switchView(ViewMode mode);
    void showNames();
    void showActionItems() override;
    void showEntries();
    void showPending();
    void readSelection();
    void goBack() override;

    // --- screen readers (MainWindowAccessibility.cpp)
    // The panes answer WM_GETOBJECT with these rows; at start-up.
    void makePanesAccessible();
    std::wstring listName(HWND list) override;
    AccessibleRow describeRow(HWND list, int row) override;
    // Posts AccessibleActionMessage: the action runs from the message loop.
    void doDefaultAction(HWND list, int row) override;
    // A row's default action as the keys do it: Enter (open) in the Names,
    // Action items and Pending views, Space (tick) on a person's page.
    void runAccessibleAction(int paneId, int row);
    static constexpr UINT AccessibleActionMessage = WM_APP + 0x41;  // wParam pane id, lParam row
    std::string entriesTitle;   // the titles the entries and Pending panes were filled under
    std::string pendingTitle;

    // --- ticks and dates (MainWindowEntries.cpp)
    // Stores the toggled kind of row in the current person's entry and
    // stamps the date when the entry has none.
    void recordEntryState(int row) override;
    // entry of person nameSlot at position as a tick or untick to kind leaves
    // it: its date, or now for a tick of an undated entry.
    static UndoHistory::EntryState tickedState(const Entry& entry, int nameSlot, int position, int32_t kind);
    // Status text "Done on <date>" for the entry selected in the entries pane.
    void showEntryDate();

    // --- who has the file open (MainWindowPresence.cpp)
    // Before path is loaded: when another computer or a live Tallyvane of
    // this one has it open, asks whether to open it for editing anyway.
    // 1 for editing, 0 read-only, -1 open nothing.
    int askAboutPresence(const char* path);

    // --- crash recovery (MainWindowRecovery.cpp)
    // The local folder, and the restart after an update; at start-up.
    void prepareRecovery();
    // The undo history's signal that the document changed: with unsaved
    // changes the recovery timer starts again, without them the recovery
    // file goes.
    void watchDocument();
    // The recovery timer: writes the recovery file.
    void OnTimer(WPARAM id) override;
    // Writes the recovery file, then asks as a close does.
    int OnQueryEndSession() override;
    // Writes the recovery file when the session really ends.
    void OnEndSession(WPARAM ending, LPARAM lParam) override;
    // Writes the session's recovery file; 1 when written.
    int writeRecovery();
    // Stops the timer and deletes the recovery file.
    void dropRecovery();
    // At start-up: offers each recovery file of a process that no longer
    // runs; Yes restores it (and stops), No, or a copy that can't be
    // restored, puts it aside in Declined.
    void offerRecovery();
    // Opens the recovered changes (DocumentSession::restore) and says what
    // became of them; 1 when restored.
    int restoreRecovery(const RecoveryFile& file, const std::string& path);
    bool backupFailureSaid = false;     // the status bar told of a backup that could not be kept
    bool recoveryFailureSaid = false;   // ... and of a recovery file that could not be written
    std::string localFolder;       // %LOCALAPPDATA%\Vantorell\Tallyvane\; "" when not found
    int sessionEnded = 0;          // WM_ENDSESSION said the session ends

    // Fields shared by the commands, views and file operations.
    int writeSettingsOnExit = 0;
    ViewMode viewMode = NamesView;
    int currentItem = 0;
    int currentRow = 0;
    int currentEntry = 0;
    int savedNamesRow = -1;
    int savedActionsRow = -1;
    std::string startPath;         // the file to open at start-up, from the settings or the command line
    std::string settingsPath;
    std::string settingsFolder;
    std::string documentsFolder;
    Brush listBrush;               // made with the panes, deleted in OnDestroy
    HMENU namesMenu = nullptr;     // owned; loaded with the window, destroyed in OnDestroy
    HMENU actionsMenu = nullptr;
    HMENU entriesMenu = nullptr;
    HMENU pendingMenu = nullptr;
    int readOnlyMode = 0;          // the session's read-only mode, as the views show it (setReadOnly)

    MainWindowParts parts;
    SortedRows sortedRows;         // rows of the sorted list being filled

    static constexpr COLORREF Navy = RGB(0, 0, 0x80);
    static constexpr COLORREF White = RGB(0xFF, 0xFF, 0xFF);

private:
    // The end of every open, after closeDocument: loads path (from the
    // recent-file item recentId, or 0), or reports why not and starts an
    // empty untitled document. Nonzero when a document is open afterwards.
    int finishOpen(const char* path, int recentId);
    ListBoxControl* paneOf(ViewMode mode) const;
    // Selects row of pane, or the nearest row there is (the Pending view:
    // selectPendingRow), so that the keys always move from a selected row.
    // Returns the row selected, -1 for an empty list.
    int selectRowNear(ListBoxControl* pane, int row);
    // The text of row of pane; "" for no row.
    std::string rowText(ListBoxControl* pane, int row) const;
    // The row of pane holding text exactly, the one nearest to around when
    // several do; around itself when none does.
    int rowOfText(ListBoxControl* pane, const std::string& text, int around) const;
    void fillBegin(ListBoxControl* pane, int rows, int bytes);
    void fillEnd(ListBoxControl* pane);
    int addRow(ListBoxControl* pane, const char* text, LPARAM data);
    // Puts the document's names into the Names list, which holds no rows.
    void fillNameRows();
    // "X is already in the list. Add another ...?" with No first; 1 for Yes.
    int confirmSameText(const char* text);
    // Runs the input prompt; 1 when it was answered with OK.
    int askText(const char* caption, const char* prompt, const char* initialText);
    // The selected row of pane, or -1 (the Pending view: pendingRow).
    int selectedRow(ListBoxControl* pane) const;
    // The selected entries row's own entry (memo or single checkbox): sets
    // currentRow and currentEntry; null for no selection or an action row.
    Entry* selectedOwnEntry();
};
