// The icon and the cursor drawn from their pixel maps, and the dialog template.
#include <gtest/gtest.h>

#include "Framework.h"
#include "GdiGuards.h"
#include "resource.h"

TEST(Resources, TheHandCursorPointsWithItsFingerTip)
{
    HCURSOR hand = LoadCursorA(framework::instance(), MAKEINTRESOURCEA(IDC_HAND_POINTER));
    ASSERT_NE(nullptr, hand);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(5u, info.xHotspot);
    EXPECT_EQ(1u, info.yHotspot);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST(Resources, TheIconIsAFramedTickOnABlueBandTransparentAboveAndBelow)
{
    HICON icon = static_cast<HICON>(
        LoadImageA(framework::instance(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(nullptr, icon);
    WindowDc screen(nullptr);
    OwnedDc memory(CreateCompatibleDC(screen));
    Bitmap canvas(CreateCompatibleBitmap(screen, 32, 32));
    SelectGuard use(memory, canvas);
    RECT all = {0, 0, 32, 32};
    Brush green(CreateSolidBrush(RGB(0, 255, 0)));
    FillRect(memory, &all, green);
    DrawIconEx(memory, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);

    EXPECT_EQ(RGB(0, 255, 0), GetPixel(memory, 16, 2));   // transparent above the band
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(memory, 16, 29));  // and below it
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(memory, 2, 16));   // the blue band
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(memory, 7, 16));     // the square's frame
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 12, 10));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(memory, 10, 15));  // the tick
    DestroyIcon(icon);
}
