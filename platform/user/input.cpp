// Stylus input: hit-testing, activation by a tap, capture, and the top bar's button.
#include "platform/user/internal.h"

namespace tw_user {

static LPARAM ClientPoint(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ScreenToClient(hwnd, &p);
    return MAKELPARAM(WORD(SHORT(p.x)), WORD(SHORT(p.y)));
}

// The top bar's button lies at its right end.
constexpr int kTopBarButtonW = 34;

void HandleTopBarTap(int x) {
    HWND fg = S().foreground;
    if (!fg || !Get(fg) || x < kScreenW - kTopBarButtonW)
        return;
    if (GetDoneButton(fg))
        PostMessageW(fg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    else
        PostMessageW(fg, WM_SIZE, SIZE_MINIMIZED, 0);
}

bool TranslateStylus(const QueueItem& item, MSG* msg) {
    auto& s = S();
    int x = item.x, y = item.y;
    msg->pt = POINT{x, y};
    msg->time = DWORD(CurrentClock()->NowMs());
    if (item.stylusAction == 0) {
        s.stylusDown = true;
        s.topBarPress = false;
        if (!s.capture && y >= 0 && y < kTopBarH) {
            s.topBarPress = true;
            return false;
        }
        HWND target = s.capture ? s.capture : HitTest(x, y);
        if (!target)
            return false;
        if (!s.capture) {
            HWND top = TopLevelOf(target);
            auto tw = Get(top);
            if (tw && !(tw->exStyle & WS_EX_NOACTIVATE) && s.foreground != top)
                ActivateWindow(top, WA_CLICKACTIVE);
            // Activation may have moved or hidden windows: take what lies there now.
            target = s.capture ? s.capture : HitTest(x, y);
            if (!target)
                return false;
        }
        if (!IsWindowEnabled(target))
            return false;
        s.stylusTarget = target;
        msg->hwnd = target;
        msg->message = WM_LBUTTONDOWN;
        msg->wParam = MK_LBUTTON;
        msg->lParam = ClientPoint(target, x, y);
        return true;
    }
    if (item.stylusAction == 1) {
        if (s.topBarPress)
            return false;
        HWND target = s.capture ? s.capture : HitTest(x, y);
        if (!target || !IsWindowEnabled(target))
            return false;
        msg->hwnd = target;
        msg->message = WM_MOUSEMOVE;
        msg->wParam = s.stylusDown ? MK_LBUTTON : 0;
        msg->lParam = ClientPoint(target, x, y);
        return true;
    }
    bool wasDown = s.stylusDown;
    s.stylusDown = false;
    s.stylusTarget = nullptr;
    if (s.topBarPress) {
        s.topBarPress = false;
        if (wasDown && y >= 0 && y < kTopBarH)
            HandleTopBarTap(x);
        return false;
    }
    HWND target = s.capture ? s.capture : HitTest(x, y);
    if (!target || !IsWindowEnabled(target))
        return false;
    msg->hwnd = target;
    msg->message = WM_LBUTTONUP;
    msg->wParam = 0;
    msg->lParam = ClientPoint(target, x, y);
    return true;
}

} // namespace tw_user
