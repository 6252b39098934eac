// Inside the drawing library: the objects behind the handles, shared by its files.
#pragma once

#include "platform/gdi/gdi.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

struct Surface {
    SDL_Surface* sdl;
};

namespace tw::gdi {

// One rasterised face at one pixel size, shared by every font object that asks for it.
struct Glyph {
    bool ready = false;
    int advance = 0;
    int left = 0; // mask column 0 relative to the pen position
    int width = 0, height = 0;
    std::vector<uint8_t> mask; // coverage, width * height, rows from the cell's top
};
struct FontFace {
    TTF_Font* ttf = nullptr;
    int em = 0;
    int ascent = 0, descent = 0, height = 0; // height = the cell
    int weight = FW_NORMAL;
    bool underline = false, strikeOut = false;
    int aveCharWidth = 0, maxCharWidth = 0;
    std::array<Glyph, 256> latin;
    std::unordered_map<char32_t, Glyph> others;
};
const Glyph& GlyphOf(FontFace* face, char32_t ch);
FontFace* ResolveFont(int height, int weight, bool italic, bool underline, bool strikeOut,
                      LPCWSTR face);

enum class Kind { Font, Brush, Pen, Bitmap };
struct Object {
    Kind kind;
    bool stock = false;
    int selected = 0; // references from device contexts (current and saved states)
    // font
    FontFace* face = nullptr;
    // brush and pen
    COLORREF color = 0;
    bool hollow = false; // NULL_BRUSH, NULL_PEN
    int penStyle = PS_SOLID, penWidth = 1;
    // bitmap
    Surface* surface = nullptr;
};

struct State {
    POINT org{0, 0};
    RECT clip{0, 0, 0, 0}; // device pixels; meaningful when clipped
    bool clipped = false;
    Object* font = nullptr;
    Object* brush = nullptr;
    Object* pen = nullptr;
    Object* bitmap = nullptr; // memory contexts only
    COLORREF text = 0;
    COLORREF bk = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT pos{0, 0};
};

struct DC {
    Surface* surface =
        nullptr; // the surface of a surface context; a memory one draws on its bitmap
    bool memory = false;
    State st;
    std::vector<State> saved;
};

DC* ToDC(HDC dc);
Object* ToObject(HGDIOBJ obj);
Surface* TargetOf(DC* dc);
// r cut to the context's clip rectangle, if it has one; never of negative size.
RECT ClipToContext(DC* dc, RECT r);
// The rectangle of device pixels that drawing may touch: the clip within the surface.
RECT DeviceClip(DC* dc);
// Fills a device-pixel rectangle (already in device coordinates), clipped.
void FillDevice(DC* dc, RECT r, COLORREF color);
void PutPixelDevice(DC* dc, const RECT& clip, int x, int y, COLORREF color);
inline uint32_t ToPixel(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF FromPixel(uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
void EnsureTtf();
// The 1 x 1 bitmap that a new memory context holds.
constexpr int STOCK_BITMAP_TW = 19;

} // namespace tw::gdi
