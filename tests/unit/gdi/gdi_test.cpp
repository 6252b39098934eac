// Drawing: fonts and text extents, text layout, clipping and origin, shapes, bitmaps,
// icons, the live-object count and PNG files.
#include "platform/gdi/gdi.h"

#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// A white surface with a context on it.
struct Canvas {
    Surface* surface;
    HDC dc;
    Canvas(int w, int h) : surface(CreateSurface(w, h)), dc(CreateSurfaceDC(surface)) {}
    ~Canvas() {
        DeleteDC(dc);
        DestroySurface(surface);
    }
    uint32_t At(int x, int y) const {
        return SurfacePixels(surface)[size_t(y) * SurfaceWidth(surface) + x] & 0xFFFFFF;
    }
    // The box of pixels that are not white; left > right when there are none.
    RECT Ink() const {
        RECT r{SurfaceWidth(surface), SurfaceHeight(surface), -1, -1};
        for (int y = 0; y < SurfaceHeight(surface); y++)
            for (int x = 0; x < SurfaceWidth(surface); x++)
                if (At(x, y) != 0xFFFFFF) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    }
};

struct Font {
    HFONT h;
    Font(int height, int weight, LPCWSTR face)
        : h(CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, OEM_CHARSET, 0, 0, 0, 16, face)) {}
    ~Font() { DeleteObject(h); }
};

int Em(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight - tm.tmInternalLeading;
}

int TextWidth(HDC dc, const std::u16string& s) {
    SIZE sz{};
    GetTextExtentPoint32W(dc, s.c_str(), int(s.size()), &sz);
    return sz.cx;
}

TEST(Fonts, HeightsFollowTheCellAndCharacterRule) {
    struct Case {
        int height;
        int weight;
        LPCWSTR face;
        int em;
        int maxCell;
    } cases[] = {
        {14, FW_BOLD, u"Tahoma", 12, 14},           // positive: the cell fits 14 pixels
        {-11, FW_NORMAL, u"MS Sans Serif", 11, 14}, // negative: the em itself
        {-20, FW_NORMAL, u"Tahoma", 20, 24},
        {0, FW_NORMAL, u"MS Sans Serif", 11, 14}, // the default size
    };
    Canvas c(8, 8);
    for (const Case& k : cases) {
        Font f(k.height, k.weight, k.face);
        ASSERT_NE(f.h, nullptr);
        SelectObject(c.dc, f.h);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
        EXPECT_EQ(Em(c.dc), k.em) << k.height;
        EXPECT_LE(tm.tmHeight, k.maxCell) << k.height;
        EXPECT_EQ(tm.tmWeight, k.weight >= 600 ? FW_BOLD : FW_NORMAL);
        SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    }
}

TEST(Fonts, HandheldFacesKeepTheirTextsInsideTheirControls) {
    // The standings title in its 150 px label, and team names in 80 px columns.
    Canvas c(8, 8);
    Font title(14, FW_BOLD, u"Tahoma");
    SelectObject(c.dc, title.h);
    EXPECT_LE(TextWidth(c.dc, u" Final NHL Standings "), 150);
    EXPECT_GE(TextWidth(c.dc, u" Final NHL Standings "), 110); // not a narrow stand-in
    Font dialog(-11, FW_NORMAL, u"MS Sans Serif");
    SelectObject(c.dc, dialog.h);
    EXPECT_LE(TextWidth(c.dc, u"Blue Jackets"), 76);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
}

TEST(Text, ExtentsAddUpAndCountCharacters) {
    Canvas c(8, 8);
    EXPECT_EQ(TextWidth(c.dc, u""), 0);
    EXPECT_EQ(TextWidth(c.dc, u"ab"), TextWidth(c.dc, u"a") + TextWidth(c.dc, u"b"));
    EXPECT_GT(TextWidth(c.dc, u"W"), TextWidth(c.dc, u"i"));
    SIZE part{};
    GetTextExtentPoint32W(c.dc, u"abcdef", 3, &part);
    EXPECT_EQ(part.cx, TextWidth(c.dc, u"abc"));
}

TEST(Text, CalcRectMeasuresLinesWithoutDrawing) {
    Canvas c(200, 100);
    TEXTMETRICW tm{};
    GetTextMetricsW(c.dc, &tm);
    struct Case {
        std::u16string text;
        UINT format;
        int lines;
        std::u16string widest;
    } cases[] = {
        {u"Tarnwick", DT_SINGLELINE, 1, u"Tarnwick"},
        {u"one\nlonger line", 0, 2, u"longer line"},
        {u"one\r\nlonger line", 0, 2, u"longer line"},
        {u"one\nlonger line", DT_SINGLELINE, 1, u"onelonger line"},
        {u"&File", 0, 1, u"File"},
        {u"&File", DT_NOPREFIX, 1, u"&File"},
        {u"a && b", 0, 1, u"a & b"},
    };
    for (const Case& k : cases) {
        RECT r{10, 5, 190, 95};
        int h = DrawTextW(c.dc, k.text.c_str(), -1, &r, k.format | DT_CALCRECT);
        EXPECT_EQ(h, k.lines * tm.tmHeight) << int(k.format);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 5);
        EXPECT_EQ(r.right - r.left, TextWidth(c.dc, k.widest));
        EXPECT_EQ(r.bottom - r.top, k.lines * tm.tmHeight);
    }
    EXPECT_GT(c.Ink().left, c.Ink().right); // nothing drawn
}

TEST(Text, WordBreakWrapsAtBlanks) {
    Canvas c(200, 100);
    TEXTMETRICW tm{};
    GetTextMetricsW(c.dc, &tm);
    RECT r{0, 0, TextWidth(c.dc, u"Could not") + 2, 100};
    int h = DrawTextW(c.dc, u"Could not connect to the server", -1, &r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GE(h, 3 * tm.tmHeight);
    EXPECT_LE(r.right, TextWidth(c.dc, u"Could not") + 2);
}

TEST(Text, AlignmentPlacesTheInk) {
    struct Case {
        UINT format;
        const char* what;
    } cases[] = {{DT_LEFT | DT_SINGLELINE, "left"},
                 {DT_CENTER | DT_SINGLELINE, "center"},
                 {DT_RIGHT | DT_SINGLELINE, "right"},
                 {DT_CENTER | DT_VCENTER | DT_SINGLELINE, "vcenter"}};
    for (const Case& k : cases) {
        Canvas c(200, 60);
        SetBkMode(c.dc, TRANSPARENT);
        RECT r{20, 10, 180, 50};
        DrawTextW(c.dc, u"Standings", -1, &r, k.format);
        RECT ink = c.Ink();
        ASSERT_LE(ink.left, ink.right) << k.what;
        int w = TextWidth(c.dc, u"Standings");
        std::string what = k.what;
        if (what == "left") {
            EXPECT_LE(std::abs(ink.left - 20), 1);
        } else if (what == "right") {
            EXPECT_LE(std::abs(ink.right + 1 - 180), 2);
        } else {
            EXPECT_LE(std::abs((ink.left + ink.right + 1) / 2 - 100), 2) << w;
        }
        if (what == "vcenter") {
            EXPECT_GT(ink.top, 10 + 8); // moved down from the top
        } else {
            EXPECT_LT(ink.top, 10 + 6);
        }
    }
}

TEST(Text, EllipsisKeepsALongLineInsideItsRectangle) {
    Canvas c(200, 30);
    SetBkMode(c.dc, TRANSPARENT);
    RECT r{0, 0, 60, 20};
    DrawTextW(c.dc, u"Columbus Blue Jackets at home", -1, &r,
              DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    RECT ink = c.Ink();
    EXPECT_LT(ink.right, 60);
    EXPECT_GT(ink.right, 40); // the room is used, not dropped
}

TEST(Text, OpaqueFillsBehindTheTextOnly) {
    Canvas c(200, 40);
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    RECT all{0, 0, 200, 40};
    FillRect(c.dc, &all, grey);
    DeleteObject(grey);
    SetBkColor(c.dc, kWhite);
    SetBkMode(c.dc, OPAQUE);
    SetTextColor(c.dc, RGB(255, 80, 0));
    RECT r{0, 0, 200, 40};
    DrawTextW(c.dc, u"            ", -1, &r, DT_SINGLELINE); // blanks wipe what was there
    int w = TextWidth(c.dc, u"            ");
    EXPECT_EQ(c.At(1, 1), 0xFFFFFFu);
    EXPECT_EQ(c.At(w - 1, 5), 0xFFFFFFu);
    EXPECT_EQ(c.At(w + 1, 5), 0xC8C8C8u); // beyond the text the background stays
    EXPECT_EQ(c.At(1, 35), 0xC8C8C8u);

    SetBkMode(c.dc, TRANSPARENT);
    RECT r2{0, 20, 200, 40};
    DrawTextW(c.dc, u"x", -1, &r2, DT_SINGLELINE);
    EXPECT_EQ(c.At(0, 21), 0xC8C8C8u);
}

TEST(Text, GlyphsAreDarkAndSharpOnWhite) {
    // Anti-aliased, but the stems of a capital reach the full text colour.
    Canvas c(60, 20);
    SetBkMode(c.dc, TRANSPARENT);
    RECT r{2, 2, 60, 20};
    DrawTextW(c.dc, u"HIL", -1, &r, DT_SINGLELINE);
    int dark = 0, ink = 0;
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 60; x++) {
            uint32_t p = c.At(x, y);
            if (p != 0xFFFFFF)
                ink++;
            if ((p & 0xFF) < 0x40)
                dark++;
        }
    EXPECT_GE(dark, 20);
    EXPECT_GE(dark * 2, ink); // most inked pixels are near black, not a grey smear
}

TEST(Clip, OriginAndClipConfineDrawing) {
    Canvas c(100, 100);
    SetViewportOrgEx(c.dc, 30, 40, nullptr);
    EXPECT_EQ(IntersectClipRect(c.dc, 0, 0, 20, 10), SIMPLEREGION);
    RECT big{-100, -100, 200, 200};
    FillRect(c.dc, &big, (HBRUSH)GetStockObject(BLACK_BRUSH));
    RECT ink = c.Ink();
    EXPECT_EQ(ink.left, 30);
    EXPECT_EQ(ink.top, 40);
    EXPECT_EQ(ink.right, 49);
    EXPECT_EQ(ink.bottom, 49);
    // A further clip narrows the first; it never widens it.
    EXPECT_EQ(IntersectClipRect(c.dc, 50, 50, 60, 60), NULLREGION);
    EXPECT_EQ(SetPixel(c.dc, 5, 5, 0), CLR_INVALID);
}

TEST(Clip, SaveAndRestoreBringBackOriginClipAndObjects) {
    Canvas c(50, 50);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    int saved = SaveDC(c.dc);
    SetViewportOrgEx(c.dc, 10, 10, nullptr);
    IntersectClipRect(c.dc, 0, 0, 5, 5);
    SelectObject(c.dc, red);
    RestoreDC(c.dc, saved);
    EXPECT_FALSE(RestoreDC(c.dc, saved)); // used up
    Rectangle(c.dc, 0, 0, 50, 50);        // white brush, black pen, whole surface
    EXPECT_EQ(c.At(0, 0), 0u);
    EXPECT_EQ(c.At(25, 25), 0xFFFFFFu);
    EXPECT_TRUE(DeleteObject(red)); // no longer selected anywhere
}

TEST(Text, DrawTextIsClippedToItsRectangle) {
    Canvas c(200, 40);
    RECT r{0, 0, 20, 40};
    DrawTextW(c.dc, u"WWWWWWWWWW", -1, &r, DT_SINGLELINE);
    EXPECT_LT(c.Ink().right, 20);
    Canvas d(200, 40);
    DrawTextW(d.dc, u"WWWWWWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(d.Ink().right, 40);
}

TEST(Shapes, LinesRectanglesAndPolygonsFillTheirPixels) {
    Canvas c(40, 40);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(c.dc, pen);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 10, 0);
    EXPECT_EQ(c.At(9, 0), 0x0000FFu);
    EXPECT_EQ(c.At(10, 0), 0xFFFFFFu); // the end point is not drawn
    SelectObject(c.dc, old);
    DeleteObject(pen);

    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    POINT tri[] = {{10, 10}, {30, 10}, {20, 30}};
    Polygon(c.dc, tri, 3);
    EXPECT_EQ(c.At(20, 12), 0u);
    EXPECT_EQ(c.At(11, 28), 0xFFFFFFu);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    SelectObject(c.dc, GetStockObject(BLACK_PEN));

    RECT frame{0, 32, 8, 40};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FrameRect(c.dc, &frame, grey);
    DeleteObject(grey);
    EXPECT_EQ(c.At(0, 32), 0x808080u);
    EXPECT_EQ(c.At(7, 39), 0x808080u);
    EXPECT_EQ(c.At(3, 35), 0xFFFFFFu);
}

TEST(Bitmaps, MemoryContextsBlitAndIconsKeepTheirTransparentColour) {
    HBITMAP bmp = CreateBitmap32(4, 3);
    SIZE sz{};
    ASSERT_TRUE(GetBitmapSize(bmp, &sz));
    EXPECT_EQ(sz.cx, 4);
    EXPECT_EQ(sz.cy, 3);
    Canvas c(10, 10);
    HDC mem = CreateCompatibleDC(c.dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    SetPixel(mem, 1, 1, RGB(255, 0, 0));
    BitBlt(c.dc, 5, 5, 4, 3, mem, 0, 0, SRCCOPY);
    EXPECT_EQ(c.At(6, 6), 0xFF0000u);
    EXPECT_FALSE(DeleteObject(bmp)); // still selected
    SelectObject(mem, old);
    DeleteDC(mem);

    HICON icon = CreateIconFromBitmap(bmp); // white corner: white is transparent
    DeleteObject(bmp);                      // the icon keeps its own copy
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 10, 10};
    FillRect(c.dc, &all, blue);
    DeleteObject(blue);
    DrawIcon(c.dc, 0, 0, icon);
    EXPECT_EQ(c.At(0, 0), 0x0000FFu);
    EXPECT_EQ(c.At(1, 1), 0xFF0000u);
    DestroyIcon(icon);
}

TEST(Count, LiveObjectsAreCountedAndStockOnesAreNot) {
    DWORD base = GetGuiResources(nullptr, GR_GDIOBJECTS);
    HBRUSH b = CreateSolidBrush(0);
    HPEN p = CreatePen(PS_SOLID, 1, 0);
    HFONT f = CreateFontW(14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 16, u"Tahoma");
    HBITMAP m = CreateBitmap32(2, 2);
    GetStockObject(GRAY_BRUSH);
    EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), base + 4);
    for (HGDIOBJ o : {b, p, f, m})
        EXPECT_TRUE(DeleteObject(o));
    EXPECT_FALSE(DeleteObject(b)); // already gone
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), base);
}

TEST(Count, PaintingAThousandTimesLeaksNothing) {
    Surface* screen = CreateSurface(240, 320);
    auto paint = [&] {
        HDC dc = CreateSurfaceDC(screen);
        SetViewportOrgEx(dc, 0, 26, nullptr);
        IntersectClipRect(dc, 0, 0, 240, 268);
        HFONT font = CreateFontW(14, 0, 0, 0, FW_BOLD, 0, 0, 0, 255, 0, 0, 0, 16, u"Tahoma");
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, 0x50FF);
        RECT r{0, 0, 150, 14};
        DrawTextW(dc, u" Final NHL Standings ", -1, &r, DT_CENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    };
    paint();
    DWORD before = GetGuiResources(nullptr, GR_GDIOBJECTS);
    for (int i = 0; i < 1000; i++)
        paint();
    EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), before);
    DestroySurface(screen);
}

TEST(Png, SavedSurfaceReadsBackPixelForPixel) {
    Canvas c(240, 40);
    HFONT font = CreateFontW(14, 0, 0, 0, FW_BOLD, 0, 0, 0, 255, 0, 0, 0, 16, u"Tahoma");
    SelectObject(c.dc, font);
    RECT r{0, 0, 240, 20};
    DrawTextW(c.dc, u" Final NHL Standings ", -1, &r, DT_CENTER | DT_SINGLELINE);
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    SetTextColor(c.dc, RGB(255, 80, 0));
    RECT r2{4, 20, 240, 40};
    DrawTextW(c.dc, u"Avalanche  Blue Jackets  12/31/2003  7:30p", -1, &r2, DT_SINGLELINE);
    std::string path = std::string(TW_BINARY_DIR) + "/gdi_text.png";
    ASSERT_EQ(SaveSurfacePng(c.surface, path.c_str()), 1);
    SDL_Surface* back = IMG_Load(path.c_str());
    ASSERT_NE(back, nullptr);
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(back, SDL_PIXELFORMAT_RGB888, 0);
    ASSERT_EQ(rgb->w, 240);
    ASSERT_EQ(rgb->h, 40);
    int diff = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 240; x++)
            if ((static_cast<uint32_t*>(rgb->pixels)[y * rgb->pitch / 4 + x] & 0xFFFFFF) !=
                c.At(x, y))
                diff++;
    EXPECT_EQ(diff, 0);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(back);
    EXPECT_EQ(SaveSurfacePng(c.surface, "/nonexistent-dir/x.png"), 0);
}

} // namespace
