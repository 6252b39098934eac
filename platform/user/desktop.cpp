// The desktop around the windows: the top bar with the foreground window's title, its
// button and the busy sign; starting the window system over.
#include "platform/user/internal.h"

namespace tw_user {

static void DrawBusySign(HDC dc, int cx, int cy) {
    // An hourglass: two triangles meeting at the centre, in white.
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ ob = SelectObject(dc, white);
    HGDIOBJ op = SelectObject(dc, pen);
    POINT top[3] = {{cx - 6, cy - 8}, {cx + 6, cy - 8}, {cx, cy}};
    POINT bottom[3] = {{cx - 6, cy + 8}, {cx + 6, cy + 8}, {cx, cy}};
    Polygon(dc, top, 3);
    Polygon(dc, bottom, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(white);
    DeleteObject(pen);
}

void DrawDecorations() {
    HDC dc = CreateSurfaceDC(ScreenSurface());
    RECT bar{0, 0, kScreenW, kTopBarH};
    HBRUSH blue = CreateSolidBrush(RGB(0, 36, 107));
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
    auto fg = Get(S().foreground);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ of = SelectObject(dc, SystemUiFont(13, true));
    if (fg) {
        RECT tr{8, 0, kScreenW - 64, kTopBarH};
        DrawTextW(dc, fg->text.c_str(), -1, &tr,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        RECT br{kScreenW - 34, 0, kScreenW, kTopBarH};
        if (fg->doneButton) {
            // "ok" in a rounded white outline.
            RECT box{kScreenW - 31, 4, kScreenW - 5, kTopBarH - 4};
            HBRUSH w = CreateSolidBrush(RGB(255, 255, 255));
            FrameRect(dc, &box, w);
            DeleteObject(w);
            SelectObject(dc, SystemUiFont(12, true));
            DrawTextW(dc, u"ok", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else {
            HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
            HGDIOBJ op = SelectObject(dc, pen);
            int cx = (br.left + br.right) / 2, cy = kTopBarH / 2;
            MoveToEx(dc, cx - 5, cy - 5, nullptr);
            LineTo(dc, cx + 5, cy + 5);
            MoveToEx(dc, cx + 5, cy - 5, nullptr);
            LineTo(dc, cx - 5, cy + 5);
            SelectObject(dc, op);
            DeleteObject(pen);
        }
    }
    if (S().cursor == LoadCursorW(nullptr, IDC_WAIT))
        DrawBusySign(dc, kScreenW - 50, kTopBarH / 2);
    SelectObject(dc, of);
    DeleteDC(dc);
}

} // namespace tw_user

using namespace tw_user;

void AbortModalLoops() {
    S().abortModal = true;
    WakeUiLoop();
}

void ResetWindowSystem() {
    auto& s = S();
    s.abortModal = true;
    // Top-level windows first (their children and owned windows go with them).
    for (int guard = 0; guard < 10000 && !s.windows.empty(); ++guard) {
        HWND victim = nullptr;
        for (auto& kv : s.windows)
            if (IsTopLevel(kv.second) && !kv.second->destroying) {
                victim = kv.second->hwnd;
                break;
            }
        if (!victim)
            victim = s.windows.begin()->second->hwnd;
        if (!DestroyWindow(victim))
            s.windows.erase(HandleValue(victim));
    }
    s.windows.clear();
    s.topZ.clear();
    s.posted.clear();
    s.timers.clear();
    s.foreground = s.focus = s.capture = nullptr;
    s.stylusDown = s.topBarPress = false;
    s.stylusTarget = nullptr;
    s.quit = false;
    s.cursor = nullptr;
    // Classes other programs registered stay: their code is still linked in.
    s.abortModal = false;
    s.dirty = RECT{0, 0, kScreenW, kScreenH};
}
