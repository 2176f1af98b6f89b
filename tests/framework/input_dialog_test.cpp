// The input dialog on template 107, typed into and confirmed with real
// messages while the dialog manager's modal loop runs.
#include <gtest/gtest.h>

#include <string>

#include "framework/InputDialog.h"
#include "tests/support/TestSupport.h"

namespace {

// Replaces the field's text by typing, then confirms with key (Enter or Escape).
ModalAnswerer::Step typeThenPress(const std::string& typed, UINT key)
{
    return [typed, key](HWND dialog) {
        HWND field = GetDlgItem(dialog, 1000);
        SendMessageA(field, EM_SETSEL, 0, -1);
        tvtest::typeText(field, typed.c_str());
        tvtest::pressKey(field, key);
    };
}

} // namespace

class InputDialogs : public testing::Test {
protected:
    TestWindow owner{"owner", 200, 150, 600, 400};
    ModalAnswerer answer;
    InputDialog input;
};

TEST_F(InputDialogs, LeadingBlanksGoTrailingBlanksStay)
{
    std::string caption, shot;
    RECT dialogRect = {}, ownerRect = {};
    answer.then("#32770", [&](HWND dialog) {
        char buffer[64] = "";
        GetWindowTextA(dialog, buffer, sizeof buffer);
        caption = buffer;
        GetWindowRect(dialog, &dialogRect);
        GetWindowRect(owner, &ownerRect);
        EXPECT_EQ(GetDlgItem(dialog, 1000), GetFocus());
        shot = tvtest::saveWindowPng(dialog, "input_dialog");
        typeThenPress("   Anna Berg  ", VK_RETURN)(dialog);
    });
    input.setup("Add Name", "Name:", "old");
    EXPECT_EQ(1, input.run(owner));
    EXPECT_STREQ("Anna Berg  ", input.text);
    EXPECT_EQ("Add Name", caption);
    EXPECT_FALSE(shot.empty());
    // Centred over the owner.
    EXPECT_NEAR((ownerRect.left + ownerRect.right) / 2, (dialogRect.left + dialogRect.right) / 2, 1);
    EXPECT_NEAR((ownerRect.top + ownerRect.bottom) / 2, (dialogRect.top + dialogRect.bottom) / 2, 1);
}

TEST_F(InputDialogs, BlanksOnlyBecomeEmptyAndTabsStay)
{
    answer.then("#32770", typeThenPress("    ", VK_RETURN));
    input.setup("Add Memo", "Memo:", "");
    EXPECT_EQ(1, input.run(owner));
    EXPECT_STREQ("", input.text);

    answer.then("#32770", [](HWND dialog) {
        SetWindowTextA(GetDlgItem(dialog, 1000), " \tx");
        tvtest::clickButton(GetDlgItem(dialog, IDOK));
    });
    input.setup("Add Memo", "Memo:", "");
    EXPECT_EQ(1, input.run(owner));
    EXPECT_STREQ("\tx", input.text);
}

TEST_F(InputDialogs, TheFieldStopsAt126Characters)
{
    answer.then("#32770", typeThenPress(std::string(200, 'x'), VK_RETURN));
    input.setup("Add Memo", "Memo:", "");
    EXPECT_EQ(1, input.run(owner));
    EXPECT_EQ(std::string(126, 'x'), input.text);
}

TEST_F(InputDialogs, ALongInitialTextIsCutToTheBufferAndOkReturnsAtMost126)
{
    const std::string memo = std::string(100, 'a') + std::string(100, 'b');
    input.setup("Edit Memo", "Memo:", memo.c_str());
    EXPECT_EQ(memo.substr(0, 127), input.text);

    answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDOK)); });
    EXPECT_EQ(1, input.run(owner));
    EXPECT_EQ(memo.substr(0, 126), input.text);
}

TEST_F(InputDialogs, CancelKeepsTheInitialText)
{
    answer.then("#32770", typeThenPress("something else", VK_ESCAPE));
    input.setup("Edit Name", "Name:", "Anna Berg");
    EXPECT_EQ(0, input.run(owner));
    EXPECT_STREQ("Anna Berg", input.text);

    answer.then("#32770", [](HWND dialog) { tvtest::clickButton(GetDlgItem(dialog, IDCANCEL)); });
    EXPECT_EQ(0, input.run(owner));
    EXPECT_STREQ("Anna Berg", input.text);
}

TEST_F(InputDialogs, ReadOnlyEndsAtOnceWithZero)
{
    input.readOnly = 1;
    input.setup("Add Name", "Name:", "kept");
    EXPECT_EQ(0, input.run(owner));
    EXPECT_STREQ("kept", input.text);
    EXPECT_EQ(0, answer.answered());
}
