// Menus: menu handles built from templates or by hand, and pop-up menus tracked with
// the stylus (nested pop-ups open beside their item; a pick posts WM_COMMAND).
#include "platform/user/internal.h"

#include <algorithm>
#include <map>

namespace tw_user {

struct Menu {
    std::vector<MenuItemData> items;
};
static std::map<uintptr_t, std::unique_ptr<Menu>>& Menus() {
    static auto* m = new std::map<uintptr_t, std::unique_ptr<Menu>>;
    return *m;
}
static uintptr_t gNextMenu = 1;

static Menu* MenuOf(HMENU h) {
    auto it = Menus().find(reinterpret_cast<uintptr_t>(h));
    return it == Menus().end() ? nullptr : it->second.get();
}

const std::vector<MenuItemData>* MenuItems(HMENU menu) {
    Menu* m = MenuOf(menu);
    return m ? &m->items : nullptr;
}

static HMENU NewMenu() {
    HMENU h = reinterpret_cast<HMENU>(gNextMenu++);
    Menus()[reinterpret_cast<uintptr_t>(h)] = std::make_unique<Menu>();
    return h;
}

static HMENU BuildMenu(const MENUITEMTEMPLATEW* items, int count, int depth) {
    HMENU h = NewMenu();
    if (depth > 16 || count < 0 || (count > 0 && !items))
        return h;
    for (int i = 0; i < count; ++i) {
        const auto& it = items[i];
        if (it.flags & MF_POPUP)
            AppendMenuW(h, MF_POPUP,
                        reinterpret_cast<UINT_PTR>(BuildMenu(it.popup, it.popupCount, depth + 1)),
                        it.text);
        else if (it.flags & MF_SEPARATOR)
            AppendMenuW(h, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(h, it.flags & MF_GRAYED, it.id, it.text);
    }
    return h;
}

// ---- Tracking ------------------------------------------------------------------------

constexpr int kItemH = 22;
constexpr int kSeparatorH = 7;
constexpr int kMenuPad = 10;

struct OpenMenu {
    HMENU menu;
    HWND window;
    int highlighted = -1;
};
struct Tracking {
    std::vector<OpenMenu> chain; // root first
    bool done = false;
    UINT_PTR picked = 0;
    bool stylusDown = false;
};
static Tracking* gTracking = nullptr;

static int TextWidth(const std::u16string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, SystemUiFont(12, false));
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &sz);
    SelectObject(dc, old);
    DeleteDC(dc);
    return sz.cx;
}

static SIZE MenuSize(HMENU menu) {
    SIZE s{60, 2};
    const auto* items = MenuItems(menu);
    if (!items)
        return s;
    for (const auto& it : *items) {
        if (it.flags & MF_SEPARATOR) {
            s.cy += kSeparatorH;
            continue;
        }
        s.cy += kItemH;
        s.cx = std::max<LONG>(s.cx, TextWidth(it.text) + 2 * kMenuPad + 4 +
                                        ((it.flags & MF_POPUP) ? 12 : 0));
    }
    return s;
}

// The item at a point of the menu's client area; -1 for none or a separator.
static int ItemAt(HMENU menu, int y, RECT* itemRect, int width) {
    const auto* items = MenuItems(menu);
    if (!items)
        return -1;
    int top = 1;
    for (size_t i = 0; i < items->size(); ++i) {
        int h = ((*items)[i].flags & MF_SEPARATOR) ? kSeparatorH : kItemH;
        if (y >= top && y < top + h) {
            if (itemRect)
                *itemRect = RECT{0, top, width, top + h};
            return ((*items)[i].flags & MF_SEPARATOR) ? -1 : int(i);
        }
        top += h;
    }
    return -1;
}

static HWND OpenMenuWindow(HMENU menu, int x, int y, bool bottomAlign) {
    SIZE s = MenuSize(menu);
    if (bottomAlign)
        y -= s.cy;
    x = std::clamp<int>(x, 0, std::max<int>(0, kScreenW - s.cx));
    y = std::clamp<int>(y, kTopBarH, std::max<int>(kTopBarH, kScreenH - s.cy));
    HWND h = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, u"#Menu", u"", WS_POPUP, x, y, s.cx,
                             s.cy, nullptr, nullptr, nullptr, nullptr);
    if (h) {
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(menu));
        ShowWindow(h, SW_SHOWNA);
    }
    return h;
}

static void CloseFrom(size_t level) {
    if (!gTracking)
        return;
    while (gTracking->chain.size() > level) {
        HWND h = gTracking->chain.back().window;
        gTracking->chain.pop_back();
        DestroyWindow(h);
    }
}

// Which open menu, and which item of it, lies under a screen point.
static bool Locate(int x, int y, size_t* level, int* item, RECT* itemRect) {
    if (!gTracking)
        return false;
    for (size_t i = gTracking->chain.size(); i-- > 0;) {
        RECT r;
        GetWindowRect(gTracking->chain[i].window, &r);
        if (Contains(r, x, y)) {
            *level = i;
            *item = ItemAt(gTracking->chain[i].menu, y - r.top, itemRect, r.right - r.left);
            if (itemRect)
                OffsetRectBy(itemRect, r.left, r.top);
            return true;
        }
    }
    return false;
}

static void Highlight(size_t level, int item) {
    auto& om = gTracking->chain[level];
    if (om.highlighted != item) {
        om.highlighted = item;
        InvalidateRect(om.window, nullptr, TRUE);
    }
}

static void OnStylus(UINT msg, HWND hwnd, LPARAM lp) {
    if (!gTracking)
        return;
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ClientToScreen(hwnd, &p);
    size_t level = 0;
    int item = -1;
    RECT ir{};
    bool inside = Locate(p.x, p.y, &level, &item, &ir);
    if (msg == WM_LBUTTONDOWN) {
        gTracking->stylusDown = true;
        if (!inside) {
            gTracking->done = true; // a tap outside closes the menu
            return;
        }
    }
    if (!inside)
        return;
    if (msg == WM_LBUTTONDOWN || (msg == WM_MOUSEMOVE && gTracking->stylusDown))
        Highlight(level, item);
    if (msg != WM_LBUTTONUP)
        return;
    gTracking->stylusDown = false;
    if (item < 0)
        return;
    const auto* items = MenuItems(gTracking->chain[level].menu);
    const MenuItemData& it = (*items)[size_t(item)];
    if (it.flags & MF_GRAYED)
        return;
    if (it.flags & MF_POPUP) {
        CloseFrom(level + 1);
        SIZE s = MenuSize(it.popup);
        int x = ir.right - 4;
        if (x + s.cx > kScreenW)
            x = std::max<int>(0, ir.left - s.cx + 4);
        HWND sub = OpenMenuWindow(it.popup, x, ir.top, false);
        if (sub)
            gTracking->chain.push_back(OpenMenu{it.popup, sub, -1});
        Highlight(level, item);
        return;
    }
    gTracking->picked = it.id;
    gTracking->done = true;
}

} // namespace tw_user

using namespace tw_user;

namespace tw_user {
void OffsetRectBy(RECT* r, int dx, int dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

LRESULT MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: OnStylus(msg, hwnd, lp); return 0;
        case WM_CAPTURECHANGED:
            if (gTracking && reinterpret_cast<HWND>(lp) != hwnd)
                gTracking->done = true;
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            HMENU menu = reinterpret_cast<HMENU>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            int highlighted = -1;
            if (gTracking)
                for (auto& om : gTracking->chain)
                    if (om.window == hwnd)
                        highlighted = om.highlighted;
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(dc, &r, GetStockObject(WHITE_BRUSH));
            HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
            FrameRect(dc, &r, frame);
            DeleteObject(frame);
            HGDIOBJ oldFont = SelectObject(dc, SystemUiFont(12, false));
            SetBkMode(dc, TRANSPARENT);
            const auto* items = MenuItems(menu);
            int top = 1;
            for (size_t i = 0; items && i < items->size(); ++i) {
                const auto& it = (*items)[i];
                if (it.flags & MF_SEPARATOR) {
                    RECT line{4, top + kSeparatorH / 2, r.right - 4, top + kSeparatorH / 2 + 1};
                    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
                    FillRect(dc, &line, grey);
                    DeleteObject(grey);
                    top += kSeparatorH;
                    continue;
                }
                RECT ir{1, top, r.right - 1, top + kItemH};
                bool hi = int(i) == highlighted;
                if (hi) {
                    HBRUSH sel = CreateSolidBrush(RGB(0, 0, 128));
                    FillRect(dc, &ir, sel);
                    DeleteObject(sel);
                }
                SetTextColor(dc, (it.flags & MF_GRAYED) ? RGB(128, 128, 128)
                                 : hi                   ? RGB(255, 255, 255)
                                                        : RGB(0, 0, 0));
                RECT tr{ir.left + kMenuPad, ir.top, ir.right - kMenuPad, ir.bottom};
                DrawTextW(dc, it.text.c_str(), -1, &tr,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                if (it.flags & MF_POPUP) {
                    // A small arrow: this item opens a further menu.
                    int cx = ir.right - 8, cy = (ir.top + ir.bottom) / 2;
                    POINT tri[3] = {{cx - 3, cy - 4}, {cx + 1, cy}, {cx - 3, cy + 4}};
                    HBRUSH b = CreateSolidBrush(hi ? RGB(255, 255, 255) : RGB(0, 0, 0));
                    HPEN pen = CreatePen(PS_SOLID, 1, hi ? RGB(255, 255, 255) : RGB(0, 0, 0));
                    HGDIOBJ ob = SelectObject(dc, b);
                    HGDIOBJ op = SelectObject(dc, pen);
                    Polygon(dc, tri, 3);
                    SelectObject(dc, ob);
                    SelectObject(dc, op);
                    DeleteObject(b);
                    DeleteObject(pen);
                }
                top += kItemH;
            }
            SelectObject(dc, oldFont);
            EndPaint(hwnd, &ps);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
} // namespace tw_user

HMENU CreatePopupMenu() {
    return NewMenu();
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
    Menu* m = MenuOf(menu);
    if (!m)
        return FALSE;
    MenuItemData it;
    it.flags = flags;
    if (flags & MF_POPUP)
        it.popup = reinterpret_cast<HMENU>(idOrPopup);
    else
        it.id = idOrPopup;
    if (!(flags & MF_SEPARATOR))
        it.text = Str(text);
    m->items.push_back(it);
    return TRUE;
}

HMENU GetSubMenu(HMENU menu, int pos) {
    Menu* m = MenuOf(menu);
    if (!m || pos < 0 || size_t(pos) >= m->items.size())
        return nullptr;
    return m->items[size_t(pos)].popup;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = MenuOf(menu);
    return m ? int(m->items.size()) : -1;
}

BOOL DestroyMenu(HMENU menu) {
    auto it = Menus().find(reinterpret_cast<uintptr_t>(menu));
    if (it == Menus().end())
        return FALSE;
    std::vector<HMENU> subs;
    for (auto& item : it->second->items)
        if (item.popup)
            subs.push_back(item.popup);
    Menus().erase(it);
    for (HMENU s : subs)
        DestroyMenu(s);
    return TRUE;
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    if (!IS_INTRESOURCE(name))
        return nullptr;
    auto* t = static_cast<const MENUTEMPLATEW*>(
        FindResourceData(instance, WORD(reinterpret_cast<uintptr_t>(name)), RT_MENU));
    if (!t)
        return nullptr;
    return BuildMenu(t->items, t->count, 0);
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPVOID params) {
    (void)params;
    if (!MenuOf(menu) || gTracking)
        return FALSE;
    Tracking tracking;
    gTracking = &tracking;
    HWND root = OpenMenuWindow(menu, x, y, (flags & TPM_BOTTOMALIGN) != 0);
    if (!root) {
        gTracking = nullptr;
        return FALSE;
    }
    tracking.chain.push_back(OpenMenu{menu, root, -1});
    SetCapture(root);
    while (!tracking.done && !S().abortModal && Get(root)) {
        MSG m;
        PumpOne(&m, nullptr);
        if (m.message == WM_QUIT && !m.hwnd) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (m.hwnd || m.message)
            DispatchMessageW(&m);
    }
    UINT_PTR picked = tracking.picked;
    if (GetCapture() == root)
        ReleaseCapture();
    CloseFrom(0);
    gTracking = nullptr;
    if (flags & TPM_RETURNCMD)
        return BOOL(picked);
    if (picked && owner)
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(WORD(picked), 0), 0);
    return picked ? TRUE : FALSE;
}
