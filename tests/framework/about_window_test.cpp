// The about window: elliptic, centred lines, the link that ends the box.
#include <gtest/gtest.h>

#include <string>

#include "framework/AboutWindow.h"
#include "tests/support/TestSupport.h"
#include "resource.h"

namespace {

std::string g_opened;
void recordLink(HWND, const char* address) { g_opened = address; }

const char kText[] = "Tallyvane - Version 1.04\nab";

// Horizontal centre (doubled) of the black pixels in rows [top, bottom) well
// inside the ellipse (outside it the capture shows the desktop), or -1.
int blackCentreTimesTwo(const tvtest::Image& image, int top, int bottom)
{
    const double a = image.width / 2.0 - 8, b = image.height / 2.0 - 8;
    int left = image.width, right = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width; ++x) {
            const double dx = (x - image.width / 2.0) / a, dy = (y - image.height / 2.0) / b;
            if (dx * dx + dy * dy < 1 && image.pixel(x, y) == RGB(0, 0, 0)) {
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
        }
    return right < 0 ? -1 : left + right;
}

} // namespace

class AboutBoxes : public testing::Test {
protected:
    void SetUp() override
    {
        AboutWindow::openLink = recordLink;
        g_opened.clear();
    }
    int show(const char* address)
    {
        return about.showModal(owner, kText, address, 0, IDI_APP, RGB(0, 0, 0), RGB(192, 192, 192),
                               RGB(128, 128, 128));
    }
    TestWindow owner{"owner", 100, 100, 640, 480, true};
    ModalAnswerer answer;
    AboutWindow about;
};

TEST_F(AboutBoxes, TheBoxIsAnEllipseWithCentredLinesAndTheLinkEndsItWithOne)
{
    bool inside = false, corner = true, ownerDisabled = false;
    int line1 = -1, line2 = -1;
    std::string shot;
    answer.then(MessageWindow::className, [&](HWND box) {
        ASSERT_TRUE(tvtest::pumpUntil([&] { return about.linkMade == 1; }));
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(ERROR, GetWindowRgn(box, region));
        inside = PtInRegion(region, about.boxWidth / 2, about.boxHeight / 2);
        corner = PtInRegion(region, 2, 2) || PtInRegion(region, about.boxWidth - 3, about.boxHeight - 3);
        DeleteObject(region);
        ownerDisabled = !IsWindowEnabled(owner);

        tvtest::Image image = tvtest::captureWindow(box);
        const int h = about.lineHeight, top = 2 * h + 32;
        line1 = blackCentreTimesTwo(image, top, top + h);
        line2 = blackCentreTimesTwo(image, top + h, top + 2 * h);
        shot = tvtest::saveWindowPng(box, "about_window");
        tvtest::clickButton(about.linkButton.hwnd);
    });
    EXPECT_EQ(IDOK, show(AboutWindow::webAddress));
    EXPECT_EQ(AboutWindow::webAddress, g_opened);
    EXPECT_TRUE(inside);
    EXPECT_FALSE(corner);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(shot.empty());
    // Each line is centred on the box on its own (doubled centres, so +-2 is one pixel).
    EXPECT_NEAR(about.boxWidth, line1, 4);
    EXPECT_NEAR(about.boxWidth, line2, 4);
}

TEST_F(AboutBoxes, WithoutAnAddressTheBoxIsTwoLinesLowerAndHasNoLink)
{
    RECT withLink = {}, without = {};
    answer.then(MessageWindow::className, [&](HWND box) {
        GetWindowRect(box, &withLink);
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDOK, show(AboutWindow::webAddress));
    answer.then(MessageWindow::className, [&](HWND box) {
        GetWindowRect(box, &without);
        tvtest::pumpMessages(100);
        tvtest::pressKey(GetFocus(), VK_RETURN);
    });
    EXPECT_EQ(IDOK, show(""));
    EXPECT_EQ(0, about.linkMade);
    EXPECT_EQ(2 * about.lineHeight, (withLink.bottom - withLink.top) - (without.bottom - without.top));
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(AboutBoxes, ALaterShowingReleasesTheEarlierLinkFont)
{
    auto waitForLinkThenOk = [&](HWND) {
        tvtest::pumpUntil([&] { return about.linkMade == 1; });
        tvtest::pressKey(GetFocus(), VK_RETURN);
    };
    answer.then(MessageWindow::className, waitForLinkThenOk);
    show(AboutWindow::webAddress);
    HFONT first = about.linkFont.font;
    ASSERT_NE(nullptr, first);
    answer.then(MessageWindow::className, waitForLinkThenOk);
    show(AboutWindow::webAddress);
    ASSERT_NE(nullptr, about.linkFont.font);
    if (about.linkFont.font != first) {
        EXPECT_EQ(0u, GetObjectType(first));
    }
}
