// The default handling every window gets, the cursor, and system brushes.
#include "platform/user/internal.h"

#include <algorithm>
#include <cstring>

using namespace tw_user;

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto w = Get(hwnd);
    if (!w)
        return 0;
    switch (msg) {
        case WM_SETTEXT: {
            w->text = Str(reinterpret_cast<LPCWSTR>(lp));
            TitleChangedFor(hwnd);
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<LPWSTR>(lp);
            if (!out || wp == 0)
                return 0;
            size_t n = std::min(w->text.size(), size_t(wp - 1));
            std::memcpy(out, w->text.data(), n * sizeof(WCHAR));
            out[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
        case WM_SETREDRAW:
            if (wp) {
                w->redraw = true;
                InvalidateRect(hwnd, nullptr, TRUE);
            } else {
                w->redraw = false;
            }
            return 0;
        case WM_SETFONT:
            w->font = reinterpret_cast<HFONT>(wp);
            if (lp)
                InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            HBRUSH b = w->cls ? w->cls->background : nullptr;
            if (!b)
                return 0;
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, b);
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSCROLLBAR: {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_NCHITTEST: return 1;
    }
    return 0;
}

// ---- Cursor ------------------------------------------------------------------------------

static HCURSOR const kArrow = reinterpret_cast<HCURSOR>(uintptr_t(32512));
static HCURSOR const kWait = reinterpret_cast<HCURSOR>(uintptr_t(32514));

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    (void)instance;
    if (name == IDC_WAIT)
        return kWait;
    if (name == IDC_ARROW)
        return kArrow;
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old = S().cursor;
    S().cursor = cursor;
    if (old != cursor) {
        GetDesktopHooks()->CursorChanged(cursor == kWait);
        MarkTopBarDirty(); // the busy sign lives in the top bar
    }
    return old;
}

HCURSOR GetCursor() {
    return S().cursor;
}

HBRUSH GetSysColorBrush(int index) {
    static std::map<int, HBRUSH>* brushes = new std::map<int, HBRUSH>;
    auto it = brushes->find(index);
    if (it != brushes->end())
        return it->second;
    HBRUSH b = CreateSolidBrush(GetSysColor(index));
    (*brushes)[index] = b;
    return b;
}
