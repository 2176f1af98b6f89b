// The generic button bar and the view bar above the list pane.
#include <gtest/gtest.h>

#include "framework/ButtonBar.h"
#include "framework/ButtonControl.h"
#include "tests/support/TestSupport.h"
#include "framework/ViewBar.h"

namespace {

struct StubHost : ViewBarHost {
    void goBack() override { ++backs; }
    void showActionItems() override { ++actionItems; }
    int backs = 0;
    int actionItems = 0;
};

RECT childRect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

MessageRecorder parentLog;

LRESULT CALLBACK recordingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == ButtonBar::forwardedMessage)
        parentLog.add("0x%04x %u %p", message, unsigned(wParam), reinterpret_cast<void*>(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

TEST(ViewBars, TheTitleFieldFollowsTheWidthAndTheButtonsStay)
{
    TestWindow parent("parent", 0, 0, 500, 300);
    ViewBar bar;
    ASSERT_EQ(1, bar.createBar(parent, 0, 0, 400, 32));
    RECT title = childRect(bar.titleField.hwnd);
    EXPECT_EQ(52, title.left);
    EXPECT_EQ(4, title.top);
    EXPECT_EQ(400 - 58, title.right - title.left);
    EXPECT_EQ(21, title.bottom - title.top);
    EXPECT_NE(0, GetWindowLongA(bar.titleField.hwnd, GWL_STYLE) & ES_READONLY);

    MoveWindow(bar.hwnd, 0, 0, 300, 32, TRUE);
    title = childRect(bar.titleField.hwnd);
    EXPECT_EQ(52, title.left);
    EXPECT_EQ(300 - 58, title.right - title.left);

    RECT back = childRect(bar.backButton.hwnd), actions = childRect(bar.actionsButton.hwnd);
    EXPECT_EQ((RECT{4, 6, 25, 26}).left, back.left);
    EXPECT_EQ(26, back.bottom);
    EXPECT_EQ(25, back.right);
    EXPECT_EQ(29, actions.left);
    EXPECT_EQ(49, actions.right);
    EXPECT_EQ(ViewBar::backButtonId, GetDlgCtrlID(bar.backButton.hwnd));
    EXPECT_EQ(ViewBar::actionsButtonId, GetDlgCtrlID(bar.actionsButton.hwnd));

    bar.setTitle("Action Items");
    char text[32] = "";
    GetWindowTextA(bar.titleField.hwnd, text, sizeof text);
    EXPECT_STREQ("Action Items", text);
    tvtest::saveWindowPng(bar.hwnd, "view_bar");
}

TEST(ViewBars, EachButtonCallsItsOperationEveryTime)
{
    TestWindow parent("parent", 0, 0, 500, 300);
    ViewBar bar;
    StubHost host;
    bar.setHost(&host);
    ASSERT_EQ(1, bar.createBar(parent, 0, 0, 400, 32));
    tvtest::clickButton(bar.backButton.hwnd);
    EXPECT_TRUE(tvtest::pumpUntil([&] { return host.backs == 1; }));
    tvtest::clickButton(bar.actionsButton.hwnd);
    tvtest::clickButton(bar.actionsButton.hwnd);
    EXPECT_TRUE(tvtest::pumpUntil([&] { return host.actionItems == 2; }));
    EXPECT_EQ(1, host.backs);
}

TEST(ButtonBars, CommandsAndTheBarMessageGoToTheParent)
{
    TestWindow parent("parent", 0, 0, 500, 300);
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingParent));
    ButtonBar bar;
    ASSERT_EQ(1, bar.createBar(parent, 0, 0, 400, 30));
    EXPECT_EQ(30, bar.height);
    ButtonControl button;
    ASSERT_EQ(1, button.create(bar.hwnd, 77, "b", 0, 0, 20, 20));
    parentLog.clear();

    SendMessageA(bar.hwnd, WM_COMMAND, MAKEWPARAM(77, BN_CLICKED), reinterpret_cast<LPARAM>(button.hwnd));
    SendMessageA(bar.hwnd, WM_COMMAND, MAKEWPARAM(77, BN_SETFOCUS), reinterpret_cast<LPARAM>(button.hwnd));
    SendMessageA(bar.hwnd, ButtonBar::forwardedMessage, 5, 6);
    char expected[2][64];
    std::snprintf(expected[0], sizeof expected[0], "0x0111 77 %p", reinterpret_cast<void*>(bar.hwnd));
    std::snprintf(expected[1], sizeof expected[1], "0x%04x 5 %p", ButtonBar::forwardedMessage, reinterpret_cast<void*>(6));
    EXPECT_EQ((std::vector<std::string>{expected[0], expected[1]}), parentLog.take());
}

TEST(ButtonBars, AHiddenBarIsStillValidatedWhenPainted)
{
    TestWindow parent("parent", 0, 0, 500, 300);
    ButtonBar hidden;
    hidden.visible = 0;
    ASSERT_EQ(1, hidden.createBar(parent, 0, 0, 400, 30));
    EXPECT_FALSE(GetWindowLongA(hidden.hwnd, GWL_STYLE) & WS_VISIBLE);

    ButtonBar bar;
    ASSERT_EQ(1, bar.createBar(parent, 0, 40, 400, 30));
    bar.visible = 0;
    InvalidateRect(bar.hwnd, nullptr, TRUE);
    SendMessageA(bar.hwnd, WM_PAINT, 0, 0);
    EXPECT_FALSE(GetUpdateRect(bar.hwnd, nullptr, FALSE));
}
