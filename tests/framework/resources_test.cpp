// The icons and the cursor drawn from their sources, and the dialog template.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Framework.h"
#include "framework/GdiGuards.h"
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

namespace {

struct IconEntry {
    int width, height, colours, bitCount;
    bool png;
};

// The directory of an .ico or .cur file of the build, with whether each
// image is stored as PNG; empty when the file can't be read.
std::vector<IconEntry> readDirectory(const char* name)
{
    std::vector<IconEntry> entries;
    std::string path = std::string("Z:") + TV_RESOURCE_DIR + "/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return entries;
    std::vector<unsigned char> data;
    unsigned char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    auto word = [&](size_t at) { return at + 2 <= data.size() ? data[at] | data[at + 1] << 8 : 0; };
    auto dword = [&](size_t at) { return static_cast<size_t>(word(at)) | static_cast<size_t>(word(at + 2)) << 16; };
    const int count = word(4);
    for (int i = 0; i < count; ++i) {
        const size_t at = 6 + 16 * static_cast<size_t>(i);
        if (at + 16 > data.size())
            break;
        const size_t offset = dword(at + 12);
        const bool png = offset + 8 <= data.size() && !std::memcmp(&data[offset], "\x89PNG\r\n\x1a\n", 8);
        entries.push_back({data[at] ? data[at] : 256, data[at + 1] ? data[at + 1] : 256, data[at + 2],
                           word(at + 6), png});
    }
    return entries;
}

} // namespace

// The old 16-colour 32 x 32 image first, for old shells; then every size
// Windows asks for at 100 % to 200 % scaling and for Explorer's largest
// view, in 32-bit colour with alpha, the 256-pixel one as PNG.
TEST(Resources, BothIconsHoldEverySizeAfterTheSixteenColourOne)
{
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    for (const char* file : {"app.ico", "document.ico"}) {
        std::vector<IconEntry> entries = readDirectory(file);
        ASSERT_EQ(9u, entries.size()) << file;
        EXPECT_EQ(32, entries[0].width) << file;
        EXPECT_EQ(16, entries[0].colours) << file;
        EXPECT_EQ(4, entries[0].bitCount) << file;
        for (int i = 0; i < 8; ++i) {
            const IconEntry& e = entries[i + 1];
            EXPECT_EQ(sizes[i], e.width) << file;
            EXPECT_EQ(sizes[i], e.height) << file;
            EXPECT_EQ(32, e.bitCount) << file << " " << sizes[i];
            EXPECT_EQ(sizes[i] == 256, e.png) << file << " " << sizes[i];
        }
    }
    // Each size comes out of the resources as it is, not scaled from another.
    for (int id : {IDI_APP, IDI_DOCUMENT})
        for (int size : sizes) {
            HICON icon = static_cast<HICON>(
                LoadImageA(framework::instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(nullptr, icon) << id << " " << size;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bitmap = {};
            GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
            EXPECT_EQ(size, bitmap.bmWidth) << id;
            if (info.hbmMask)
                DeleteObject(info.hbmMask);
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            DestroyIcon(icon);
        }

    std::vector<IconEntry> cursor = readDirectory("hand.cur");
    ASSERT_EQ(3u, cursor.size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(32 + 16 * i, cursor[i].width);
}
