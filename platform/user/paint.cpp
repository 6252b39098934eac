// Painting: the screen surface, invalidation, paint rounds (every window under the
// dirty area repaints itself, bottom to top, so windows above stay above), device contexts
// of windows, the top bar, and presenting the screen.
#include "platform/user/internal.h"

#include <algorithm>

namespace tw_user {

void AddDirty(const RECT& screen) {
    RECT r = Intersect(screen, RECT{0, 0, kScreenW, kScreenH});
    if (IsEmpty(r))
        return;
    S().dirty = Union(S().dirty, r);
}

bool HasDirty() {
    return !IsEmpty(S().dirty);
}

void MarkTopBarDirty() {
    AddDirty(RECT{0, 0, kScreenW, kTopBarH});
}

void TitleChangedFor(HWND hwnd) {
    if (hwnd && hwnd == S().foreground) {
        auto w = Get(hwnd);
        if (auto* hooks = GetDesktopHooks())
            hooks->TitleChanged(w ? w->text.c_str() : u"");
        MarkTopBarDirty();
    }
}

void InvalidateWindowArea(const WindowPtr& w) {
    if (w && EffectivelyVisible(w))
        AddDirty(VisibleScreenRect(w));
}

static void PaintOne(const WindowPtr& w, const RECT& area) {
    RECT vis = Intersect(VisibleScreenRect(w), area);
    if (IsEmpty(vis))
        return;
    int b = BorderWidth(w);
    if (b > 0) {
        HDC dc = CreateSurfaceDC(ScreenSurface());
        IntersectClipRect(dc, vis.left, vis.top, vis.right, vis.bottom);
        RECT r = ScreenRect(w);
        HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
        FrameRect(dc, &r, frame);
        DeleteObject(frame);
        DeleteDC(dc);
    }
    RECT cs = ClientScreenRect(w);
    RECT clip = Intersect(vis, cs);
    if (IsEmpty(clip))
        return;
    w->paintClip =
        RECT{clip.left - cs.left, clip.top - cs.top, clip.right - cs.left, clip.bottom - cs.top};
    w->inPaintRound = true;
    SendMessageW(w->hwnd, WM_PAINT, 0, 0);
    w->inPaintRound = false;
}

static void PaintTree(HWND hwnd, const RECT& area) {
    auto w = Get(hwnd);
    if (!w || !(w->style & WS_VISIBLE) || !w->redraw)
        return;
    if (IsEmpty(Intersect(VisibleScreenRect(w), area)))
        return;
    PaintOne(w, area);
    std::vector<HWND> z = w->zchildren; // bottom first
    for (auto it = z.rbegin(); it != z.rend(); ++it)
        PaintTree(*it, area);
}

static void PaintArea(const RECT& area) {
    {
        HDC dc = CreateSurfaceDC(ScreenSurface());
        HBRUSH desk = CreateSolidBrush(RGB(255, 255, 255));
        FillRect(dc, &area, desk);
        DeleteObject(desk);
        DeleteDC(dc);
    }
    std::vector<HWND> z = S().topZ;
    for (auto it = z.rbegin(); it != z.rend(); ++it) {
        auto w = Get(*it);
        if (!w || !(w->style & WS_VISIBLE))
            continue;
        PaintTree(*it, area);
        std::vector<HWND> bars;
        for (auto& kv : S().windows)
            if (kv.second->attached && kv.second->owner == *it && !kv.second->destroying)
                bars.push_back(kv.second->hwnd);
        std::sort(bars.begin(), bars.end());
        for (HWND b : bars)
            PaintTree(b, area);
    }
    if (area.top < kTopBarH)
        DrawDecorations();
}

void PaintRound() {
    RECT area = S().dirty;
    S().dirty = RECT{};
    if (IsEmpty(area))
        return;
    PaintArea(area);
    PresentScreen();
}

void PresentScreen() {
    GetDesktopHooks()->Present(ScreenSurface());
}

} // namespace tw_user

using namespace tw_user;

Surface* ScreenSurface() {
    static Surface* screen = CreateSurface(kScreenW, kScreenH);
    return screen;
}

void UpdateScreen() {
    if (HasDirty())
        PaintRound();
    else
        PresentScreen();
}

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
    (void)erase; // every window under a repainted area erases its background
    if (!hwnd) {
        AddDirty(RECT{0, 0, kScreenW, kScreenH});
        return TRUE;
    }
    auto w = Get(hwnd);
    if (!w)
        return FALSE;
    if (!EffectivelyVisible(w))
        return TRUE;
    RECT area = VisibleScreenRect(w);
    if (rect) {
        RECT cs = ClientScreenRect(w);
        RECT r{cs.left + rect->left, cs.top + rect->top, cs.left + rect->right,
               cs.top + rect->bottom};
        area = Intersect(area, r);
    }
    AddDirty(area);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
    (void)rect;
    return Get(hwnd) ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    auto w = Get(hwnd);
    if (!w)
        return FALSE;
    if (HasDirty() && !IsEmpty(Intersect(S().dirty, VisibleScreenRect(w))))
        PaintRound();
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    auto w = Get(hwnd);
    if (!w || !ps)
        return nullptr;
    *ps = PAINTSTRUCT{};
    RECT cs = ClientScreenRect(w);
    RECT clip;
    if (w->inPaintRound) {
        clip = w->paintClip;
    } else {
        RECT vis = Intersect(VisibleScreenRect(w), cs);
        clip = RECT{vis.left - cs.left, vis.top - cs.top, vis.right - cs.left, vis.bottom - cs.top};
        if (IsEmpty(vis))
            clip = RECT{};
    }
    ps->rcPaint = clip;
    if (w->paintDepth > 0)
        w->paintedByOther = true;
    HDC dc = CreateSurfaceDC(ScreenSurface());
    SetViewportOrgEx(dc, cs.left, cs.top, nullptr);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    ps->hdc = dc;
    bool erase = w->paintDepth == 0;
    w->paintDepth++;
    if (erase)
        ps->fErase =
            SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    auto w = Get(hwnd);
    if (w && w->paintDepth > 0)
        w->paintDepth--;
    if (ps && ps->hdc)
        DeleteDC(ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    HDC dc = CreateSurfaceDC(ScreenSurface());
    if (!hwnd)
        return dc;
    auto w = Get(hwnd);
    if (!w) {
        DeleteDC(dc);
        return nullptr;
    }
    RECT cs = ClientScreenRect(w);
    RECT vis = Intersect(VisibleScreenRect(w), cs);
    SetViewportOrgEx(dc, cs.left, cs.top, nullptr);
    if (IsEmpty(vis))
        IntersectClipRect(dc, 0, 0, 0, 0);
    else
        IntersectClipRect(dc, vis.left - cs.left, vis.top - cs.top, vis.right - cs.left,
                          vis.bottom - cs.top);
    return dc;
}

int ReleaseDC(HWND hwnd, HDC dc) {
    (void)hwnd;
    if (dc)
        DeleteDC(dc);
    return 1;
}
