// The grid row drawn into a 24-bit memory DC, checked pixel by pixel.
#include "app/grid/GridPainter.h"
#include "framework/WindowFont.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

const COLORREF Navy = RGB(0, 0, 0x80);
const COLORREF White = RGB(0xFF, 0xFF, 0xFF);
const COLORREF Silver = RGB(0xC0, 0xC0, 0xC0);
const COLORREF Black = RGB(0, 0, 0);
const COLORREF Red = RGB(0xFF, 0, 0);
const COLORREF Yellow = RGB(0xFF, 0xFF, 0);
const COLORREF Green = RGB(0, 0xFF, 0);
const GridColours Colours = {White, Navy, Yellow, Green};

// A memory DC over a 24-bit DIB, filled with a colour none of the rows use.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        RECT all = {0, 0, width, height};
        HBRUSH fill = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
        FillRect(dc_, &all, fill);
        DeleteObject(fill);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    int count(COLORREF colour, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (at(x, y) == colour) ++n;
        return n;
    }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

void drawRow(Canvas& canvas, LPARAM kind, const char* text) {
    RECT row = {0, 0, canvas.width(), canvas.height()};
    GridPainter painter(canvas.dc(), row, Colours);
    painter.paint(kind, text);
}

}  // namespace

TEST(GridPainter, FrameIsSilverTopLeftAndBlackBottomRight) {
    Canvas c(200, 20);
    drawRow(c, 2, "");
    for (int y = 0; y <= 19; ++y) EXPECT_EQ(Silver, c.at(0, y)) << "left y=" << y;
    for (int x = 0; x <= 198; ++x) EXPECT_EQ(Silver, c.at(x, 0)) << "top x=" << x;
    for (int y = 0; y <= 18; ++y) EXPECT_EQ(Black, c.at(199, y)) << "right y=" << y;
    for (int x = 1; x <= 199; ++x) EXPECT_EQ(Black, c.at(x, 19)) << "bottom x=" << x;
}

TEST(GridPainter, UncheckedSquareHasBlackEdgesAndWhiteInside) {
    Canvas c(200, 20);
    drawRow(c, 0, "");
    for (int x = 5; x <= 17; ++x) {
        EXPECT_EQ(Black, c.at(x, 3)) << x;
        EXPECT_EQ(Black, c.at(x, 15)) << x;
    }
    for (int y = 3; y <= 15; ++y) {
        EXPECT_EQ(Black, c.at(5, y)) << y;
        EXPECT_EQ(Black, c.at(17, y)) << y;
    }
    EXPECT_EQ(11 * 11, c.count(White, 6, 4, 17, 15));
    EXPECT_NE(Black, c.at(4, 8));
    EXPECT_NE(Black, c.at(18, 8));
    EXPECT_EQ(0, c.count(Red, 0, 0, 200, 20));
}

TEST(GridPainter, TickIsRedTwoPixelsWideInsideTheSquare) {
    for (LPARAM kind : {1, 4}) {
        Canvas c(200, 20);
        drawRow(c, kind, "");
        // Both strokes: down from (6,12) to (8,15), up to (17,4).
        EXPECT_EQ(Red, c.at(7, 13)) << kind;
        EXPECT_EQ(Red, c.at(12, 10)) << kind;
        EXPECT_EQ(Red, c.at(16, 5)) << kind;
        int red = c.count(Red, 0, 0, 200, 20);
        EXPECT_GT(red, 20) << kind;
        EXPECT_EQ(red, c.count(Red, 5, 3, 19, 17)) << "tick stays in the square";
    }
    for (LPARAM kind : {0, 2, 3}) {
        Canvas c(200, 20);
        drawRow(c, kind, "");
        EXPECT_EQ(0, c.count(Red, 0, 0, 200, 20)) << kind;
    }
}

TEST(GridPainter, MemoRowHasNoSquare) {
    Canvas c(200, 20);
    drawRow(c, 2, "");
    EXPECT_EQ(0, c.count(White, 1, 1, 24, 19));
    EXPECT_EQ(0, c.count(Black, 1, 1, 199, 19));
}

TEST(GridPainter, TextColourFollowsTheKindOnNavyFromX24) {
    struct { LPARAM kind; COLORREF colour; } cases[] = {
        {0, White}, {1, White}, {2, Yellow}, {3, Green}, {4, Green}};
    for (auto& k : cases) {
        Canvas c(200, 20);
        drawRow(c, k.kind, "WWWW");
        EXPECT_GT(c.count(k.colour, 24, 1, 199, 19), 10) << k.kind;
        EXPECT_GT(c.count(Navy, 24, 1, 199, 19), 10) << k.kind;
        EXPECT_EQ(0, c.count(Navy, 0, 0, 24, 20)) << "no text left of 24, kind " << k.kind;
        COLORREF others[] = {White, Yellow, Green};
        for (COLORREF o : others) {
            if (o != k.colour) {
                EXPECT_EQ(0, c.count(o, 24, 1, 199, 19)) << k.kind;
            }
        }
    }
}

TEST(GridPainter, RestoresTheDcState) {
    Canvas c(200, 20);
    HGDIOBJ pen = GetCurrentObject(c.dc(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(c.dc(), OBJ_BRUSH);
    COLORREF text = GetTextColor(c.dc());
    drawRow(c, 4, "x");
    EXPECT_EQ(pen, GetCurrentObject(c.dc(), OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(c.dc(), OBJ_BRUSH));
    EXPECT_EQ(text, GetTextColor(c.dc()));
}

TEST(GridPainter, SquareHitTestAndToggle) {
    RECT row = {0, 40, 200, 60};
    EXPECT_FALSE(GridPainter::onSquare(row, 4, 50));
    EXPECT_TRUE(GridPainter::onSquare(row, 5, 50));
    EXPECT_TRUE(GridPainter::onSquare(row, 16, 50));
    EXPECT_FALSE(GridPainter::onSquare(row, 17, 50));
    EXPECT_FALSE(GridPainter::onSquare(row, 10, 43));
    EXPECT_TRUE(GridPainter::onSquare(row, 10, 44));
    EXPECT_TRUE(GridPainter::onSquare(row, 10, 56));
    EXPECT_FALSE(GridPainter::onSquare(row, 10, 57));
    EXPECT_EQ(1, GridPainter::toggled(0));
    EXPECT_EQ(0, GridPainter::toggled(1));
    EXPECT_EQ(4, GridPainter::toggled(3));
    EXPECT_EQ(3, GridPainter::toggled(4));
    EXPECT_EQ(2, GridPainter::toggled(2));
    EXPECT_EQ(-1, GridPainter::toggled(-1));
}

// The selected row's dotted frame lies one pixel inside the edges, leaves
// the square, the tick and the edges alone, and the unselected drawing wipes it.
TEST(GridPainter, SelectionFrameIsDottedWhiteOneInsideAndWipedWithNavy) {
    Canvas c(200, 20);
    RECT row = {0, 0, 200, 20};
    {
        GridPainter painter(c.dc(), row, Colours);
        painter.paint(1, "");
        painter.drawSelection(true);
    }
    int ring = c.count(White, 1, 1, 199, 2) + c.count(White, 1, 18, 199, 19);
    EXPECT_GT(ring, 100);
    EXPECT_LT(ring, 2 * 198);  // dotted, not solid
    EXPECT_EQ(Navy, c.at(2, 1)) << "gaps take the background";
    EXPECT_EQ(Silver, c.at(0, 5));
    EXPECT_EQ(Black, c.at(199, 5));
    EXPECT_EQ(Red, c.at(12, 10));
    {
        GridPainter painter(c.dc(), row, Colours);
        painter.drawSelection(false);
    }
    EXPECT_EQ(0, c.count(White, 1, 1, 199, 2) + c.count(White, 1, 18, 199, 19));
    EXPECT_EQ(198, c.count(Navy, 1, 1, 199, 2));
}

// The row of the tests above at other DPIs: a 20-pixel row at 96 DPI is
// dpi(20) high, and frame, square, tick, text and click area all scale.
TEST(GridPainter, EverySizeFollowsTheDpi) {
    for (int value : {96, 120, 144, 192, 288}) {
        const Dpi d(value);
        const int w = d(200), h = d(20), t = d(1);
        Canvas c(w, h);
        RECT row = {0, 0, w, h};
        {
            GridPainter painter(c.dc(), row, Colours, d);
            painter.paint(1, "WWWW");
        }
        EXPECT_EQ(Silver, c.at(t - 1, h / 2)) << value;
        EXPECT_EQ(Silver, c.at(w / 2, t - 1)) << value;
        EXPECT_NE(Silver, c.at(t, h / 2)) << value << ": the frame is " << t << " thick";
        EXPECT_EQ(Black, c.at(w - t, h / 2)) << value;
        EXPECT_EQ(Black, c.at(w / 2, h - t)) << value;
        EXPECT_NE(Black, c.at(w / 2, h - t - 1)) << value;
        EXPECT_EQ(Black, c.at(d(5), h / 2)) << value << ": the square's left edge";
        EXPECT_EQ(White, c.at(d(7), d(6))) << value;
        // Both strokes of the tick, halfway along.
        EXPECT_EQ(Red, c.at((d(6) + d(8)) / 2, (d(12) + h - d(4)) / 2)) << value;
        EXPECT_EQ(Red, c.at((d(8) + d(17)) / 2, h / 2)) << value;
        const int red = c.count(Red, 0, 0, w, h);
        EXPECT_EQ(red, c.count(Red, d(5), d(3), d(19), h - d(3) + 1)) << value << ": the tick leaves the square";
        EXPECT_GT(c.count(White, d(24), t, w - t, h - t), 10) << value << ": text";
        EXPECT_EQ(0, c.count(Navy, 0, 0, d(24), h)) << value << ": text left of " << d(24);
        EXPECT_TRUE(GridPainter::onSquare(row, d(10), h / 2, d)) << value;
        EXPECT_TRUE(GridPainter::onSquare(row, d(5), d(4), d)) << value;
        EXPECT_FALSE(GridPainter::onSquare(row, d(17), h / 2, d)) << value;
        EXPECT_FALSE(GridPainter::onSquare(row, d(10), d(4) - 1, d)) << value;
    }
}

namespace {

// The faces GDI links to face for the characters it lacks: the second part
// of each "file,face" entry of its SystemLink value.
std::vector<std::wstring> linkedFaces(const wchar_t* face) {
    std::vector<std::wstring> faces;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return faces;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, face, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ) {
        std::vector<wchar_t> list(size / sizeof(wchar_t) + 2, L'\0');
        RegQueryValueExW(key, face, nullptr, &type, reinterpret_cast<BYTE*>(list.data()), &size);
        for (const wchar_t* entry = list.data(); *entry; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            const size_t comma = text.find(L',');
            if (comma != std::wstring::npos)
                faces.push_back(text.substr(comma + 1, text.find(L',', comma + 1) - comma - 1));
        }
    }
    RegCloseKey(key);
    return faces;
}

bool hasGlyph(HDC dc, const std::wstring& character) {
    WORD glyph = 0xFFFF;
    return GetGlyphIndicesW(dc, character.c_str(), 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
}

}  // namespace

// Names in every script through the row's own text code, in the font the
// program's windows use (at 96 DPI the stock system font): each character
// has a glyph in the face the DC really chose or in a face linked to it,
// where GDI's font linking takes it from (GetGlyphIndices sees the chosen
// face alone). Under Wine the links come from scripts/wine-fonts.sh and the
// fonts from the set-up; Wine looks up the link of a bold face under its
// full name. Beyond the Basic Multilingual Plane (emoji) only Uniscribe's
// fallback draws, which Wine 8's GDI text output lacks: not checked.
TEST(GridPainter, NamesOfEveryScriptHaveGlyphsNotBoxes) {
    struct Name {
        const char* script;
        const wchar_t* text;
    } const names[] = {
        {"Polish", L"\u0141ukasz \u017B\u00F3\u0142\u0107"},
        {"Greek", L"\u0393\u03B9\u03CE\u03C1\u03B3\u03BF\u03C2"},
        {"Cyrillic", L"\u0418\u0432\u0430\u043D"},
        {"Chinese", L"\u738B\u5C0F\u660E"},
        {"Japanese", L"\u5C71\u7530\u3055\u304F\u3089"},
        {"Korean", L"\uAE40\uBBFC\uC900"},
        {"Arabic", L"\u0645\u062D\u0645\u062F"},
        {"Hebrew", L"\u05D3\u05D5\u05D3"},
        {"Devanagari", L"\u0905\u0928\u093F\u0932"},
    };
    ASSERT_EQ(GetACP(), UINT(CP_UTF8)) << "the test runs in the program's code page (its manifest)";
    WindowFont font;
    font.setDpi(Dpi());
    Canvas c(400, 24);
    SelectObject(c.dc(), font.handle());
    LOGFONTW description;
    GetObjectW(font.handle(), sizeof description, &description);
    // The chosen face's family and full names, and the fonts linked to either.
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(c.dc(), LF_FACESIZE, face);
    std::vector<std::wstring> linked = linkedFaces(face);
    std::vector<char> metrics(GetOutlineTextMetricsW(c.dc(), 0, nullptr) + 1, 0);
    auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data());
    if (metrics.size() > sizeof *outline && GetOutlineTextMetricsW(c.dc(), UINT(metrics.size()), outline)) {
        const wchar_t* fullName = reinterpret_cast<const wchar_t*>(metrics.data() + size_t(outline->otmpFullName));
        for (const std::wstring& more : linkedFaces(fullName)) linked.push_back(more);
    }
    std::vector<HFONT> links;
    for (const std::wstring& name : linked) {
        LOGFONTW link = description;
        lstrcpynW(link.lfFaceName, name.c_str(), LF_FACESIZE);
        HFONT made = CreateFontIndirectW(&link);
        wchar_t got[LF_FACESIZE] = L"";
        HGDIOBJ old = SelectObject(c.dc(), made);
        GetTextFaceW(c.dc(), LF_FACESIZE, got);
        SelectObject(c.dc(), old);
        if (name == got)
            links.push_back(made);  // a font that is there, not a stand-in for a missing one
        else
            DeleteObject(made);
    }
    for (const Name& name : names) {
        char utf8[64] = "";
        WideCharToMultiByte(CP_UTF8, 0, name.text, -1, utf8, sizeof utf8, nullptr, nullptr);
        drawRow(c, 2, utf8);
        EXPECT_GT(c.count(Yellow, GridPainter::TextIndent, 1, c.width() - 1, c.height() - 1), 20) << name.script;
        for (const wchar_t* p = name.text; *p; ++p) {
            const std::wstring character(1, *p);
            if (*p == L' ' || hasGlyph(c.dc(), character)) continue;
            bool found = false;
            for (HFONT link : links) {
                HGDIOBJ old = SelectObject(c.dc(), link);
                found = found || hasGlyph(c.dc(), character);
                SelectObject(c.dc(), old);
            }
            EXPECT_TRUE(found) << name.script << ": no glyph for U+" << std::hex << unsigned(*p) << " in "
                               << std::string(face, face + wcslen(face)) << " or the " << links.size()
                               << " fonts linked to it";
        }
    }
    for (HFONT link : links) DeleteObject(link);
}
