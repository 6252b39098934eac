// The window system's own classes: dialogs, static controls and buttons.
#include "platform/user/internal.h"

#include <map>

namespace tw_user {

static void RegisterSystem(LPCWSTR name, WNDPROC proc, int extra, HBRUSH background) {
    auto c = std::make_shared<WindowClass>();
    c->name = name;
    c->proc = proc;
    c->cbWndExtra = extra;
    c->background = background;
    c->system = true;
    S().classes[Upper(name)] = c;
}

void RegisterSystemClasses() {
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterSystem(u"Dialog", DialogWndProc, 24, nullptr);
    RegisterSystem(u"STATIC", StaticProc, 0, nullptr);
    RegisterSystem(u"BUTTON", ButtonProc, 0, nullptr);
    RegisterSystem(u"#Menu", MenuWindowProc, 0, nullptr);
}

// ---- Static ------------------------------------------------------------------------------

struct StaticState {
    WORD resourceId = 0;
    HBITMAP bitmap = nullptr;
    bool ownsBitmap = false;
    HICON icon = nullptr;
};
static std::map<HWND, StaticState>& Statics() {
    static auto* m = new std::map<HWND, StaticState>;
    return *m;
}

static DWORD StaticType(HWND hwnd) {
    return DWORD(GetWindowLongW(hwnd, GWL_STYLE)) & SS_TYPEMASK;
}

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            StaticState st;
            DWORD type = DWORD(cs->style) & SS_TYPEMASK;
            if ((type == SS_BITMAP || type == SS_ICON) && cs->lpszName &&
                IS_INTRESOURCE(cs->lpszName)) {
                st.resourceId = WORD(reinterpret_cast<uintptr_t>(cs->lpszName));
                LPCWSTR rtype = type == SS_BITMAP ? RT_BITMAP : RT_ICON;
                auto* pic = static_cast<const BITMAPRESOURCE*>(
                    FindResourceData(cs->hInstance, st.resourceId, rtype));
                if (pic && type == SS_BITMAP) {
                    st.bitmap = LoadBitmapW(cs->hInstance, cs->lpszName);
                    st.ownsBitmap = st.bitmap != nullptr;
                } else if (pic) {
                    st.icon = LoadIconW(cs->hInstance, cs->lpszName);
                }
                // The control takes the picture's size unless it centres the picture.
                if (pic && !(cs->style & SS_CENTERIMAGE))
                    SetWindowPos(hwnd, nullptr, 0, 0, pic->width, pic->height,
                                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            Statics()[hwnd] = st;
            return 0;
        }
        case WM_NCDESTROY: {
            auto it = Statics().find(hwnd);
            if (it != Statics().end()) {
                if (it->second.ownsBitmap && it->second.bitmap)
                    DeleteObject(it->second.bitmap);
                Statics().erase(it);
            }
            return 0;
        }
        case STM_GETIMAGE: {
            auto& st = Statics()[hwnd];
            return wp == IMAGE_ICON ? reinterpret_cast<LRESULT>(st.icon)
                                    : reinterpret_cast<LRESULT>(st.bitmap);
        }
        case STM_GETICON: return reinterpret_cast<LRESULT>(Statics()[hwnd].icon);
        case STM_SETIMAGE: {
            auto& st = Statics()[hwnd];
            LRESULT old;
            if (wp == IMAGE_ICON) {
                old = reinterpret_cast<LRESULT>(st.icon);
                st.icon = reinterpret_cast<HICON>(lp);
            } else {
                old = reinterpret_cast<LRESULT>(st.bitmap);
                if (st.ownsBitmap && st.bitmap)
                    DeleteObject(st.bitmap);
                st.bitmap = reinterpret_cast<HBITMAP>(lp);
                st.ownsBitmap = false;
                old = 0; // the one it loaded itself is gone
            }
            st.resourceId = 0;
            InvalidateRect(hwnd, nullptr, TRUE);
            return old;
        }
        case STM_GETIMAGEID_TW: return Statics()[hwnd].resourceId;
        case WM_PAINT: {
            auto w = Get(hwnd);
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (!w || !dc) {
                EndPaint(hwnd, &ps);
                return 0;
            }
            w->paintedByOther = false;
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            SetBkMode(dc, OPAQUE);
            HFONT oldFont = w->font ? SelectObject(dc, w->font) : nullptr;
            // The parent chooses the colours, and may paint the control itself meanwhile.
            auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                               reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(hwnd)));
            auto w2 = Get(hwnd);
            if (w2 && !w2->paintedByOther && (w2->style & WS_VISIBLE)) {
                RECT r;
                GetClientRect(hwnd, &r);
                FillRect(dc, &r, brush ? brush : GetStockObject(WHITE_BRUSH));
                auto& st = Statics()[hwnd];
                DWORD type = StaticType(hwnd);
                if (type == SS_BITMAP && st.bitmap) {
                    SIZE sz{};
                    GetBitmapSize(st.bitmap, &sz);
                    int x = 0, y = 0;
                    if (w2->style & SS_CENTERIMAGE) {
                        x = (r.right - sz.cx) / 2;
                        y = (r.bottom - sz.cy) / 2;
                    }
                    HDC mem = CreateCompatibleDC(dc);
                    HGDIOBJ old = SelectObject(mem, st.bitmap);
                    BitBlt(dc, x, y, sz.cx, sz.cy, mem, 0, 0, SRCCOPY);
                    SelectObject(mem, old);
                    DeleteDC(mem);
                } else if (type == SS_ICON && st.icon) {
                    SIZE sz{};
                    GetIconSize(st.icon, &sz);
                    DrawIcon(dc, (r.right - sz.cx) / 2, (r.bottom - sz.cy) / 2, st.icon);
                } else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
                    UINT fmt = DT_WORDBREAK | DT_NOPREFIX |
                               (type == SS_CENTER  ? DT_CENTER
                                : type == SS_RIGHT ? DT_RIGHT
                                                   : DT_LEFT);
                    if (w2->style & SS_CENTERIMAGE)
                        fmt = (fmt & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
                    SetBkMode(dc, TRANSPARENT);
                    DrawTextW(dc, w2->text.c_str(), -1, &r, fmt);
                }
            }
            if (oldFont)
                SelectObject(dc, oldFont);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1; // painted whole in WM_PAINT
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- Button ------------------------------------------------------------------------------

struct ButtonState {
    bool tracking = false;
    bool pressed = false;
};
static std::map<HWND, ButtonState>& Buttons() {
    static auto* m = new std::map<HWND, ButtonState>;
    return *m;
}

static bool IsGroupBox(HWND hwnd) {
    return (DWORD(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK) == BS_GROUPBOX;
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: Buttons()[hwnd] = ButtonState{}; return 0;
        case WM_NCDESTROY: Buttons().erase(hwnd); return 0;
        case WM_LBUTTONDOWN: {
            if (IsGroupBox(hwnd))
                return 0;
            auto& b = Buttons()[hwnd];
            SetCapture(hwnd);
            b.tracking = true;
            b.pressed = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
        case WM_MOUSEMOVE: {
            auto& b = Buttons()[hwnd];
            if (!b.tracking)
                return 0;
            RECT r;
            GetClientRect(hwnd, &r);
            bool inside = Contains(r, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            if (inside != b.pressed) {
                b.pressed = inside;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            auto& b = Buttons()[hwnd];
            if (!b.tracking)
                return 0;
            RECT r;
            GetClientRect(hwnd, &r);
            bool click = Contains(r, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            b.tracking = false;
            b.pressed = false;
            // The stylus is free again before the parent acts (it may open a dialog).
            ReleaseCapture();
            InvalidateRect(hwnd, nullptr, TRUE);
            if (click)
                SendMessageW(GetParent(hwnd), WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        case WM_CAPTURECHANGED: {
            auto it = Buttons().find(hwnd);
            if (it != Buttons().end() && it->second.tracking &&
                reinterpret_cast<HWND>(lp) != hwnd) {
                it->second.tracking = false;
                it->second.pressed = false;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        }
        case BM_GETSTATE: {
            auto it = Buttons().find(hwnd);
            return it != Buttons().end() && it->second.pressed ? BST_PUSHED : 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            auto w = Get(hwnd);
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (w && dc) {
                RECT r;
                GetClientRect(hwnd, &r);
                HFONT oldFont = w->font ? SelectObject(dc, w->font) : nullptr;
                SetBkMode(dc, TRANSPARENT);
                bool disabled = (w->style & WS_DISABLED) != 0;
                if (IsGroupBox(hwnd)) {
                    // A frame whose caption sits on its top edge.
                    SIZE ts{};
                    GetTextExtentPoint32W(dc, w->text.c_str(), int(w->text.size()), &ts);
                    int mid = ts.cy > 0 ? ts.cy / 2 : 6;
                    HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
                    RECT fr{r.left, r.top + mid, r.right, r.bottom};
                    FrameRect(dc, &fr, frame);
                    DeleteObject(frame);
                    if (!w->text.empty()) {
                        RECT tr{r.left + 6, r.top, r.left + 6 + ts.cx, r.top + ts.cy};
                        FillRect(dc, &tr, GetStockObject(WHITE_BRUSH));
                        SetTextColor(dc, RGB(0, 0, 0));
                        DrawTextW(dc, w->text.c_str(), -1, &tr,
                                  DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
                    }
                } else {
                    bool pressed = Buttons()[hwnd].pressed;
                    // A handheld's push button: black outline, white face; while the
                    // stylus holds it, black face and white caption.
                    HBRUSH face = CreateSolidBrush(pressed ? RGB(0, 0, 0) : RGB(255, 255, 255));
                    FillRect(dc, &r, face);
                    DeleteObject(face);
                    HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
                    FrameRect(dc, &r, frame);
                    DeleteObject(frame);
                    SetTextColor(dc, pressed    ? RGB(255, 255, 255)
                                     : disabled ? RGB(128, 128, 128)
                                                : RGB(0, 0, 0));
                    DrawTextW(dc, w->text.c_str(), -1, &r,
                              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                }
                if (oldFont)
                    SelectObject(dc, oldFont);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace tw_user
