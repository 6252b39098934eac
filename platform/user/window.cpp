// Windows: the handle table, classes, creation and destruction, geometry, the window
// order, visibility, text and window data.
#include "platform/user/internal.h"

#include <algorithm>
#include <cstring>

namespace tw_user {

State& S() {
    static State* state = new State; // lives as long as the process
    return *state;
}

static RemoteWindowHooks* gRemote = nullptr;

// The live window of a handle: none for a handle never given out, or one being destroyed.
static const WindowPtr* Find(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    auto& m = S().windows;
    auto it = m.find(HandleValue(hwnd));
    if (it == m.end() || it->second->destroying)
        return nullptr;
    return &it->second;
}

Window* Peek(HWND hwnd) {
    const WindowPtr* w = Find(hwnd);
    return w ? w->get() : nullptr;
}

WindowPtr Get(HWND hwnd) {
    const WindowPtr* w = Find(hwnd);
    return w ? *w : nullptr;
}

std::u16string Str(LPCWSTR s) {
    if (!s || IS_INTRESOURCE(s))
        return std::u16string();
    return std::u16string(s);
}

std::u16string Upper(const std::u16string& s) {
    std::u16string r = s;
    for (auto& c : r)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
    return r;
}

bool EqualsNoCase(LPCWSTR a, LPCWSTR b) {
    return Upper(Str(a)) == Upper(Str(b));
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}
bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
RECT Union(const RECT& a, const RECT& b) {
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
bool Contains(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool IsTopLevel(const WindowPtr& w) {
    return !(w->style & WS_CHILD) || !w->parent;
}

int BorderWidth(const WindowPtr& w) {
    // Top-level windows draw their own frame inside their rectangle; a child with a border
    // style has a one-pixel frame around its client area.
    if (IsTopLevel(w))
        return 0;
    if ((w->style & (WS_BORDER | WS_DLGFRAME)) ||
        (w->exStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE)))
        return 1;
    return 0;
}

RECT ClientScreenRect(const WindowPtr& w) {
    RECT r = ScreenRect(w);
    int b = BorderWidth(w);
    r.left += b;
    r.top += b;
    r.right -= b;
    r.bottom -= b;
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

RECT ScreenRect(const WindowPtr& w) {
    if (IsTopLevel(w))
        return w->rect;
    auto p = Get(w->parent);
    if (!p)
        return w->rect;
    RECT pc = ClientScreenRect(p);
    return RECT{pc.left + w->rect.left, pc.top + w->rect.top, pc.left + w->rect.right,
                pc.top + w->rect.bottom};
}

bool EffectivelyVisible(const WindowPtr& w) {
    WindowPtr cur = w;
    while (cur) {
        if (!(cur->style & WS_VISIBLE))
            return false;
        if (IsTopLevel(cur)) {
            if (cur->attached) {
                auto o = Get(cur->owner);
                return o && EffectivelyVisible(o);
            }
            return true;
        }
        cur = Get(cur->parent);
    }
    return false;
}

RECT VisibleScreenRect(const WindowPtr& w) {
    RECT r = ScreenRect(w);
    WindowPtr cur = w;
    while (cur && !IsTopLevel(cur)) {
        cur = Get(cur->parent);
        if (cur)
            r = Intersect(r, ClientScreenRect(cur));
    }
    return Intersect(r, RECT{0, 0, kScreenW, kScreenH});
}

HWND TopLevelOf(HWND hwnd) {
    auto w = Get(hwnd);
    while (w && !IsTopLevel(w))
        w = Get(w->parent);
    if (!w)
        return nullptr;
    if (w->attached && Get(w->owner))
        return w->owner;
    return w->hwnd;
}

static void RemoveFrom(std::vector<HWND>& v, HWND h) {
    v.erase(std::remove(v.begin(), v.end(), h), v.end());
}

// Puts a top-level window at the top of its band (topmost windows stay above the others),
// with the windows it owns above it.
static void PlaceTop(HWND hwnd) {
    auto w = Get(hwnd);
    if (!w || w->attached)
        return;
    auto& z = S().topZ;
    RemoveFrom(z, hwnd);
    size_t pos = 0;
    if (!(w->exStyle & WS_EX_TOPMOST))
        while (pos < z.size()) {
            auto o = Get(z[pos]);
            if (!o || !(o->exStyle & WS_EX_TOPMOST))
                break;
            ++pos;
        }
    z.insert(z.begin() + pos, hwnd);
}

void BringToTop(HWND hwnd) {
    auto w = Get(hwnd);
    if (!w || !IsTopLevel(w))
        return;
    std::vector<HWND> before = S().topZ;
    PlaceTop(hwnd);
    // Owned windows stay above their owner.
    std::vector<HWND> owned;
    for (HWND h : before) {
        auto o = Get(h);
        if (o && o->owner == hwnd && h != hwnd)
            owned.push_back(h);
    }
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        PlaceTop(*it);
    if (before != S().topZ)
        InvalidateWindowArea(w);
    for (HWND h : owned)
        if (auto o = Get(h))
            InvalidateWindowArea(o);
}

bool IsHitTransparent(const WindowPtr& w) {
    if (!w->cls)
        return false;
    std::u16string n = Upper(w->cls->name);
    if (n == u"STATIC")
        return !(w->style & SS_NOTIFY);
    if (n == u"BUTTON")
        return (w->style & BS_TYPEMASK) == BS_GROUPBOX;
    return false;
}

} // namespace tw_user

using namespace tw_user;

// ---- Classes -------------------------------------------------------------------------

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !wc->lpfnWndProc)
        return 0;
    RegisterSystemClasses();
    std::u16string key = Upper(Str(wc->lpszClassName));
    auto& classes = S().classes;
    if (classes.count(key)) {
        SetLastError(1410); // the class exists already
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = Str(wc->lpszClassName);
    c->proc = wc->lpfnWndProc;
    c->cbWndExtra = std::max(0, wc->cbWndExtra);
    c->background = wc->hbrBackground;
    c->instance = wc->hInstance;
    classes[key] = c;
    return ATOM(classes.size());
}

// ---- Creation and destruction --------------------------------------------------------

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     LPVOID param) {
    RegisterSystemClasses();
    SetUiThread();
    if (!className || IS_INTRESOURCE(className))
        return nullptr;
    auto it = S().classes.find(Upper(Str(className)));
    if (it == S().classes.end()) {
        SetLastError(1407); // no such class
        return nullptr;
    }
    WindowPtr p;
    if (parent) {
        p = Get(parent);
        if (!p) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    if ((style & WS_CHILD) && !p)
        return nullptr;
    auto w = std::make_shared<Window>();
    w->hwnd = reinterpret_cast<HWND>(S().nextHandle++);
    w->cls = it->second;
    w->proc = it->second->proc;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->instance = instance;
    w->extra.assign(size_t(it->second->cbWndExtra), 0);
    if (windowName && !IS_INTRESOURCE(windowName))
        w->text = windowName;
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    w->rect = RECT{x, y, x + width, y + height};
    if (style & WS_CHILD) {
        w->parent = parent;
        w->id = int(reinterpret_cast<uintptr_t>(menuOrId) & 0xFFFF);
    } else {
        // A top-level window's "parent" is its owner (the owner's top-level window).
        w->owner = parent ? TopLevelOf(parent) : nullptr;
    }
    S().windows[HandleValue(w->hwnd)] = w;
    if (w->parent) {
        p->children.push_back(w->hwnd);
        p->zchildren.push_back(w->hwnd); // later children lie below earlier ones
    } else {
        S().topZ.push_back(w->hwnd);
        PlaceTop(w->hwnd);
    }
    HWND h = w->hwnd;
    CREATESTRUCTW cs{param, instance, menuOrId,    parent,     height,    width,
                     y,     x,        LONG(style), windowName, className, exStyle};
    if (SendMessageW(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(h);
        return nullptr;
    }
    auto w2 = Get(h);
    if (!w2)
        return nullptr;
    SendMessageW(h, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(w2->rect.right - w2->rect.left, w2->rect.bottom - w2->rect.top));
    if (style & WS_VISIBLE)
        ShowWindow(h, (exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return h;
}

BOOL DestroyWindow(HWND hwnd) {
    if (HandleValue(hwnd) & REMOTE_HWND_BIT)
        return FALSE;
    auto w = Get(hwnd);
    if (!w)
        return FALSE;
    bool wasVisible = EffectivelyVisible(w);
    RECT area = VisibleScreenRect(w);
    bool wasForeground = S().foreground == hwnd;
    if (IsTopLevel(w) && (w->style & WS_VISIBLE)) {
        w->style &= ~WS_VISIBLE;
        if (wasForeground)
            ActivateNextAfterHiding(hwnd);
    }
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    // Owned windows (command bars, message boxes, menus) go with their owner.
    std::vector<HWND> owned;
    for (auto& kv : S().windows)
        if (kv.second->owner == hwnd && !kv.second->destroying)
            owned.push_back(kv.second->hwnd);
    for (HWND h : owned)
        DestroyWindow(h);
    std::vector<HWND> kids = w->children;
    for (HWND c : kids)
        DestroyWindow(c);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    w->destroying = true;
    if (w->parent)
        if (auto p = Get(w->parent)) {
            RemoveFrom(p->children, hwnd);
            RemoveFrom(p->zchildren, hwnd);
        }
    RemoveFrom(S().topZ, hwnd);
    RemoveTimersOf(hwnd);
    if (S().foreground == hwnd) {
        S().foreground = nullptr;
        MarkTopBarDirty();
    }
    if (S().focus == hwnd)
        S().focus = nullptr;
    if (S().capture == hwnd)
        S().capture = nullptr;
    if (S().stylusTarget == hwnd)
        S().stylusTarget = nullptr;
    if (wasVisible)
        AddDirty(area);
    S().windows.erase(HandleValue(hwnd));
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    if ((HandleValue(hwnd) & REMOTE_HWND_BIT) && gRemote)
        return TRUE;
    return Get(hwnd) != nullptr;
}

BOOL IsWindowVisible(HWND hwnd) {
    auto w = Get(hwnd);
    return w && EffectivelyVisible(w);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    auto w = Get(hwnd);
    if (!w)
        return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    if (wasDisabled != !enable) {
        SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    auto w = Get(hwnd);
    return w && !(w->style & WS_DISABLED);
}

// ---- Window data ---------------------------------------------------------------------

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    Window* w = Peek(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
        case GWL_ID: return w->id;
        case GWL_STYLE: return LONG_PTR(w->style);
        case GWL_EXSTYLE: return LONG_PTR(w->exStyle);
        case GWLP_USERDATA: return w->userData;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    auto w = Get(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = GetWindowLongPtrW(hwnd, index);
    switch (index) {
        case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); return old;
        case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return old;
        case GWLP_HWNDPARENT:
            if (IsTopLevel(w))
                w->owner = reinterpret_cast<HWND>(value);
            return old;
        case GWL_ID: w->id = int(value); return old;
        case GWL_STYLE: {
            DWORD keep = w->style & WS_VISIBLE;
            w->style = (DWORD(value) & ~WS_VISIBLE) | keep;
            return old;
        }
        case GWL_EXSTYLE: w->exStyle = DWORD(value); return old;
        case GWLP_USERDATA: w->userData = value; return old;
    }
    if (index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG GetWindowLongW(HWND hwnd, int index) {
    return LONG(GetWindowLongPtrW(hwnd, index));
}
LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
    return LONG(SetWindowLongPtrW(hwnd, index, value));
}

HWND GetParent(HWND hwnd) {
    auto w = Get(hwnd);
    if (!w)
        return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND GetTopWindow(HWND parent) {
    if (!parent) {
        for (HWND h : S().topZ)
            if (Get(h))
                return h;
        return nullptr;
    }
    auto p = Get(parent);
    if (!p || p->children.empty())
        return nullptr;
    return p->children.front();
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    auto w = Get(hwnd);
    if (!w)
        return nullptr;
    if (cmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER)
        return w->owner;
    const std::vector<HWND>* list = nullptr;
    if (w->parent) {
        auto p = Get(w->parent);
        if (!p)
            return nullptr;
        list = &p->children;
    } else {
        list = &S().topZ;
    }
    auto pos = std::find(list->begin(), list->end(), hwnd);
    switch (cmd) {
        case GW_HWNDFIRST: return list->empty() ? nullptr : list->front();
        case GW_HWNDLAST: return list->empty() ? nullptr : list->back();
        case GW_HWNDNEXT:
            if (pos == list->end() || pos + 1 == list->end())
                return nullptr;
            return *(pos + 1);
        case GW_HWNDPREV:
            if (pos == list->end() || pos == list->begin())
                return nullptr;
            return *(pos - 1);
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    auto w = Get(hwnd);
    return w && w->parent ? w->id : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* d = Peek(dialog);
    if (!d)
        return nullptr;
    for (HWND c : d->children)
        if (Window* w = Peek(c); w && w->id == (id & 0xFFFF))
            return c;
    return nullptr;
}

int GetClassNameW(HWND hwnd, LPWSTR name, int cap) {
    auto w = Get(hwnd);
    if (!w || !name || cap <= 0)
        return 0;
    size_t n = std::min(w->cls->name.size(), size_t(cap - 1));
    std::memcpy(name, w->cls->name.data(), n * sizeof(WCHAR));
    name[n] = 0;
    return int(n);
}

// ---- Text ----------------------------------------------------------------------------

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!Get(hwnd))
        return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int cap) {
    if (!text || cap <= 0)
        return 0;
    text[0] = 0;
    if (!Get(hwnd))
        return 0;
    return int(SendMessageW(hwnd, WM_GETTEXT, WPARAM(cap), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
    if (!Get(hwnd))
        return 0;
    return int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    return SetWindowTextW(GetDlgItem(dialog, id), text);
}

// ---- Showing and the window order ------------------------------------------------------

BOOL ShowWindow(HWND hwnd, int cmd) {
    if (HandleValue(hwnd) & REMOTE_HWND_BIT)
        return gRemote ? gRemote->Show(hwnd, cmd) : FALSE;
    auto w = Get(hwnd);
    if (!w)
        return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE && cmd != SW_MINIMIZE;
    bool activate =
        IsTopLevel(w) && !w->attached && !(w->exStyle & WS_EX_NOACTIVATE) &&
        (cmd == SW_SHOW || cmd == SW_SHOWNORMAL || cmd == SW_RESTORE || cmd == SW_SHOWMINIMIZED);
    if (show && !wasVisible) {
        w->style |= WS_VISIBLE;
        SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
        if (auto w2 = Get(hwnd)) {
            InvalidateWindowArea(w2);
            // Its children may lie outside its own area (nothing is, but a bar is).
            if (IsTopLevel(w2))
                for (auto& kv : S().windows)
                    if (kv.second->attached && kv.second->owner == hwnd)
                        InvalidateWindowArea(kv.second);
        }
    } else if (!show && wasVisible) {
        RECT area = VisibleScreenRect(w);
        bool wasEffective = EffectivelyVisible(w);
        std::vector<RECT> barAreas;
        if (IsTopLevel(w))
            for (auto& kv : S().windows)
                if (kv.second->attached && kv.second->owner == hwnd &&
                    EffectivelyVisible(kv.second))
                    barAreas.push_back(VisibleScreenRect(kv.second));
        w->style &= ~WS_VISIBLE;
        if (wasEffective)
            AddDirty(area);
        for (auto& r : barAreas)
            AddDirty(r);
        SendMessageW(hwnd, WM_SHOWWINDOW, FALSE, 0);
        if (S().foreground == hwnd)
            ActivateNextAfterHiding(hwnd);
        if (S().focus == hwnd)
            S().focus = nullptr;
        if (S().capture == hwnd)
            ReleaseCapture();
    }
    if (show && activate && S().foreground != hwnd && Get(hwnd))
        ActivateWindow(hwnd, WA_ACTIVE);
    return wasVisible;
}

static void ApplyGeometry(const WindowPtr& w, RECT nr) {
    if (nr.right < nr.left)
        nr.right = nr.left;
    if (nr.bottom < nr.top)
        nr.bottom = nr.top;
    RECT old = w->rect;
    if (std::memcmp(&old, &nr, sizeof nr) == 0)
        return;
    bool vis = EffectivelyVisible(w);
    if (vis)
        AddDirty(VisibleScreenRect(w));
    w->rect = nr;
    if (vis)
        InvalidateWindowArea(w);
    if (old.right - old.left != nr.right - nr.left || old.bottom - old.top != nr.bottom - nr.top) {
        RECT c{};
        GetClientRect(w->hwnd, &c);
        SendMessageW(w->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right, c.bottom));
    }
}

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    auto w = Get(hwnd);
    if (!w)
        return FALSE;
    RECT nr = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        nr.right = x + (nr.right - nr.left);
        nr.bottom = y + (nr.bottom - nr.top);
        nr.left = x;
        nr.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        nr.right = nr.left + std::max(0, cx);
        nr.bottom = nr.top + std::max(0, cy);
    }
    ApplyGeometry(w, nr);
    if (!(flags & SWP_NOZORDER)) {
        if (IsTopLevel(w) && !w->attached) {
            if (after == HWND_TOPMOST)
                w->exStyle |= WS_EX_TOPMOST;
            else if (after == HWND_NOTOPMOST)
                w->exStyle &= ~WS_EX_TOPMOST;
            if (after == HWND_BOTTOM) {
                RemoveFrom(S().topZ, hwnd);
                S().topZ.push_back(hwnd);
                InvalidateWindowArea(w);
            } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
                BringToTop(hwnd);
            }
        } else if (!IsTopLevel(w)) {
            auto p = Get(w->parent);
            if (p && (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_BOTTOM)) {
                std::vector<HWND> before = p->zchildren;
                RemoveFrom(p->zchildren, hwnd);
                if (after == HWND_BOTTOM)
                    p->zchildren.push_back(hwnd);
                else
                    p->zchildren.insert(p->zchildren.begin(), hwnd);
                // Only what it now covers, or uncovers, changes on the screen: siblings
                // that do not overlap it keep their pixels.
                if (before != p->zchildren && EffectivelyVisible(w)) {
                    // A sibling whose order against this one stays the same shows the
                    // same pixels: only those it passes over change.
                    auto oldAt = std::find(before.begin(), before.end(), hwnd) - before.begin();
                    auto newAt = std::find(p->zchildren.begin(), p->zchildren.end(), hwnd) -
                                 p->zchildren.begin();
                    RECT mine = ScreenRect(w);
                    for (HWND s : before) {
                        if (s == hwnd)
                            continue;
                        auto sOld = std::find(before.begin(), before.end(), s) - before.begin();
                        auto sNew = std::find(p->zchildren.begin(), p->zchildren.end(), s) -
                                    p->zchildren.begin();
                        if ((sOld < oldAt) == (sNew < newAt))
                            continue;
                        auto sw = Get(s);
                        if (!sw || !EffectivelyVisible(sw))
                            continue;
                        RECT ov = Intersect(mine, ScreenRect(sw));
                        if (!IsEmpty(ov))
                            AddDirty(ov);
                    }
                }
            }
        }
    }
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) || !IsTopLevel(w) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    if (!(flags & (SWP_NOACTIVATE | SWP_NOZORDER)) && IsTopLevel(w) && !w->attached &&
        !(w->exStyle & WS_EX_NOACTIVATE)) {
        auto w2 = Get(hwnd);
        if (w2 && (w2->style & WS_VISIBLE) && S().foreground != hwnd)
            ActivateWindow(hwnd, WA_ACTIVE);
    }
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    (void)repaint;
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    auto w = Get(hwnd);
    if (!w || !rect)
        return FALSE;
    *rect = ScreenRect(w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    auto w = Get(hwnd);
    if (!w || !rect)
        return FALSE;
    RECT c = ClientScreenRect(w);
    *rect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
    auto w = Get(hwnd);
    if (!w || !pt)
        return FALSE;
    RECT c = ClientScreenRect(w);
    pt->x += c.left;
    pt->y += c.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
    auto w = Get(hwnd);
    if (!w || !pt)
        return FALSE;
    RECT c = ClientScreenRect(w);
    pt->x -= c.left;
    pt->y -= c.top;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    if (!points)
        return 0;
    LONG dx = 0, dy = 0;
    if (from) {
        auto f = Get(from);
        if (!f)
            return 0;
        RECT c = ClientScreenRect(f);
        dx += c.left;
        dy += c.top;
    }
    if (to) {
        auto t = Get(to);
        if (!t)
            return 0;
        RECT c = ClientScreenRect(t);
        dx -= c.left;
        dy -= c.top;
    }
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(WORD(SHORT(dx)), WORD(SHORT(dy)));
}

namespace tw_user {
// The deepest visible, enabled window under a screen point that takes stylus input.
static HWND HitChild(const WindowPtr& w, int x, int y) {
    RECT client = ClientScreenRect(w);
    if (Contains(client, x, y))
        for (HWND c : w->zchildren) {
            auto cw = Get(c);
            if (!cw || !(cw->style & WS_VISIBLE) || IsHitTransparent(cw))
                continue;
            if (Contains(ScreenRect(cw), x, y))
                return HitChild(cw, x, y);
        }
    return w->hwnd;
}

HWND HitTest(int x, int y) {
    for (HWND h : S().topZ) {
        auto w = Get(h);
        if (!w || !(w->style & WS_VISIBLE))
            continue;
        // Its command bars lie right above it.
        for (auto& kv : S().windows) {
            auto& b = kv.second;
            if (b->attached && b->owner == h && !b->destroying && EffectivelyVisible(b) &&
                Contains(ScreenRect(b), x, y))
                return HitChild(b, x, y);
        }
        if (Contains(ScreenRect(w), x, y))
            return HitChild(w, x, y);
    }
    return nullptr;
}
} // namespace tw_user

HWND WindowFromPoint(POINT pt) {
    return HitTest(pt.x, pt.y);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    (void)dialog;
    if (!rect)
        return FALSE;
    rect->left = DluX(rect->left);
    rect->right = DluX(rect->right);
    rect->top = DluY(rect->top);
    rect->bottom = DluY(rect->bottom);
    return TRUE;
}

// ---- Focus, capture, finding windows ---------------------------------------------------

HWND SetFocus(HWND hwnd) {
    HWND old = S().focus;
    if (hwnd && !Get(hwnd))
        return nullptr;
    if (old == hwnd)
        return old;
    S().focus = hwnd;
    if (old && Get(old))
        SendMessageW(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd && Get(hwnd) && S().focus == hwnd)
        SendMessageW(hwnd, WM_SETFOCUS, WPARAM(old), 0);
    return old;
}

HWND GetFocus() {
    return S().focus;
}

HWND SetCapture(HWND hwnd) {
    HWND old = S().capture;
    if (!Get(hwnd))
        return old;
    S().capture = hwnd;
    if (old && old != hwnd && Get(old))
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    HWND old = S().capture;
    S().capture = nullptr;
    if (old && Get(old))
        SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    return S().capture;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR title) {
    for (HWND h : S().topZ) {
        auto w = Get(h);
        if (!w)
            continue;
        if (className && !IS_INTRESOURCE(className) &&
            !EqualsNoCase(className, w->cls->name.c_str()))
            continue;
        if (title && w->text != Str(title))
            continue;
        return h;
    }
    if (gRemote && title && !className)
        return gRemote->Find(title);
    return nullptr;
}

void SetRemoteWindowHooks(RemoteWindowHooks* hooks) {
    gRemote = hooks;
}

BOOL AttachToOwner(HWND popup) {
    auto w = Get(popup);
    if (!w || !IsTopLevel(w) || !Get(w->owner))
        return FALSE;
    w->attached = true;
    RemoveFrom(S().topZ, popup);
    InvalidateWindowArea(w);
    return TRUE;
}

BOOL SetDoneButton(HWND hwnd, BOOL ok) {
    HWND top = TopLevelOf(hwnd);
    auto w = Get(top);
    if (!w)
        return FALSE;
    w->doneButton = ok != FALSE;
    MarkTopBarDirty();
    return TRUE;
}

BOOL GetDoneButton(HWND hwnd) {
    auto w = Get(TopLevelOf(hwnd));
    return w && w->doneButton;
}

// ---- Activation -------------------------------------------------------------------------

namespace tw_user {
static void NotifyTitle() {
    auto fg = Get(S().foreground);
    if (auto* hooks = GetDesktopHooks())
        hooks->TitleChanged(fg ? fg->text.c_str() : u"");
    MarkTopBarDirty();
}

void ActivateWindow(HWND hwnd, int how) {
    auto w = Get(hwnd);
    if (!w)
        return;
    HWND old = S().foreground;
    BringToTop(hwnd);
    if (old == hwnd)
        return;
    S().foreground = hwnd;
    NotifyTitle();
    if (old && Get(old))
        SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    if (S().foreground == hwnd && Get(hwnd))
        SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
}

void ActivateNextAfterHiding(HWND hidden) {
    HWND next = nullptr;
    for (HWND h : S().topZ) {
        auto w = Get(h);
        if (!w || h == hidden || !(w->style & WS_VISIBLE) || (w->exStyle & WS_EX_NOACTIVATE))
            continue;
        next = h;
        break;
    }
    if (next) {
        ActivateWindow(next, WA_ACTIVE);
        return;
    }
    S().foreground = nullptr;
    NotifyTitle();
    if (Get(hidden))
        SendMessageW(hidden, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
}
} // namespace tw_user

BOOL SetForegroundWindow(HWND hwnd) {
    if (HandleValue(hwnd) & REMOTE_HWND_BIT)
        return gRemote ? gRemote->SetForeground(hwnd) : FALSE;
    HWND top = TopLevelOf(hwnd);
    auto w = Get(top);
    if (!w || (w->exStyle & WS_EX_NOACTIVATE))
        return FALSE;
    ActivateWindow(top, WA_ACTIVE);
    return TRUE;
}

HWND GetForegroundWindow() {
    return S().foreground;
}

HWND SetActiveWindow(HWND hwnd) {
    HWND old = S().foreground;
    SetForegroundWindow(hwnd);
    return old;
}

HWND GetActiveWindow() {
    return S().foreground;
}

// ---- System metrics and colours -----------------------------------------------------

DWORD GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW: return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
        case COLOR_BTNFACE: return RGB(214, 211, 206);
        case COLOR_HIGHLIGHT: return RGB(0, 0, 128);
        case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
        case COLOR_GRAYTEXT: return RGB(128, 128, 128);
    }
    return RGB(0, 0, 0);
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN: return kScreenW;
        case SM_CYSCREEN: return kScreenH;
        case SM_CXVSCROLL: return 13;
        case SM_CYCAPTION: return kTopBarH;
    }
    return 0;
}
