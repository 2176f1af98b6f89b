// A data file that someone else changes while the program has it open: Save
// merges their version with the window's, and becoming active again reloads
// it (nothing unsaved) or says that Save will merge (changes unsaved).
#include "tests/app/ProgramFixture.h"
#include "tests/support/DialogInput.h"
#include "storage/format/DataFile.h"

namespace {

// Someone else's save: the file at path with names added, each ticked.
void theyAdd(const std::string& path, std::initializer_list<const char*> names)
{
    Document theirs;
    ASSERT_TRUE(loadDataFile(theirs, path.c_str()).loaded());
    for (const char* name : names) {
        int32_t slot = theirs.addName(name);
        ASSERT_GE(slot, 0);
        theirs.names[slot].entries[0].kind = ActionDone;
        Document::copyField(theirs.names[slot].entries[0].date, 20, "12/09/26 10:02 AM");
    }
    // A write time of its own even where the clock is coarse.
    Sleep(20);
    ASSERT_EQ(SaveResult::Saved, writeDataFile(theirs, path.c_str()));
}

}  // namespace

TEST_F(MainWindowFilesTest, SaveMergesWhatSomeoneElseSavedMeanwhile)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    theyAdd(club, {"Cy Lee"});
    window().history.addName(program::document, "Bob Jones");  // as F5 adds it, undoably
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(1, window().saveDocument());
    }
    EXPECT_EQ((std::vector<Box>{{"Tallyvane", "club.tvd was changed by someone else while you had it open.\n"
                                              "Their changes and yours were merged and saved.\n\n"
                                              "From the other copy: 1 name, 1 tick.\n"
                                              "Cy Lee; Cy Lee / Sign the safety form"}}),
              boxes);
    std::string saved = readAll(club);
    EXPECT_NE(std::string::npos, saved.find("1 Cy Lee\r\n2 Bob Jones\r\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find("[1]\r\n1\r\n1 12/09/26 10:02 AM\r\n")) << saved;
    EXPECT_EQ(3, nameRows());
    EXPECT_EQ(0, program::document.modified);
    EXPECT_FALSE(window().history.canUndo()) << "the steps belonged to the document before the merge";

    // Nothing else changed the file since: the next Save just writes.
    boxes.clear();
    edit("Dee Wu");
    {
        ModalAnswerer answer(20, 3000);
        EXPECT_EQ(1, window().saveDocument());
        EXPECT_EQ(0, answer.answered());
    }
    EXPECT_NE(std::string::npos, readAll(club).find("3 Dee Wu\r\n"));

    // A file that is no data file any more is left alone; nothing is lost.
    writeAll(club, "half synced");
    edit("Eve Ng");
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDNO));
        EXPECT_EQ(0, window().saveDocument());
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find("Nothing was saved; your changes are still here.")) << boxes[0].text;
    EXPECT_EQ("half synced", readAll(club));
    EXPECT_EQ(1, program::document.modified);
}

TEST_F(MainWindowFilesTest, BecomingActiveReloadsAChangedFileOrSaysSaveWillMerge)
{
    std::string club = folder + "club.tvd";
    writeAll(club, kClub);
    start("\"" + club + "\"");
    theyAdd(club, {"Cy Lee"});
    window().history.addName(program::document, "Zed");  // added and undone: only Redo is left
    window().history.undo(program::document);
    SendMessageA(window().hwnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(2, nameRows());
    EXPECT_EQ(0u, statusText(0).rfind("Reloaded: club.tvd was changed at ", 0)) << statusText(0);
    EXPECT_EQ(0, program::document.modified);
    EXPECT_FALSE(window().history.canRedo()) << "the steps belonged to the document before the reload";

    edit("Bob Jones");
    theyAdd(club, {"Dee Wu"});
    SendMessageA(window().hwnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(2, nameRows()) << "unsaved changes stay as they are";
    EXPECT_NE(std::string::npos, statusText(0).find("your changes will be merged with it when you save"))
        << statusText(0);
    {
        ModalAnswerer answer(20, 8000);
        answer.then(MessageWindow::className, answerWith(IDOK));
        EXPECT_EQ(1, window().saveDocument());
    }
    std::string saved = readAll(club);
    EXPECT_NE(std::string::npos, saved.find("0 Ann Smith\r\n1 Cy Lee\r\n2 Dee Wu\r\n3 Bob Jones\r\n")) << saved;
}
