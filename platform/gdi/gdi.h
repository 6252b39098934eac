// Drawing: device contexts over 32-bit surfaces, fonts (fontconfig + SDL_ttf), brushes,
// pens, bitmaps and text. Every object made here is counted until it is deleted.
#pragma once

#include "platform/base/base.h"

struct RECT {
    LONG left, top, right, bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
struct POINT {
    LONG x, y;
};
typedef POINT* LPPOINT;
struct SIZE {
    LONG cx, cy;
};
typedef SIZE* LPSIZE;

typedef struct HDC__* HDC;
typedef struct HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBITMAP;
typedef struct HICON__* HICON;

#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17
// SYSTEM_FONT and DEFAULT_GUI_FONT are the dialog font, "MS Sans Serif" 8 at 96 dpi.
// Deleting a stock object does nothing and succeeds.
HGDIOBJ GetStockObject(int which);
#define CLR_INVALID 0xFFFFFFFF

// Fonts: a positive height is the cell height, a negative one the character height, in
// pixels. The face is matched through fontconfig ("Tahoma" and "MS Sans Serif" map to
// the closest installed free face).
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OEM_CHARSET 255
#define FF_SWISS 0x20
#define VARIABLE_PITCH 2
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face);

HBRUSH CreateSolidBrush(COLORREF color);
#define PS_SOLID 0
#define PS_DOT 2
#define PS_NULL 5
HPEN CreatePen(int style, int width, COLORREF color);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
// Fails (FALSE) for an object still selected into a device context.
BOOL DeleteObject(HGDIOBJ obj);

// Bitmaps: a memory bitmap of the given size, white; drawn into through a memory DC.
HBITMAP CreateBitmap32(int width, int height);
BOOL GetBitmapSize(HBITMAP bmp, SIZE* size);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
#define SRCCOPY 0x00CC0020
BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, DWORD rop);
// An icon is a bitmap with a transparent colour (the top-left pixel's).
HICON CreateIconFromBitmap(HBITMAP bmp);
BOOL DestroyIcon(HICON icon);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL GetIconSize(HICON icon, SIZE* size);
// Marks an icon as shared (as LoadIconW hands them out): DestroyIcon leaves it alone and
// it is not counted among the live objects.
void SetIconShared(HICON icon);

// Text.
#define TRANSPARENT 1
#define OPAQUE 2
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF SetTextColor(HDC dc, COLORREF color);
#define DT_TOP 0x0
#define DT_LEFT 0x0
#define DT_CENTER 0x1
#define DT_RIGHT 0x2
#define DT_VCENTER 0x4
#define DT_BOTTOM 0x8
#define DT_WORDBREAK 0x10
#define DT_SINGLELINE 0x20
#define DT_NOCLIP 0x100
#define DT_CALCRECT 0x400
#define DT_NOPREFIX 0x800
#define DT_END_ELLIPSIS 0x8000
// count -1: the text runs to its terminator. Line feeds break lines unless
// DT_SINGLELINE. Returns the height of the text drawn.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count,
                 const int* dx);
struct TEXTMETRICW {
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading;
    LONG tmAveCharWidth, tmMaxCharWidth, tmWeight;
};
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* tm);

// Shapes.
int FillRect(HDC dc, LPCRECT rect, HBRUSH brush);
int FrameRect(HDC dc, LPCRECT rect, HBRUSH brush);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom); // current pen and brush
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polygon(HDC dc, const POINT* points, int count);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);

// Clipping and origin (used by the window manager when it paints a window). A window's
// context is CreateSurfaceDC(screen), SetViewportOrgEx(client origin on the screen), then
// IntersectClipRect(0, 0, client width, client height) in client coordinates (and again
// for each ancestor's client area); DeleteDC when the painting ends.
#define NULLREGION 1
#define SIMPLEREGION 2
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom); // logical coordinates
BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);

// Live drawing objects, as the system counts them for a process (GR_GDIOBJECTS): fonts,
// brushes, pens, bitmaps, icons and device contexts not yet deleted; stock objects and
// shared icons are not counted.
#define GR_GDIOBJECTS 0
DWORD GetGuiResources(HANDLE process, DWORD flags);

// ---- Surfaces (the layer's own) ------------------------------------------------------
// A 32-bit XRGB pixel buffer. The screen is one; memory bitmaps are others.
struct Surface;
Surface* CreateSurface(int width, int height);
void DestroySurface(Surface* surface);
int SurfaceWidth(const Surface* surface);
int SurfaceHeight(const Surface* surface);
uint32_t* SurfacePixels(Surface* surface); // rows of SurfaceWidth pixels, 0x00RRGGBB
// The SDL surface behind it (SDL_PIXELFORMAT_RGB888), for presenting it.
struct SDL_Surface;
SDL_Surface* SurfaceSdl(Surface* surface);
// A device context that draws onto the surface; the caller deletes it with DeleteDC.
HDC CreateSurfaceDC(Surface* surface);
// Writes the surface as a PNG file; 1 on success.
int SaveSurfacePng(Surface* surface, const char* path);
