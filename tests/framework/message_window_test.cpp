// The message and warning windows, answered by real key presses and clicks
// while their own modal loop runs.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/GdiGuards.h"
#include "framework/MessageWindow.h"
#include "tests/support/TestSupport.h"
#include "framework/WarningWindow.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kSilver = RGB(192, 192, 192);
const COLORREF kGrey = RGB(128, 128, 128);

// Remembers which window had the focus when a command reached the box.
class ProbeBox : public MessageWindow {
public:
    void OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        focusAtCommand = GetFocus();
        MessageWindow::OnCommand(wParam, lParam);
    }
    HWND focusAtCommand = nullptr;
};

// A box whose window never comes into being.
class NoBox : public MessageWindow {
public:
    void createBox() override {}
};

int textWidth(const char* text)
{
    OwnedDc ic(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
    SIZE size = {};
    GetTextExtentPoint32A(ic, text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

bool focusBecomes(HWND window)
{
    return tvtest::pumpUntil([&] { return GetFocus() == window; }, 2000);
}

} // namespace

class MessageBoxes : public testing::Test {
protected:
    TestWindow owner{"owner"};
    ModalAnswerer answer;
};

TEST_F(MessageBoxes, TwoLinesMakeABoxOfEightLineHeightsAndTheOwnerIsDisabledMeanwhile)
{
    MessageWindow box;
    RECT rect = {};
    BOOL ownerEnabled = TRUE;
    answer.then(MessageWindow::className, [&](HWND window) {
        GetWindowRect(window, &rect);
        ownerEnabled = IsWindowEnabled(owner);
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDOK, box.showModal(owner, "first line\nsecond", "Tallyvane", MB_OK, 0, kBlack, kSilver, kGrey));
    EXPECT_EQ(1, answer.answered());
    EXPECT_EQ(2, box.lineCount);
    EXPECT_EQ(8 * box.lineHeight, rect.bottom - rect.top);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, box.hwnd);
}

TEST_F(MessageBoxes, LinesEndAtLineFeedsWithoutAnEmptyLastLine)
{
    MessageWindow box;
    const struct {
        const char* text;
        int lines;
    } cases[] = {{"one\n", 1}, {"", 0}, {"a\n\nb", 3}};
    for (auto& c : cases) {
        answer.then(MessageWindow::className, [](HWND) { tvtest::pressKey(GetFocus(), VK_RETURN); });
        EXPECT_EQ(IDOK, box.showModal(owner, c.text, "", MB_OK, 0, kBlack, kSilver, kGrey));
        EXPECT_EQ(c.lines, box.lineCount) << c.text;
    }
}

TEST_F(MessageBoxes, WarningHasTenLineHeightsItsBannerAndYesNo)
{
    WarningWindow warning;
    RECT rect = {};
    std::string shot;
    answer.then(MessageWindow::className, [&](HWND window) {
        GetWindowRect(window, &rect);
        shot = tvtest::saveWindowPng(window, "warning_window");
        EXPECT_NE(nullptr, tvtest::findChild(window, "&Yes"));
        EXPECT_NE(nullptr, tvtest::findChild(window, "&No"));
        tvtest::pressKey(GetFocus(), 'Y');
    });
    EXPECT_EQ(1, warning.confirm(owner, "Ok to Delete?\nAnna Berg", "Delete", RGB(255, 255, 0)));
    EXPECT_EQ(10 * warning.lineHeight, rect.bottom - rect.top);
    EXPECT_EQ(2 * warning.lineHeight, warning.textRect.top);
    EXPECT_FALSE(shot.empty());

    answer.then(MessageWindow::className, [](HWND window) { tvtest::clickButton(tvtest::findChild(window, "&No")); });
    EXPECT_EQ(0, warning.confirm(owner, "Ok to Delete?\nAnna Berg", "Delete", RGB(255, 255, 0)));
}

TEST_F(MessageBoxes, TheTextBandStartsAfterTheIconOrCountsTheCaptionWithoutOne)
{
    MessageWindow box;
    std::string shot;
    answer.then(MessageWindow::className, [&](HWND window) {
        shot = tvtest::saveWindowPng(window, "message_window");
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDOK, box.showModal(owner, "Can't open the file.\nIt is locked by another program.", "Tallyvane",
                                  MB_ICONEXCLAMATION, 0, kBlack, kSilver, kGrey));
    EXPECT_EQ(64, box.textRect.left);
    EXPECT_NE(nullptr, box.icon);
    EXPECT_FALSE(shot.empty());

    const char caption[] = "A caption much wider than the text of the box";
    answer.then(MessageWindow::className, [](HWND) { tvtest::pressKey(GetFocus(), VK_RETURN); });
    EXPECT_EQ(IDOK, box.showModal(owner, "x", caption, MB_OK, 0, kBlack, kSilver, kGrey));
    EXPECT_EQ(8, box.textRect.left);
    EXPECT_EQ(nullptr, box.icon);
    EXPECT_EQ(textWidth(caption), box.maxLineWidth);
    EXPECT_EQ(textWidth(caption) + 4 * box.maxCharWidth + 8, box.textRect.right);
}

TEST_F(MessageBoxes, YesNoCancelIsAtLeastThirteenLineHeightsWideAndTabAndLeftWrap)
{
    MessageWindow box;
    HWND yes = nullptr, no = nullptr, cancel = nullptr;
    bool leftWrapped = false, tabWrapped = false, rightMoved = false;
    answer.then(MessageWindow::className, [&](HWND window) {
        yes = tvtest::findChild(window, "&Yes");
        no = tvtest::findChild(window, "&No");
        cancel = tvtest::findChild(window, "&Cancel");
        ASSERT_TRUE(focusBecomes(yes));
        tvtest::pressKey(yes, VK_LEFT);
        leftWrapped = focusBecomes(cancel);
        tvtest::pressKey(cancel, VK_TAB);
        tabWrapped = focusBecomes(yes);
        tvtest::pressKey(yes, VK_RIGHT);
        rightMoved = focusBecomes(no);
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDNO, box.showModal(owner, "Save?", "Q", MB_YESNOCANCEL, 0, kBlack, kSilver, kGrey));
    EXPECT_NE(nullptr, cancel);
    EXPECT_EQ(13 * box.lineHeight, box.textRect.right);
    EXPECT_TRUE(leftWrapped);
    EXPECT_TRUE(tabWrapped);
    EXPECT_TRUE(rightMoved);
}

TEST_F(MessageBoxes, AMnemonicAnswersWithoutMovingTheFocus)
{
    ProbeBox box;
    HWND no = nullptr;
    answer.then(MessageWindow::className, [&](HWND window) {
        no = tvtest::findChild(window, "&No");
        ASSERT_TRUE(focusBecomes(no));  // MB_DEFBUTTON2
        tvtest::pressKey(no, 'Y');
    });
    EXPECT_EQ(IDYES, box.showModal(owner, "Sure?", "Q", MB_YESNO | MB_DEFBUTTON2, 0, kBlack, kSilver, kGrey));
    EXPECT_EQ(no, box.focusAtCommand);
}

TEST_F(MessageBoxes, EnterChoosesTheFocusedButton)
{
    MessageWindow box;
    answer.then(MessageWindow::className, [&](HWND window) {
        ASSERT_TRUE(focusBecomes(tvtest::findChild(window, "&Cancel")));  // MB_DEFBUTTON3
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDCANCEL,
              box.showModal(owner, "Save data?", "Tallyvane", MB_YESNOCANCEL | MB_DEFBUTTON3, 0, kBlack, kSilver, kGrey));
}

TEST_F(MessageBoxes, ANotificationOtherThanAClickDoesNotCloseTheBox)
{
    MessageWindow box;
    bool stillUp = false;
    answer.then(MessageWindow::className, [&](HWND window) {
        HWND ok = tvtest::findChild(window, "&Ok");
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_SETFOCUS), reinterpret_cast<LPARAM>(ok));
        tvtest::pumpMessages(50);
        stillUp = IsWindow(window) && box.running;
        tvtest::clickButton(tvtest::findChild(window, "&Cancel"));
    });
    EXPECT_EQ(IDCANCEL, box.showModal(owner, "Go on?", "Q", MB_OKCANCEL, 0, kBlack, kSilver, kGrey));
    EXPECT_TRUE(stillUp);
}

TEST_F(MessageBoxes, AltF4EndsTheWaitWithZeroAndEnablesTheOwner)
{
    MessageWindow box;
    answer.then(MessageWindow::className, [](HWND) { tvtest::pressAltKey(GetFocus(), VK_F4); });
    EXPECT_EQ(0, box.showModal(owner, "Closed another way", "Q", MB_YESNO, 0, kBlack, kSilver, kGrey));
    EXPECT_FALSE(answer.timedOut());
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, box.hwnd);
}

TEST_F(MessageBoxes, AQuitRequestEndsTheWaitWithZeroAndStaysQueued)
{
    MessageWindow box;
    answer.then(MessageWindow::className, [](HWND) { PostQuitMessage(3); });
    EXPECT_EQ(0, box.showModal(owner, "Quit meanwhile", "Q", MB_OK, 0, kBlack, kSilver, kGrey));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, box.hwnd);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
}

TEST_F(MessageBoxes, ABoxThatCannotBeCreatedReturnsZeroAtOnce)
{
    NoBox broken;
    EXPECT_EQ(0, broken.showModal(owner, "never shown", "Q", MB_OK, 0, kBlack, kSilver, kGrey));
    EXPECT_TRUE(IsWindowEnabled(owner));

    MessageWindow box;
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(0, box.showModal(gone, "owner is gone", "Q", MB_OK, 0, kBlack, kSilver, kGrey));
    EXPECT_EQ(0, answer.answered());
}

TEST_F(MessageBoxes, OnlyOneBoxAtATime)
{
    MessageWindow first, second;
    int nested = -1;
    answer.then(MessageWindow::className, [&](HWND) {
        nested = second.showModal(owner, "second", "Q", MB_OK, 0, kBlack, kSilver, kGrey);
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDOK, first.showModal(owner, "first", "Q", MB_OK, 0, kBlack, kSilver, kGrey));
    EXPECT_EQ(0, nested);
}

// Esc picks the safe answer whichever button has the focus: Cancel where the
// box has one, else No (a warning keeps what it warns about), else OK.
TEST_F(MessageBoxes, EscChoosesCancelElseNoElseOk)
{
    const struct {
        UINT style;
        int result;
    } cases[] = {
        {MB_YESNOCANCEL, IDCANCEL}, {MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO}, {MB_OK, IDOK},
    };
    for (const auto& c : cases) {
        MessageWindow box;
        answer.then(MessageWindow::className, [](HWND window) {
            tvtest::pumpUntil([&] { return GetFocus() && GetParent(GetFocus()) == window; }, 2000);
            tvtest::pressKey(GetFocus(), VK_ESCAPE);
        });
        EXPECT_EQ(c.result, box.showModal(owner, "Save data?", "Tallyvane", c.style, 0, kBlack, kSilver, kGrey))
            << c.style;
    }
    WarningWindow warning;
    answer.then(MessageWindow::className, [](HWND window) {
        tvtest::pumpUntil([&] { return GetFocus() && GetParent(GetFocus()) == window; }, 2000);
        tvtest::pressKey(GetFocus(), VK_ESCAPE);
    });
    EXPECT_EQ(0, warning.confirm(owner, "Ok to Delete?\nAnna Berg", "Delete", RGB(255, 255, 0)));
}
