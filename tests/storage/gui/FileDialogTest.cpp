#include "storage/win32/FileDialog.h"
#include "storage/file/FileName.h"

#include "tests/support/DialogInput.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        static int serial = 0;
        folder = std::string(temp) + "tv-dialog-" + std::to_string(GetCurrentProcessId()) + "-"
                 + std::to_string(++serial) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const char* name : {"list.tvd", "list.txt", "a.b\\list.tvd", "club.tvd"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA((folder + "a.b").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    // Runs a Save dialog starting in start and types name into it.
    std::string saveAs(const std::string& name, const std::string& start, int* result = nullptr)
    {
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(name));
        FileDialog dialog(0);
        char path[260] = "";
        int chosen = dialog.run(owner, path, sizeof path, start.c_str());
        if (result)
            *result = chosen;
        EXPECT_EQ(1, answer.answered());
        EXPECT_FALSE(answer.timedOut());
        return chosen ? path : "<cancelled>";
    }

    TestWindow owner;
    std::string folder;
};

// Records what the dialog is given, and cancels it at once.
class RecordingDialog : public FileDialog {
public:
    using FileDialog::FileDialog;
    void customize(OPENFILENAMEA& d) override
    {
        seen = d;
        defaultExtension = d.lpstrDefExt ? d.lpstrDefExt : "";
        folder = d.lpstrInitialDir ? d.lpstrInitialDir : "";
        filter.assign(d.lpstrFilter, 35);
        ++calls;
    }
    OPENFILENAMEA seen = {};
    std::string defaultExtension;
    std::string folder;
    std::string filter;
    int calls = 0;
};

} // namespace

TEST(ForceExtension, EveryChosenNameEndsInTheDataExtension)
{
    // 130 characters of two bytes each in UTF-8, the program's code page: a
    // name the Save dialog hands back, once refused here as if cancelled.
    std::string longStem = "C:\\data\\";
    for (int i = 0; i < 130; ++i)
        longStem += "\xD0\xB6";
    const std::string longIn = longStem + ".txt", longOut = longStem + ".tvd";
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\data\\list", "C:\\data\\list.tvd"},
        {"C:\\data\\list.txt", "C:\\data\\list.tvd"},
        {"C:\\data\\list.tvd", "C:\\data\\list.tvd"},
        {"C:\\my.data\\list", "C:\\my.data\\list.tvd"},
        {"C:\\my.data\\list.v2.txt", "C:\\my.data\\list.v2.tvd"},
        {"list", "list.tvd"},
        {"C:list", "C:list.tvd"},
        {longIn.c_str(), longOut.c_str()},
    };
    for (const Case& c : cases) {
        char path[kPathBytes];
        strcpy(path, c.in);
        EXPECT_EQ(1, forceExtension(path, sizeof path, ".tvd")) << c.in;
        EXPECT_STREQ(c.out, path) << c.in;
        strcpy(path, c.in);
        EXPECT_EQ(1, forceExtension(path, sizeof path, "tvd")) << c.in;
        EXPECT_STREQ(c.out, path) << c.in;
    }
}

TEST(ForceExtension, FoldersAndOverlongNamesAreRefused)
{
    char folder[260] = "C:\\data\\";
    EXPECT_EQ(0, forceExtension(folder, sizeof folder, ".tvd"));
    EXPECT_STREQ("C:\\data\\", folder);

    char small[12] = "C:\\abcdefg";
    EXPECT_EQ(0, forceExtension(small, sizeof small, ".tvd"));
    EXPECT_STREQ("C:\\abcdefg", small);
    char fits[15] = "C:\\abcdefg";
    EXPECT_EQ(1, forceExtension(fits, sizeof fits, ".tvd"));
    EXPECT_STREQ("C:\\abcdefg.tvd", fits);
}

TEST_F(FileDialogTest, DialogsAreSetUpForDataFiles)
{
    ModalAnswerer answer(20, 8000);
    answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDCANCEL)); });
    RecordingDialog save(0);
    char path[260] = "";
    EXPECT_EQ(0, save.run(owner, path, sizeof path, folder.c_str()));
    EXPECT_STREQ("", path);
    EXPECT_EQ(1, save.calls);
    EXPECT_EQ(static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A), save.seen.lStructSize);  // 76 bytes in 32-bit
    EXPECT_EQ(owner.hwnd, save.seen.hwndOwner);
    EXPECT_EQ(static_cast<DWORD>(0x8806), save.seen.Flags);
    EXPECT_EQ(260u, save.seen.nMaxFile);
    EXPECT_EQ(1u, save.seen.nFilterIndex);
    EXPECT_EQ("tvd", save.defaultExtension);
    EXPECT_EQ(folder, save.folder);
    EXPECT_EQ(std::string("Tallyvane data file (*.tvd)\0*.tvd\0", 35), save.filter);

    RecordingDialog open(1);
    EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY), open.flags);
    EXPECT_EQ(0, open.readOnly);
    EXPECT_EQ(0, open.changed);
}

TEST_F(FileDialogTest, TypedNameWithoutExtensionGetsTheDataExtension)
{
    EXPECT_EQ(folder + "list.tvd", saveAs("list", folder));
}

TEST_F(FileDialogTest, TypedNameWithAnotherExtensionGetsTheDataExtension)
{
    EXPECT_EQ(folder + "list.tvd", saveAs("list.txt", folder));
}

// The replace question is about the file that will be written, whatever
// the name typed: No brings the dialog back, Yes returns the file.
TEST_F(FileDialogTest, ReplacingAsksAboutTheFileReallyWritten)
{
    for (const char* name : {"list.tvd", "list.txt"}) {
        HANDLE h = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        CloseHandle(h);
    }
    struct {
        const char* typed;
        int answer;          // the answer to the question; 0: no question expected
        const char* result;  // the path returned, "<cancelled>" after No and Cancel
    } cases[] = {
        {"list.txt", IDNO, "<cancelled>"},
        {"list.txt", IDYES, "list.tvd"},
        {"list", IDYES, "list.tvd"},
        {"club.txt", 0, "club.tvd"},
    };
    for (const auto& c : cases) {
        std::string asked;
        ModalAnswerer answer(20, 8000);
        answer.then("#32770", typeAndAccept(c.typed));
        if (c.answer) {
            answer.then("#32770", [&asked, &c](HWND box) {
                char text[MAX_PATH + 64] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                asked = text;
                tvtest::clickButton(GetDlgItem(box, c.answer));
            });
            if (c.answer == IDNO)
                answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDCANCEL)); });
        }
        FileDialog dialog(0);
        char path[260] = "";
        int chosen = dialog.run(owner, path, sizeof path, folder.c_str());
        EXPECT_FALSE(answer.timedOut()) << c.typed;
        EXPECT_EQ(0, answer.pending()) << c.typed;
        EXPECT_EQ(c.answer ? folder + "list.tvd already exists.\nDo you want to replace it?" : "", asked) << c.typed;
        EXPECT_EQ(c.result[0] == '<' ? c.result : folder + c.result, chosen ? path : "<cancelled>") << c.typed;
    }

    // A path of 150 two-byte characters in UTF-8 is asked about whole, not
    // cut (with the question itself) at some 320 bytes.
    std::string longPath = "C:\\";
    for (int i = 0; i < 150; ++i)
        longPath += "\xD0\xB6";
    longPath += ".tvd";
    std::string asked;
    ModalAnswerer answer(20, 8000);
    answer.then("#32770", [&asked](HWND box) {
        char text[1024] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        asked = text;
        tvtest::clickButton(GetDlgItem(box, IDNO));
    });
    EXPECT_EQ(0, FileDialog(0).confirmReplace(owner, longPath.c_str()));
    EXPECT_EQ(longPath + " already exists.\nDo you want to replace it?", asked);
}

TEST_F(FileDialogTest, FolderWithADotInItsNameIsLeftAlone)
{
    ASSERT_TRUE(CreateDirectoryA((folder + "a.b").c_str(), nullptr));
    EXPECT_EQ(folder + "a.b\\list.tvd", saveAs(folder + "a.b\\list", folder));
}

TEST_F(FileDialogTest, OpenDialogReturnsTheFileTyped)
{
    std::string club = folder + "club.tvd";
    HANDLE h = CreateFileA(club.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);

    ModalAnswerer answer(20, 8000);
    answer.then("#32770", typeAndAccept("club"));
    FileDialog dialog(1);
    char path[260] = "";
    ASSERT_EQ(1, dialog.run(owner, path, sizeof path, folder.c_str()));
    EXPECT_EQ(club, path);
    EXPECT_EQ(0, dialog.changed);
}
