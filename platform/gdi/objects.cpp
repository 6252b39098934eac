// Surfaces, device contexts, brushes, pens, bitmaps, icons and the live-object count.
#include "platform/gdi/gdi_internal.h"

#include <SDL2/SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

namespace tw::gdi {
namespace {

std::unordered_set<Object*>& LiveObjects() {
    static std::unordered_set<Object*> live;
    return live;
}
std::unordered_set<DC*>& LiveDCs() {
    static std::unordered_set<DC*> live;
    return live;
}
struct Icon {
    Surface* surface;
    uint32_t transparent;
    bool shared = false;
};
std::unordered_set<Icon*>& LiveIcons() {
    static std::unordered_set<Icon*> live;
    return live;
}

Object* NewObject(Kind kind) {
    auto* o = new Object{};
    o->kind = kind;
    LiveObjects().insert(o);
    return o;
}

Object* StockObject(int which) {
    static std::array<Object*, 20> stock{};
    if (which < 0 || which >= int(stock.size()))
        return nullptr;
    if (stock[which])
        return stock[which];
    Object* o = nullptr;
    auto brush = [&](COLORREF c, bool hollow) {
        o = NewObject(Kind::Brush);
        o->color = c;
        o->hollow = hollow;
    };
    auto pen = [&](COLORREF c, bool hollow) {
        o = NewObject(Kind::Pen);
        o->color = c;
        o->hollow = hollow;
    };
    switch (which) {
        case WHITE_BRUSH: brush(RGB(255, 255, 255), false); break;
        case LTGRAY_BRUSH: brush(RGB(192, 192, 192), false); break;
        case GRAY_BRUSH: brush(RGB(128, 128, 128), false); break;
        case DKGRAY_BRUSH: brush(RGB(64, 64, 64), false); break;
        case BLACK_BRUSH: brush(RGB(0, 0, 0), false); break;
        case NULL_BRUSH: brush(0, true); break;
        case WHITE_PEN: pen(RGB(255, 255, 255), false); break;
        case BLACK_PEN: pen(RGB(0, 0, 0), false); break;
        case NULL_PEN: pen(0, true); break;
        case SYSTEM_FONT:
        case DEFAULT_GUI_FONT:
            o = NewObject(Kind::Font);
            o->face = ResolveFont(-11, FW_NORMAL, false, false, false, u"MS Sans Serif");
            break;
        case STOCK_BITMAP_TW:
            o = NewObject(Kind::Bitmap);
            o->surface = CreateSurface(1, 1);
            break;
        default: return nullptr;
    }
    o->stock = true;
    stock[which] = o;
    return o;
}

void Ref(Object* o, int delta) {
    if (o)
        o->selected += delta;
}
void RefState(const State& s, int delta) {
    Ref(s.font, delta);
    Ref(s.brush, delta);
    Ref(s.pen, delta);
    Ref(s.bitmap, delta);
}

DC* NewDC(Surface* surface, bool memory) {
    auto* dc = new DC{};
    dc->surface = surface;
    dc->memory = memory;
    dc->st.font = StockObject(SYSTEM_FONT);
    dc->st.brush = StockObject(WHITE_BRUSH);
    dc->st.pen = StockObject(BLACK_PEN);
    if (memory)
        dc->st.bitmap = StockObject(STOCK_BITMAP_TW);
    RefState(dc->st, +1);
    LiveDCs().insert(dc);
    return dc;
}

POINT ToDevice(DC* dc, int x, int y) {
    return POINT{x + dc->st.org.x, y + dc->st.org.y};
}

void Line(DC* dc, POINT a, POINT b) {
    Object* pen = dc->st.pen;
    if (!pen || pen->hollow)
        return;
    RECT clip = DeviceClip(dc);
    int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
    int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
    int err = dx + dy, x = a.x, y = a.y, n = 0;
    int w = std::max(1, pen->penWidth);
    // The end point itself is not drawn, as lines are drawn on this system.
    while (x != b.x || y != b.y) {
        if (pen->penStyle != PS_DOT || (n % 2) == 0) {
            for (int i = 0; i < w; i++)
                for (int j = 0; j < w; j++)
                    PutPixelDevice(dc, clip, x - w / 2 + i, y - w / 2 + j, pen->color);
        }
        n++;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace

DC* ToDC(HDC dc) {
    auto* p = reinterpret_cast<DC*>(dc);
    return LiveDCs().count(p) ? p : nullptr;
}
Object* ToObject(HGDIOBJ obj) {
    auto* p = reinterpret_cast<Object*>(obj);
    return LiveObjects().count(p) ? p : nullptr;
}
Surface* TargetOf(DC* dc) {
    if (dc->memory)
        return dc->st.bitmap ? dc->st.bitmap->surface : nullptr;
    return dc->surface;
}
RECT ClipToContext(DC* dc, RECT r) {
    if (dc->st.clipped) {
        r.left = std::max(r.left, dc->st.clip.left);
        r.top = std::max(r.top, dc->st.clip.top);
        r.right = std::min(r.right, dc->st.clip.right);
        r.bottom = std::min(r.bottom, dc->st.clip.bottom);
    }
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}
RECT DeviceClip(DC* dc) {
    Surface* s = TargetOf(dc);
    return ClipToContext(dc, RECT{0, 0, s ? s->sdl->w : 0, s ? s->sdl->h : 0});
}
void FillDevice(DC* dc, RECT r, COLORREF color) {
    Surface* s = TargetOf(dc);
    if (!s)
        return;
    RECT c = DeviceClip(dc);
    r.left = std::max(r.left, c.left);
    r.top = std::max(r.top, c.top);
    r.right = std::min(r.right, c.right);
    r.bottom = std::min(r.bottom, c.bottom);
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    uint32_t px = ToPixel(color);
    uint32_t* pixels = SurfacePixels(s);
    int w = s->sdl->w;
    for (int y = r.top; y < r.bottom; y++)
        std::fill(pixels + size_t(y) * w + r.left, pixels + size_t(y) * w + r.right, px);
}
void PutPixelDevice(DC* dc, const RECT& clip, int x, int y, COLORREF color) {
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)
        return;
    Surface* s = TargetOf(dc);
    SurfacePixels(s)[size_t(y) * s->sdl->w + x] = ToPixel(color);
}

} // namespace tw::gdi

using namespace tw::gdi;

// ---- Surfaces ------------------------------------------------------------------------

Surface* CreateSurface(int width, int height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return nullptr;
    SDL_Surface* sdl = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (!sdl)
        return nullptr;
    SDL_FillRect(sdl, nullptr, 0x00FFFFFF);
    return new Surface{sdl};
}
void DestroySurface(Surface* surface) {
    if (!surface)
        return;
    SDL_FreeSurface(surface->sdl);
    delete surface;
}
int SurfaceWidth(const Surface* surface) {
    return surface ? surface->sdl->w : 0;
}
int SurfaceHeight(const Surface* surface) {
    return surface ? surface->sdl->h : 0;
}
uint32_t* SurfacePixels(Surface* surface) {
    return surface ? static_cast<uint32_t*>(surface->sdl->pixels) : nullptr;
}
SDL_Surface* SurfaceSdl(Surface* surface) {
    return surface ? surface->sdl : nullptr;
}
HDC CreateSurfaceDC(Surface* surface) {
    if (!surface)
        return nullptr;
    return reinterpret_cast<HDC>(NewDC(surface, false));
}
int SaveSurfacePng(Surface* surface, const char* path) {
    if (!surface || !path)
        return 0;
    return IMG_SavePNG(surface->sdl, path) == 0 ? 1 : 0;
}

// ---- Objects -------------------------------------------------------------------------

HGDIOBJ GetStockObject(int which) {
    return reinterpret_cast<HGDIOBJ>(StockObject(which));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    Object* o = NewObject(Kind::Brush);
    o->color = color & 0xFFFFFF;
    return reinterpret_cast<HBRUSH>(o);
}
HPEN CreatePen(int style, int width, COLORREF color) {
    Object* o = NewObject(Kind::Pen);
    o->color = color & 0xFFFFFF;
    o->penStyle = style;
    o->penWidth = std::clamp(width, 1, 64);
    o->hollow = style == PS_NULL;
    return reinterpret_cast<HPEN>(o);
}
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    (void)width, (void)escapement, (void)orientation, (void)charSet, (void)outPrecision;
    (void)clipPrecision, (void)quality, (void)pitchAndFamily;
    FontFace* f = ResolveFont(height, weight, italic != 0, underline != 0, strikeOut != 0, face);
    if (!f)
        return nullptr;
    Object* o = NewObject(Kind::Font);
    o->face = f;
    return reinterpret_cast<HFONT>(o);
}
HBITMAP CreateBitmap32(int width, int height) {
    Surface* s = CreateSurface(width, height);
    if (!s)
        return nullptr;
    Object* o = NewObject(Kind::Bitmap);
    o->surface = s;
    return reinterpret_cast<HBITMAP>(o);
}
BOOL GetBitmapSize(HBITMAP bmp, SIZE* size) {
    Object* o = ToObject(bmp);
    if (!o || o->kind != Kind::Bitmap || !size)
        return FALSE;
    size->cx = o->surface->sdl->w;
    size->cy = o->surface->sdl->h;
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    DC* dc = ToDC(hdc);
    Object* o = ToObject(obj);
    if (!dc || !o)
        return nullptr;
    Object** slot = nullptr;
    switch (o->kind) {
        case Kind::Font: slot = &dc->st.font; break;
        case Kind::Brush: slot = &dc->st.brush; break;
        case Kind::Pen: slot = &dc->st.pen; break;
        case Kind::Bitmap:
            // A bitmap goes into one memory context at a time.
            if (!dc->memory || (o->selected > 0 && dc->st.bitmap != o))
                return nullptr;
            slot = &dc->st.bitmap;
            break;
    }
    Object* old = *slot;
    Ref(old, -1);
    *slot = o;
    Ref(o, +1);
    return reinterpret_cast<HGDIOBJ>(old);
}

BOOL DeleteObject(HGDIOBJ obj) {
    Object* o = ToObject(obj);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE; // stock objects live for the whole process
    if (o->selected > 0)
        return FALSE; // still selected into a device context
    LiveObjects().erase(o);
    if (o->kind == Kind::Bitmap)
        DestroySurface(o->surface);
    delete o;
    return TRUE;
}

HDC CreateCompatibleDC(HDC) {
    return reinterpret_cast<HDC>(NewDC(nullptr, true));
}

BOOL DeleteDC(HDC hdc) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    RefState(dc->st, -1);
    for (const State& s : dc->saved)
        RefState(s, -1);
    LiveDCs().erase(dc);
    delete dc;
    return TRUE;
}

DWORD GetGuiResources(HANDLE, DWORD flags) {
    if (flags != GR_GDIOBJECTS)
        return 0;
    DWORD n = 0;
    for (Object* o : LiveObjects())
        if (!o->stock)
            n++;
    n += DWORD(LiveDCs().size());
    for (Icon* i : LiveIcons())
        if (!i->shared)
            n++;
    return n;
}

// ---- Bitmaps and icons ---------------------------------------------------------------

BOOL BitBlt(HDC hdst, int x, int y, int cx, int cy, HDC hsrc, int sx, int sy, DWORD rop) {
    DC* dst = ToDC(hdst);
    DC* src = ToDC(hsrc);
    if (!dst || !src || rop != SRCCOPY)
        return FALSE;
    Surface* ds = TargetOf(dst);
    Surface* ss = TargetOf(src);
    if (!ds || !ss)
        return FALSE;
    POINT d = ToDevice(dst, x, y);
    POINT s = ToDevice(src, sx, sy);
    RECT clip = DeviceClip(dst);
    RECT sclip = DeviceClip(src);
    uint32_t* dp = SurfacePixels(ds);
    const uint32_t* sp = SurfacePixels(ss);
    for (int j = 0; j < cy; j++) {
        int dy = d.y + j, syy = s.y + j;
        if (dy < clip.top || dy >= clip.bottom || syy < sclip.top || syy >= sclip.bottom)
            continue;
        for (int i = 0; i < cx; i++) {
            int dx = d.x + i, sxx = s.x + i;
            if (dx < clip.left || dx >= clip.right || sxx < sclip.left || sxx >= sclip.right)
                continue;
            dp[size_t(dy) * ds->sdl->w + dx] = sp[size_t(syy) * ss->sdl->w + sxx];
        }
    }
    return TRUE;
}

HICON CreateIconFromBitmap(HBITMAP bmp) {
    Object* o = ToObject(bmp);
    if (!o || o->kind != Kind::Bitmap)
        return nullptr;
    int w = o->surface->sdl->w, h = o->surface->sdl->h;
    Surface* copy = CreateSurface(w, h);
    if (!copy)
        return nullptr;
    std::copy(SurfacePixels(o->surface), SurfacePixels(o->surface) + size_t(w) * h,
              SurfacePixels(copy));
    auto* icon = new Icon{copy, SurfacePixels(copy)[0] & 0xFFFFFF};
    LiveIcons().insert(icon);
    return reinterpret_cast<HICON>(icon);
}
void SetIconShared(HICON hicon) {
    auto* icon = reinterpret_cast<Icon*>(hicon);
    if (LiveIcons().count(icon))
        icon->shared = true;
}
BOOL DestroyIcon(HICON hicon) {
    auto* icon = reinterpret_cast<Icon*>(hicon);
    if (!LiveIcons().count(icon))
        return FALSE;
    if (icon->shared)
        return TRUE; // shared icons stay for the whole process
    LiveIcons().erase(icon);
    DestroySurface(icon->surface);
    delete icon;
    return TRUE;
}
BOOL GetIconSize(HICON hicon, SIZE* size) {
    auto* icon = reinterpret_cast<Icon*>(hicon);
    if (!LiveIcons().count(icon) || !size)
        return FALSE;
    size->cx = icon->surface->sdl->w;
    size->cy = icon->surface->sdl->h;
    return TRUE;
}
BOOL DrawIcon(HDC hdc, int x, int y, HICON hicon) {
    DC* dc = ToDC(hdc);
    auto* icon = reinterpret_cast<Icon*>(hicon);
    if (!dc || !LiveIcons().count(icon) || !TargetOf(dc))
        return FALSE;
    POINT d = ToDevice(dc, x, y);
    RECT clip = DeviceClip(dc);
    const uint32_t* sp = SurfacePixels(icon->surface);
    int w = icon->surface->sdl->w, h = icon->surface->sdl->h;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            uint32_t p = sp[size_t(j) * w + i] & 0xFFFFFF;
            if (p != icon->transparent)
                PutPixelDevice(dc, clip, d.x + i, d.y + j, FromPixel(p));
        }
    return TRUE;
}

// ---- State ---------------------------------------------------------------------------

int SetBkMode(HDC hdc, int mode) {
    DC* dc = ToDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int old = dc->st.bkMode;
    dc->st.bkMode = mode;
    return old;
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->st.bk;
    dc->st.bk = color & 0xFFFFFF;
    return old;
}
COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->st.text;
    dc->st.text = color & 0xFFFFFF;
    return old;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return 0;
    POINT a = ToDevice(dc, left, top), b = ToDevice(dc, right, bottom);
    RECT r = ClipToContext(dc, RECT{a.x, a.y, b.x, b.y});
    dc->st.clip = r;
    dc->st.clipped = true;
    return (r.left == r.right || r.top == r.bottom) ? NULLREGION : SIMPLEREGION;
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->st.org;
    dc->st.org = POINT{x, y};
    return TRUE;
}
int SaveDC(HDC hdc) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->st);
    RefState(dc->st, +1);
    return int(dc->saved.size());
}
BOOL RestoreDC(HDC hdc, int saved) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    int n = int(dc->saved.size());
    int level = saved < 0 ? n + 1 + saved : saved; // -1: the last one saved
    if (level < 1 || level > n)
        return FALSE;
    RefState(dc->st, -1);
    dc->st = dc->saved[level - 1];
    for (int i = level; i < n; i++)
        RefState(dc->saved[i], -1);
    dc->saved.resize(level - 1);
    return TRUE;
}

// ---- Shapes --------------------------------------------------------------------------

int FillRect(HDC hdc, LPCRECT rect, HBRUSH hbrush) {
    DC* dc = ToDC(hdc);
    Object* b = ToObject(hbrush);
    if (!dc || !rect || !b || b->kind != Kind::Brush)
        return 0;
    if (!b->hollow) {
        POINT a = ToDevice(dc, rect->left, rect->top), c = ToDevice(dc, rect->right, rect->bottom);
        FillDevice(dc, RECT{a.x, a.y, c.x, c.y}, b->color);
    }
    return 1;
}
int FrameRect(HDC hdc, LPCRECT rect, HBRUSH hbrush) {
    DC* dc = ToDC(hdc);
    Object* b = ToObject(hbrush);
    if (!dc || !rect || !b || b->kind != Kind::Brush)
        return 0;
    if (b->hollow || rect->right <= rect->left || rect->bottom <= rect->top)
        return 1;
    POINT a = ToDevice(dc, rect->left, rect->top), c = ToDevice(dc, rect->right, rect->bottom);
    FillDevice(dc, RECT{a.x, a.y, c.x, a.y + 1}, b->color);
    FillDevice(dc, RECT{a.x, c.y - 1, c.x, c.y}, b->color);
    FillDevice(dc, RECT{a.x, a.y, a.x + 1, c.y}, b->color);
    FillDevice(dc, RECT{c.x - 1, a.y, c.x, c.y}, b->color);
    return 1;
}
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    POINT a = ToDevice(dc, left, top), c = ToDevice(dc, right, bottom);
    Object* b = dc->st.brush;
    if (b && !b->hollow)
        FillDevice(dc, RECT{a.x, a.y, c.x, c.y}, b->color);
    Object* p = dc->st.pen;
    if (p && !p->hollow && c.x > a.x && c.y > a.y) {
        Line(dc, POINT{a.x, a.y}, POINT{c.x - 1, a.y});
        Line(dc, POINT{c.x - 1, a.y}, POINT{c.x - 1, c.y - 1});
        Line(dc, POINT{c.x - 1, c.y - 1}, POINT{a.x, c.y - 1});
        Line(dc, POINT{a.x, c.y - 1}, POINT{a.x, a.y});
    }
    return TRUE;
}
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->st.pos;
    dc->st.pos = POINT{x, y};
    return TRUE;
}
BOOL LineTo(HDC hdc, int x, int y) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    if (TargetOf(dc))
        Line(dc, ToDevice(dc, dc->st.pos.x, dc->st.pos.y), ToDevice(dc, x, y));
    dc->st.pos = POINT{x, y};
    return TRUE;
}
BOOL Polygon(HDC hdc, const POINT* points, int count) {
    DC* dc = ToDC(hdc);
    if (!dc || !points || count < 2 || !TargetOf(dc))
        return FALSE;
    std::vector<POINT> pts(static_cast<size_t>(count));
    for (int i = 0; i < count; i++)
        pts[i] = ToDevice(dc, points[i].x, points[i].y);
    Object* b = dc->st.brush;
    if (b && !b->hollow) {
        // Even-odd scan-line fill, sampled at pixel centres.
        int ymin = pts[0].y, ymax = pts[0].y;
        for (const POINT& p : pts) {
            ymin = std::min<int>(ymin, p.y);
            ymax = std::max<int>(ymax, p.y);
        }
        std::vector<double> xs;
        for (int y = ymin; y < ymax; y++) {
            double cy = y + 0.5;
            xs.clear();
            for (int i = 0; i < count; i++) {
                POINT p = pts[i], q = pts[(i + 1) % count];
                if ((p.y <= cy && q.y > cy) || (q.y <= cy && p.y > cy))
                    xs.push_back(p.x + (cy - p.y) * double(q.x - p.x) / double(q.y - p.y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                int x0 = int(std::ceil(xs[k] - 0.5)), x1 = int(std::ceil(xs[k + 1] - 0.5));
                FillDevice(dc, RECT{x0, y, x1, y + 1}, b->color);
            }
        }
    }
    for (int i = 0; i < count; i++)
        Line(dc, pts[i], pts[(i + 1) % count]);
    return TRUE;
}
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    DC* dc = ToDC(hdc);
    if (!dc || !TargetOf(dc))
        return FALSE;
    POINT a = ToDevice(dc, left, top), c = ToDevice(dc, right, bottom);
    double rx = (c.x - a.x) / 2.0, ry = (c.y - a.y) / 2.0;
    if (rx <= 0 || ry <= 0)
        return TRUE;
    double cx = a.x + rx, cy = a.y + ry;
    Object* b = dc->st.brush;
    Object* p = dc->st.pen;
    RECT clip = DeviceClip(dc);
    for (int y = a.y; y < c.y; y++) {
        double dy = (y + 0.5 - cy) / ry;
        double half = rx * std::sqrt(std::max(0.0, 1 - dy * dy));
        int x0 = int(std::lround(cx - half)), x1 = int(std::lround(cx + half));
        if (b && !b->hollow)
            FillDevice(dc, RECT{x0, y, x1, y + 1}, b->color);
        if (p && !p->hollow && x1 > x0) {
            PutPixelDevice(dc, clip, x0, y, p->color);
            PutPixelDevice(dc, clip, x1 - 1, y, p->color);
        }
    }
    if (p && !p->hollow) {
        for (int x = a.x; x < c.x; x++) {
            double dx = (x + 0.5 - cx) / rx;
            double half = ry * std::sqrt(std::max(0.0, 1 - dx * dx));
            int y0 = int(std::lround(cy - half)), y1 = int(std::lround(cy + half));
            PutPixelDevice(dc, clip, x, y0, p->color);
            PutPixelDevice(dc, clip, x, y1 - 1, p->color);
        }
    }
    return TRUE;
}
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DC* dc = ToDC(hdc);
    if (!dc || !TargetOf(dc))
        return CLR_INVALID;
    POINT d = ToDevice(dc, x, y);
    RECT clip = DeviceClip(dc);
    if (d.x < clip.left || d.x >= clip.right || d.y < clip.top || d.y >= clip.bottom)
        return CLR_INVALID;
    PutPixelDevice(dc, clip, d.x, d.y, color & 0xFFFFFF);
    return color & 0xFFFFFF;
}
COLORREF GetPixel(HDC hdc, int x, int y) {
    DC* dc = ToDC(hdc);
    if (!dc || !TargetOf(dc))
        return CLR_INVALID;
    POINT d = ToDevice(dc, x, y);
    RECT clip = DeviceClip(dc);
    if (d.x < clip.left || d.x >= clip.right || d.y < clip.top || d.y >= clip.bottom)
        return CLR_INVALID;
    Surface* s = TargetOf(dc);
    return FromPixel(SurfacePixels(s)[size_t(d.y) * s->sdl->w + d.x]);
}
