// The file operations of the real main window, in-process: the program is
// started as the entry function would, with a command line, and its modal
// windows (message window, common dialogs) are answered from a timer.
#include "tests/app/ProgramFixture.h"
#include "tests/support/DialogInput.h"
#include "cli/ExportCommand.h"
#include "storage/file/FileFaults.h"
#include "storage/win32/Folders.h"
#include "resource.h"

TEST_F(MainWindowFilesTest, FirstStartShowsAnEmptyUntitledDocument)
{
    start("");
    EXPECT_EQ("Untitled - Tallyvane", title());
    EXPECT_EQ(0, nameRows());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(recentItems().empty());
    EXPECT_EQ(1, folderExists(window().settingsFolder.c_str()));
    EXPECT_EQ(settings, window().settingsPath);
}

TEST_F(MainWindowFilesTest, CommandLineFileIsOpenedWithoutSettings)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    EXPECT_EQ("club.tvd - Tallyvane", title());
    EXPECT_EQ(club, window().session.path());
    EXPECT_EQ(1, nameRows());
    EXPECT_EQ(0, program::document.modified);
    EXPECT_EQ(Strings{club}, recentItems());
    EXPECT_EQ(1, window().writeSettingsOnExit);
}

TEST_F(MainWindowFilesTest, RelativeCommandLineFileIsSavedWhereItWasFound)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    char before[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof before, before);
    SetCurrentDirectoryA(folder.c_str());
    start("club.tvd");
    // The common dialogs may leave another current folder behind.
    char elsewhere[MAX_PATH] = "";
    GetTempPathA(sizeof elsewhere, elsewhere);
    SetCurrentDirectoryA(elsewhere);
    edit();
    EXPECT_EQ(1, window().saveDocument());
    SetCurrentDirectoryA(before);
    EXPECT_EQ(club, window().session.path());
    EXPECT_NE(std::string::npos, readAll(club).find("1 Bob Jones\r\n"));
    EXPECT_FALSE(exists(std::string(elsewhere) + "club.tvd"));
}

TEST_F(MainWindowFilesTest, UntitledSaveAsksOnceThenSavesWithoutAsking)
{
    start("");
    edit("Ann Smith");
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(folder + "staff"));
        EXPECT_EQ(1, window().saveDocument());
        EXPECT_EQ(1, answer.answered());
    }
    std::string staff = folder + "staff.tvd";
    EXPECT_EQ(staff, window().session.path());
    // The title names the file the document is now tied to.
    EXPECT_EQ("staff.tvd - Tallyvane", title());
    EXPECT_EQ(0, program::document.modified);
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Action Items]\r\n0\r\n\r\n[Names]\r\n1\r\n0 Ann Smith\r\n\r\n[0]\r\n0\r\n",
              readAll(staff));

    // The next Save writes to the same file without a dialog.
    edit();
    {
        ModalAnswerer answer(20, 3000);
        EXPECT_EQ(1, window().saveDocument());
        EXPECT_EQ(0, answer.answered());
    }
    EXPECT_NE(std::string::npos, readAll(staff).find("1 Bob Jones\r\n"));
    EXPECT_FALSE(exists(folder + "staff.tvd.$$$"));
}

TEST_F(MainWindowFilesTest, SaveAsOfAnUntitledDocumentLeavesItUntitled)
{
    start("");
    edit();
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(folder + "copy.txt"));
        window().saveDocumentAs();
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_TRUE(exists(folder + "copy.tvd"));
    EXPECT_FALSE(exists(folder + "copy.txt"));
    EXPECT_EQ("", window().session.path());
    EXPECT_EQ("Untitled - Tallyvane", title());

    // The next Save asks again; cancelling writes nothing.
    edit("Cy");
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDCANCEL)); });
        EXPECT_EQ(0, window().saveDocument());
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ("", window().session.path());
    EXPECT_EQ(1, program::document.modified);
}

TEST_F(MainWindowFilesTest, SaveAsKeepsTheDocumentTiedToItsFile)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    edit();
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(folder + "other"));
        window().saveDocumentAs();
    }
    EXPECT_EQ(club, window().session.path());
    EXPECT_EQ("club.tvd - Tallyvane", title());
    EXPECT_EQ(kClub, readAll(club));
    EXPECT_NE(std::string::npos, readAll(folder + "other.tvd").find("1 Bob Jones\r\n"));
    EXPECT_EQ(0, program::document.modified);
    EXPECT_EQ(Strings{club}, recentItems());
}

TEST_F(MainWindowFilesTest, CancelledOpenDialogGivesAnEmptyUntitledDocument)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    edit();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDNO));
        answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDCANCEL)); });
        EXPECT_EQ(1, window().openDocument(1, 0));
        EXPECT_EQ(2, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Save data?"}}), boxes);
    EXPECT_EQ("Untitled - Tallyvane", title());
    EXPECT_EQ("", window().session.path());
    EXPECT_EQ(0, nameRows());
    EXPECT_EQ(0, program::document.modified);
    EXPECT_EQ(kClub, readAll(club));
}

TEST_F(MainWindowFilesTest, CancelOnSaveDataKeepsTheDocument)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    edit();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDCANCEL));
        EXPECT_EQ(0, window().openDocument(1, 0));
    }
    EXPECT_EQ(club, window().session.path());
    EXPECT_EQ(1, program::document.modified);
    EXPECT_EQ(2, program::document.liveNames);
    EXPECT_EQ(1, nameRows());
}

TEST_F(MainWindowFilesTest, OpenDialogOpensTheTypedFile)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("");
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(club));
        EXPECT_EQ(1, window().openDocument(1, 0));
    }
    EXPECT_EQ(club, window().session.path());
    EXPECT_EQ("club.tvd - Tallyvane", title());
    EXPECT_EQ(1, nameRows());
    EXPECT_EQ(Strings{club}, recentItems());
}

TEST_F(MainWindowFilesTest, FileThatIsNotADataFileIsReportedTwice)
{
    std::string notes = folder + "notes.tvd";
    writeAll(notes, "Shopping list\r\n");
    start("\"" + notes + "\"", {IDOK, IDOK});
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Not a Tallyvane data file"},
                                {notes, "Failed to open the existing file"}}),
              boxes);
    EXPECT_EQ("Untitled - Tallyvane", title());
    EXPECT_EQ("", window().session.path());
    EXPECT_TRUE(recentItems().empty());
}

TEST_F(MainWindowFilesTest, DroppedFilesOpenTheFirstDataFileAsOpenDoes)
{
    std::string club = folder + "club.tvd";
    std::string other = folder + "OTHER.TVD";
    std::string notes = folder + "notes.doc";
    writeAll(club, kClub);
    writeAll(other, kClub);
    writeAll(notes, "Ann Smith\r\n");
    start("\"" + club + "\"");
    EXPECT_TRUE(GetWindowLongPtrA(window().hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    edit();

    // A file of another kind is refused and changes nothing.
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        drop({notes});
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{notes, "Not a Tallyvane data file"}}), boxes);
    EXPECT_EQ("club.tvd - Tallyvane", title());
    EXPECT_EQ(1, program::document.modified);
    EXPECT_EQ(2, program::document.liveNames);

    // Of several, the first data file is opened, after "Save data?".
    boxes.clear();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDNO));
        drop({notes, other, club});
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Save data?"}}), boxes);
    EXPECT_EQ("OTHER.TVD - Tallyvane", title());
    EXPECT_EQ(other, window().session.path());
    EXPECT_EQ(1, nameRows());
    EXPECT_EQ(0, program::document.modified);
    EXPECT_EQ((Strings{other, club}), recentItems());
    EXPECT_EQ(kClub, readAll(club));
}

// A roster dropped on the window adds its new names after a question, as tvd
// add-names would: No changes nothing, Yes adds them unsaved and lists the
// skipped lines; a roster without new names and read-only mode change nothing.
TEST_F(MainWindowFilesTest, DroppedRosterAddsItsNewNamesAfterAQuestion)
{
    std::string club = folder + "club.tvd";
    std::string roster = folder + "Roster.CSV";
    writeAll(club, kClub);
    writeAll(roster, "\xEF\xBB\xBFName,Phone\r\n\"Smith, Bob\",1\r\nann smith,2\r\nCara Diaz,3\r\ncara diaz,4\r\n");
    start("\"" + club + "\"");
    // The question shows what the import will do.
    const std::string rosterQuestion = "Add 2 names from Roster.CSV?\n\nSmith, Bob\nCara Diaz\n\n2 lines are skipped.";

    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDNO));
        drop({roster});
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", rosterQuestion}}), boxes);
    EXPECT_EQ(1, program::document.liveNames);
    EXPECT_EQ(1, nameRows());
    EXPECT_EQ(0, program::document.modified);

    boxes.clear();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, [this](HWND box) {
            tvtest::saveWindowPng(box, "roster_question");
            answerWith(IDYES)(box);
        });
        answer.then(MessageWindow::className, [this](HWND box) {
            tvtest::saveWindowPng(box, "roster_skipped_lines");
            answerWith(IDOK)(box);
        });
        drop({roster});
        EXPECT_EQ(2, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", rosterQuestion},
                                {"Roster.CSV", "Roster.CSV:3: already in the data file - skipped\n"
                                               "Roster.CSV:5: same name as line 4 - skipped"}}),
              boxes);
    ASSERT_EQ(3, nameRows());
    char row[128] = "";
    SendMessageA(program::namesPane.hwnd, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ("Smith, Bob", row);
    int slot = static_cast<int>(SendMessageA(program::namesPane.hwnd, LB_GETITEMDATA, 2, 0));
    EXPECT_STREQ("Smith, Bob", program::document.names[slot].name);
    ASSERT_EQ(1, program::document.names[slot].entryCount);
    EXPECT_EQ(ActionOpen, program::document.names[slot].entries[0].kind);
    EXPECT_EQ(1, program::document.modified);
    EXPECT_EQ(kClub, readAll(club));

    // Nothing new: said so, nothing changes.
    boxes.clear();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        drop({roster});
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "No new names in Roster.CSV"}}), boxes);
    EXPECT_EQ(3, program::document.liveNames);

    // Read-only mode refuses before reading the roster.
    boxes.clear();
    window().enterReadOnly();
    std::string more = folder + "more.txt";
    writeAll(more, "Dev Patel\r\n");
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        drop({more});
        EXPECT_EQ(1, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Read only - no names added"}}), boxes);
    EXPECT_EQ(3, program::document.liveNames);
    EXPECT_EQ(3, nameRows());
}

// The page without its line "Exported <date and time> from Tallyvane".
std::string withoutExportDate(std::string page)
{
    size_t at = page.find("<p class=\"when\">");
    if (at != std::string::npos)
        page.erase(at, page.find("</p>", at) - at);
    return page;
}

// File > Import names... is the flow of a dropped roster after the Open
// dialog; File > Export... writes the document in memory, saved or not, as
// tvd export writes the same document saved, and offers to open it.
TEST_F(MainWindowFilesTest, ImportNamesAndExportFromTheFileMenu)
{
    std::string club = folder + "club.tvd";
    std::string roster = folder + "members.txt";
    writeAll(club, kClub);
    writeAll(roster, "Name\r\n=Cara Diaz\r\nann smith\r\nDan Eke\r\n");
    start("\"" + club + "\"");

    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(roster));
        answer.then(MessageWindow::className, answerWith(IDYES));
        answer.then(MessageWindow::className, answerWith(IDOK));
        window().runCommand(CMD_IMPORT_NAMES);
        EXPECT_EQ(3, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Add 2 names from members.txt?\n\n=Cara Diaz\nDan Eke\n\n1 line is skipped."},
                                {"members.txt", "members.txt:3: already in the data file - skipped"}}),
              boxes);
    EXPECT_EQ(3, nameRows());
    EXPECT_EQ(1, program::document.modified);

    // Both kinds of the unsaved document: the type given by the name typed.
    boxes.clear();
    for (const char* name : {"report", "report.html"}) {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(folder + name));
        answer.then(MessageWindow::className, [this](HWND box) {
            tvtest::saveWindowPng(box, "export_open_question");
            answerWith(IDNO)(box);
        });
        window().runCommand(CMD_EXPORT);
        EXPECT_EQ(2, answer.answered());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Open report.csv now?"}, {"Tallyvane", "Open report.html now?"}}),
              boxes);
    EXPECT_EQ(1, program::document.modified);
    EXPECT_EQ(kClub, readAll(club));

    ASSERT_EQ(1, window().saveDocument());
    std::string csv = folder + "tvd.csv", html = folder + "tvd.html";
    ASSERT_EQ(0, runExport(club.c_str(), false, csv.c_str()));
    ASSERT_EQ(0, runExport(club.c_str(), true, html.c_str()));
    EXPECT_EQ(readAll(csv), readAll(folder + "report.csv"));
    EXPECT_NE(std::string::npos, readAll(csv).find("'=Cara Diaz"));
    EXPECT_EQ(withoutExportDate(readAll(html)), withoutExportDate(readAll(folder + "report.html")));

    // An untitled document exports too.
    boxes.clear();
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(folder + "untitled.html"));
        answer.then(MessageWindow::className, answerWith(IDNO));
        window().newDocument();
        window().runCommand(CMD_EXPORT);
        EXPECT_EQ(2, answer.answered());
    }
    EXPECT_NE(std::string::npos, readAll(folder + "untitled.html").find("<h1>Untitled</h1>"));
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Open untitled.html now?"}}), boxes);
}

// Yes to "Open report.csv now?" with no program set up for .csv files (none
// is in a fresh Wine prefix): the file was written, and the box says so
// rather than "Failed to open the existing file", offering "Open with".
TEST_F(MainWindowFilesTest, ExportWithNoProgramForItsTypeSaysSoAndOffersOpenWith)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    ModalAnswerer answer(20, 8000);
    answer.then("#32770", typeAndAccept(folder + "report"));
    answer.then(MessageWindow::className, answerWith(IDYES));
    answer.then(MessageWindow::className, answerWith(IDNO));
    window().runCommand(CMD_EXPORT);
    EXPECT_EQ(3, answer.answered());
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Open report.csv now?"},
                                {"Tallyvane", "report.csv was saved. No program is set up to open .csv files.\n"
                                              "Choose a program to open it with?"}}),
              boxes);
    EXPECT_NE(std::string::npos, readAll(folder + "report.csv").find("Name"));
}

TEST_F(MainWindowFilesTest, MissingRecentFileIsReportedAndGrayed)
{
    std::string a = folder + "a.tvd";
    std::string b = folder + "b.tvd";
    writeAll(a, kClub);
    writeAll(b, kClub);
    writeAll(settings, "[Program]\r\nTallyvane\r\n\r\n[Files]\r\n" + a + "\r\n" + b + "\r\n");
    start("");
    EXPECT_EQ((Strings{a, b}), recentItems());
    DeleteFileA(b.c_str());
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(1, window().openRecent(5901));
    }
    EXPECT_EQ((std::vector<Box>{{b, "Failed to open the existing file"}}), boxes);
    EXPECT_EQ((Strings{a, b + " (grayed)"}), recentItems());
    EXPECT_EQ("Untitled - Tallyvane", title());

    // A grayed item is left out of the settings file.
    stop();
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\n" + a + "\r\n", readAll(settings));
}

TEST_F(MainWindowFilesTest, RecentFilesAcrossTwoRuns)
{
    std::string a = folder + "a.tvd", b = folder + "b.tvd", c = folder + "c.tvd";
    for (const std::string& p : {a, b, c})
        writeAll(p, kClub);
    start("\"" + a + "\"");
    for (const std::string& p : {b, c}) {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(p));
        ASSERT_EQ(1, window().openDocument(1, 0));
    }
    EXPECT_EQ((Strings{c, b, a}), recentItems());
    ASSERT_EQ(1, window().openRecent(5901));
    EXPECT_EQ((Strings{b, c, a}), recentItems());
    ASSERT_EQ(1, window().openRecent(5901));
    EXPECT_EQ((Strings{c, b, a}), recentItems());
    stop();
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\n" + c + "\r\n" + c + "\r\n" + b + "\r\n" + a + "\r\n",
              readAll(settings));

    start("");
    EXPECT_EQ(c, window().session.path());
    EXPECT_EQ("c.tvd - Tallyvane", title());
    EXPECT_EQ((Strings{c, b, a}), recentItems());
}

// Every way a save can fail ends with the message, the old file byte for
// byte, no half-written file under its name, and the document still modified.
TEST_F(MainWindowFilesTest, FailedSaveIsReportedAndLosesNothing)
{
    std::string club = folder + "club.tvd";
    std::string temp = folder + "club.tvd.$$$";
    writeAll(club, kClub);
    start("\"" + club + "\"");

    struct Fault {
        const char* name;
        void (*arm)();
    } faults[] = {
        {"create", [] { fileFaults.failCreate = 1; }},
        {"first write", [] { fileFaults.failWriteAt = 1; }},
        {"flush", [] { fileFaults.failFlush = 1; }},
        {"close", [] { fileFaults.failClose = 1; }},
        {"replace", [] { fileFaults.failReplace = 1; }},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        DeleteFileA(temp.c_str());
        boxes.clear();
        edit();
        fault.arm();
        {
            ModalAnswerer answer(20, 8000);
            answer.then(MessageWindow::className, answerWith(IDOK));
            EXPECT_EQ(0, window().saveDocument());
        }
        fileFaults.reset();
        EXPECT_EQ((std::vector<Box>{{club, "Failed to save the file"}}), boxes);
        EXPECT_EQ(kClub, readAll(club));
        EXPECT_EQ(1, program::document.modified);
        EXPECT_EQ(club, window().session.path());
        EXPECT_FALSE(exists(temp));
    }

    // With the faults gone the same document saves.
    DeleteFileA(temp.c_str());
    EXPECT_EQ(1, window().saveDocument());
    EXPECT_EQ(0, program::document.modified);
    EXPECT_FALSE(exists(temp));
}

TEST_F(MainWindowFilesTest, DataFileHeldOpenByAnotherProgram)
{
    std::string club = folder + "club.tvd";
    std::string temp = folder + "club.tvd.$$$";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    edit();

    HANDLE held = CreateFileA(club.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(0, window().saveDocument());
    }
    // Their version can't be read: nothing is written over it.
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "club.tvd can't be read at this moment (another program has the file "
                                              "open):\nanother program may be using it. Nothing was saved; your "
                                              "changes are still here.\nSave again in a moment, or use Save as."}}),
              boxes);
    EXPECT_EQ(1, program::document.modified);
    EXPECT_FALSE(exists(temp));

    // Opening it while it is held fails with the message, too.
    boxes.clear();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDNO));
        answer.then("#32770", typeAndAccept(club));
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(1, window().openDocument(1, 0));
    }
    CloseHandle(held);
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "Save data?"}, {club, "Failed to open the existing file"}}), boxes);
    EXPECT_EQ(kClub, readAll(club));
    EXPECT_EQ("Untitled - Tallyvane", title());
}

TEST_F(MainWindowFilesTest, ReadOnlyDataFileIsNotReplaced)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    ASSERT_TRUE(SetFileAttributesA(club.c_str(), FILE_ATTRIBUTE_READONLY));
    edit();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(0, window().saveDocument());
    }
    EXPECT_EQ((std::vector<Box>{{club, "Failed to save the file"}}), boxes);
    EXPECT_EQ(kClub, readAll(club));
    EXPECT_EQ(1, program::document.modified);
}

TEST_F(MainWindowFilesTest, MissingFolderIsReported)
{
    start("");
    std::string lost = folder + "gone\\club.tvd";
    window().session.bindTo(lost.c_str());
    edit();
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(0, window().saveDocument());
    }
    EXPECT_EQ((std::vector<Box>{{lost, "Failed to save the file"}}), boxes);
    EXPECT_EQ(1, program::document.modified);
}

// A new user's first run: no settings, no file; the data typed in is saved
// under a name typed into the real Save dialog, and the next run opens it.
TEST_F(MainWindowFilesTest, NewUserSavesAndFindsTheFileAgain)
{
    DeleteFileA(settings.c_str());
    start("");
    EXPECT_EQ("Untitled - Tallyvane", title());
    Document& doc = program::document;
    ASSERT_NE(0, doc.addActionItem("Sign the safety form"));
    int ann = doc.addName("Ann Smith");
    ASSERT_GE(ann, 0);
    doc.entryAt(ann, 0)->kind = ActionDone;
    strcpy(doc.entryAt(ann, 0)->date, "03/14/26 09:05 AM");
    window().history.clearUnsaved();
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(folder + "club"));
        ASSERT_EQ(1, window().saveDocument());
    }
    std::string club = folder + "club.tvd";
    EXPECT_EQ(kClub, readAll(club));
    stop();
    EXPECT_EQ("[Program]\r\nTallyvane\r\n\r\n[Files]\r\n" + club + "\r\n", readAll(settings));

    start("");
    EXPECT_EQ(club, window().session.path());
    EXPECT_EQ("club.tvd - Tallyvane", title());
    EXPECT_EQ(1, nameRows());
    EXPECT_EQ(Strings{club}, recentItems());
    EXPECT_EQ(0, program::document.modified);
}
