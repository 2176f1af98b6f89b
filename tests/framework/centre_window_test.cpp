// CentreWindow: centred over the owner, clamped to the owner's right and
// bottom edges, and never above or left of the monitor's work area.
#include <gtest/gtest.h>

#include "framework/CentreWindow.h"
#include "tests/support/TestSupport.h"

namespace {
RECT centred(HWND owner, int width, int height)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, owner, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    CentreWindow(window);
    RECT rect;
    GetWindowRect(window, &rect);
    DestroyWindow(window);
    return rect;
}
} // namespace

TEST(CentreWindow, CentresOverTheOwnerAndKeepsTheSize)
{
    TestWindow owner("owner", 100, 100, 640, 480);
    RECT r = centred(owner, 200, 101);
    EXPECT_EQ(100 + 320 - 100, r.left);
    EXPECT_EQ(100 + 240 - 50, r.top);  // 101 / 2 truncates to 50
    EXPECT_EQ(200, r.right - r.left);
    EXPECT_EQ(101, r.bottom - r.top);
}

TEST(CentreWindow, StaysInsideTheOwnersRightAndBottomEdges)
{
    // Taller than the owner: the bottom edges meet, the top lies above the owner.
    TestWindow owner("owner", 500, 500, 100, 60);
    RECT area;
    GetWindowRect(owner, &area);
    RECT r = centred(owner, 50, 100);
    EXPECT_EQ(area.bottom - 100, r.top);
    EXPECT_EQ(area.left + (area.right - area.left) / 2 - 25, r.left);
}

TEST(CentreWindow, ANegativePositionBecomesTheScreenEdge)
{
    TestWindow small("small", 0, 0, 100, 100);
    RECT r = centred(small, 300, 200);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);

    TestWindow offscreen("offscreen", -300, -300, 100, 100);
    r = centred(offscreen, 50, 50);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
}

TEST(CentreWindow, WithoutOwnerCentresOnTheMonitorsWorkArea)
{
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r = centred(nullptr, 200, 100);
    EXPECT_EQ(work.left + (work.right - work.left) / 2 - 100, r.left);
    EXPECT_EQ(work.top + (work.bottom - work.top) / 2 - 50, r.top);
}
