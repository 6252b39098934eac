// The drop-down list combo box: a field showing the chosen item and a button; a tap opens
// the list in a pop-up window over everything else, a pick closes it and tells the
// parent, a tap anywhere outside closes it unchanged.
#include "platform/user/controls/common.h"

#include <algorithm>
#include <vector>

namespace tw_controls {
namespace {

const WCHAR kListClass[] = u"ComboLBox";

struct Item {
    std::u16string text;
    LPARAM data = 0;
};

struct ComboBox {
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    std::vector<Item> items;
    int current = -1;
    int dropHeight = 100; // the height the template gave: field and opened list together
    int fieldH = 20;
    int itemH = 14;
    bool pressed = false; // the field's button while the stylus opens the list
    // The opened list
    HWND list = nullptr;
    int hot = -1;     // the item under the stylus
    int listTop = 0;  // first item shown
    int listRows = 0; // items that fit
    VScroll sb;
    enum Track { None, FromField, InList, OnScrollBar } track = None;

    DWORD Style() const { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
    void Invalidate() { InvalidateRect(hwnd, nullptr, FALSE); }
    int Count() const { return int(items.size()); }

    void Measure() {
        int h = FontHeight(font);
        itemH = h + 1;
        fieldH = h + 7;
    }

    int Insert(int index, LPCWSTR text) {
        Item it;
        it.text = TextOf(text);
        if (index < 0 || index > Count())
            index = Count();
        if (Style() & CBS_SORT) {
            auto pos = std::upper_bound(items.begin(), items.end(), it.text,
                                        [](const std::u16string& k, const Item& i) {
                                            return CompareNoCase(k, i.text) < 0;
                                        });
            index = int(pos - items.begin());
        }
        items.insert(items.begin() + index, std::move(it));
        if (current >= index)
            current++;
        Invalidate();
        RefreshList();
        return index;
    }

    // ---- The field -------------------------------------------------------------------

    void PaintField(HDC dc) {
        RECT c{};
        GetClientRect(hwnd, &c);
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(font));
        SetBkMode(dc, TRANSPARENT);
        bool enabled = IsWindowEnabled(hwnd);
        Fill(dc, 0, 0, c.right, c.bottom, kWindow);
        Frame(dc, c, kShadow);
        RECT button{c.right - kScrollWidth - 1, 1, c.right - 1, c.bottom - 1};
        RaisedBox(dc, button);
        if (pressed || list)
            Fill(dc, button.left + 1, button.top + 1, button.right - 1, button.bottom - 1, kShadow);
        DrawArrow(dc, button, Arrow::Down, enabled ? kText : kGrayText);
        if (current >= 0 && current < Count()) {
            RECT t{3, 1, button.left - 2, c.bottom - 1};
            SetTextColor(dc, enabled ? kText : kGrayText);
            const std::u16string& s = items[size_t(current)].text;
            DrawTextW(dc, s.c_str(), int(s.size()), &t,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        SelectObject(dc, oldFont);
    }

    // ---- The list ----------------------------------------------------------------------

    // The list's place on the screen: under the field, or above it when the screen has no
    // room below; as many rows as the template's height leaves under the field.
    RECT ListScreenRect() {
        RECT w{};
        GetWindowRect(hwnd, &w);
        int rows = std::max(1, (dropHeight - fieldH - 2) / itemH);
        listRows = std::max(1, std::min(rows, Count()));
        int h = listRows * itemH + 2;
        int screenH = GetSystemMetrics(SM_CYSCREEN);
        if (screenH <= 0)
            screenH = 320;
        RECT r{w.left, w.bottom, w.right, w.bottom + h};
        if (r.bottom > screenH && w.top - h >= 0)
            r = RECT{w.left, w.top - h, w.right, w.top};
        return r;
    }

    bool ListScrolls() const { return Count() > listRows; }
    int ListMaxTop() const { return std::max(0, Count() - listRows); }

    void Open(bool byStylus) {
        if (list || !IsWindowEnabled(hwnd))
            return;
        CommandParent(hwnd, CBN_DROPDOWN);
        if (!IsWindow(hwnd) || list)
            return;
        RECT r = ListScreenRect();
        hot = current;
        listTop = std::clamp(current >= 0 ? current : 0, 0, ListMaxTop());
        track = byStylus ? FromField : None;
        list = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kListClass, u"",
                               WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd,
                               nullptr, nullptr, this);
        if (!list)
            return;
        ShowWindow(list, SW_SHOWNA);
        SetCapture(list);
        Invalidate();
    }

    // Closes the list; a pick (item >= 0) becomes the selection and is told to the parent.
    void Close(int pick) {
        if (!list)
            return;
        HWND l = list;
        list = nullptr;
        track = None;
        sb.Release();
        if (GetCapture() == l)
            ReleaseCapture();
        DestroyWindow(l);
        Invalidate();
        HWND self = hwnd;
        if (pick >= 0 && pick < Count()) {
            current = pick;
            UpdateWindow(hwnd);
            CommandParent(hwnd, CBN_SELCHANGE);
        }
        if (IsWindow(self))
            CommandParent(self, CBN_CLOSEUP);
    }

    // The list changed while open: fit its place and rows anew.
    void RefreshList() {
        if (!list)
            return;
        RECT r = ListScreenRect();
        MoveWindow(list, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        listTop = std::clamp(listTop, 0, ListMaxTop());
        InvalidateRect(list, nullptr, FALSE);
    }

    // The list draws its own one-pixel frame; items and scroll bar lie inside it.
    static constexpr int kListFrame = 1;
    int ListItemsRight(const RECT& c) const {
        return int(c.right) - kListFrame - (ListScrolls() ? kScrollWidth : 0);
    }

    int ItemAt(int x, int y) {
        RECT c{};
        GetClientRect(list, &c);
        if (x < kListFrame || x >= ListItemsRight(c) || y < kListFrame ||
            y >= c.bottom - kListFrame)
            return -1;
        int i = listTop + (y - kListFrame) / itemH;
        return i < Count() ? i : -1;
    }

    void SyncScroll(const RECT& c) {
        sb.rect = RECT{ListItemsRight(c), kListFrame, c.right - kListFrame, c.bottom - kListFrame};
        sb.total = Count();
        sb.page = listRows;
        sb.pos = listTop;
    }

    void PaintList(HDC dc) {
        RECT c{};
        GetClientRect(list, &c);
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(font));
        SetBkMode(dc, TRANSPARENT);
        int right = ListItemsRight(c);
        Fill(dc, 0, 0, right, c.bottom, kWindow);
        int y = kListFrame;
        for (int i = listTop; i < Count() && y < c.bottom - kListFrame; i++, y += itemH) {
            bool lit = i == hot;
            if (lit)
                Fill(dc, kListFrame, y, right, y + itemH, kSelection);
            SetTextColor(dc, lit ? kSelectionText : kText);
            RECT t{kListFrame + 3, y, right - 2, y + itemH};
            const std::u16string& s = items[size_t(i)].text;
            DrawTextW(dc, s.c_str(), int(s.size()), &t,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (ListScrolls()) {
            SyncScroll(c);
            sb.Draw(dc);
        }
        Frame(dc, c, kFrame);
        SelectObject(dc, oldFont);
    }

    void SetHot(int i) {
        if (i == hot)
            return;
        hot = i;
        InvalidateRect(list, nullptr, FALSE);
    }

    void ListDown(int x, int y) {
        RECT c{};
        GetClientRect(list, &c);
        if (x < 0 || y < 0 || x >= c.right || y >= c.bottom) {
            Close(-1); // a tap outside the list
            return;
        }
        if (ListScrolls() && x >= ListItemsRight(c)) {
            track = OnScrollBar;
            SyncScroll(c);
            sb.Press(x, y);
            listTop = sb.pos;
            InvalidateRect(list, nullptr, FALSE);
            return;
        }
        track = InList;
        SetHot(ItemAt(x, y));
    }

    void ListMove(int x, int y) {
        if (track == OnScrollBar) {
            if (sb.Drag(x, y)) {
                listTop = sb.pos;
                InvalidateRect(list, nullptr, FALSE);
            }
            return;
        }
        if (track == FromField || track == InList) {
            int i = ItemAt(x, y);
            if (i >= 0)
                SetHot(i);
        }
    }

    void ListUp(int x, int y) {
        Track was = track;
        track = None;
        if (was == OnScrollBar) {
            sb.Release();
            InvalidateRect(list, nullptr, FALSE);
            return;
        }
        int i = ItemAt(x, y);
        if ((was == InList || was == FromField) && i >= 0)
            Close(i);
        // Lifting the stylus that opened the list, off the list, leaves it open.
    }

    // The screen rectangle of an item of the opened list, scrolled into view.
    BOOL ItemScreenRect(int i, RECT* out) {
        if (!list || !out || i < 0 || i >= Count())
            return FALSE;
        if (i < listTop)
            listTop = i;
        else if (i >= listTop + listRows)
            listTop = i - listRows + 1;
        InvalidateRect(list, nullptr, FALSE);
        RECT c{};
        GetClientRect(list, &c);
        POINT a{kListFrame, kListFrame + (i - listTop) * itemH};
        POINT b{ListItemsRight(c), kListFrame + (i - listTop + 1) * itemH};
        ClientToScreen(list, &a);
        ClientToScreen(list, &b);
        *out = RECT{a.x, a.y, b.x, b.y};
        return TRUE;
    }
};

LRESULT ComboListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* cb = reinterpret_cast<ComboBox*>(GetWindowLongPtrW(hwnd, 0));
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return 0;
    }
    if (!cb || cb->list != hwnd)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc)
                cb->PaintList(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_LBUTTONDOWN: cb->ListDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_MOUSEMOVE: cb->ListMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_LBUTTONUP: cb->ListUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_CAPTURECHANGED:
            // Something else took the stylus (a dialog, a menu): the list goes away.
            if (reinterpret_cast<HWND>(lp) != hwnd)
                cb->Close(-1);
            return 0;
        case WM_DESTROY: SetWindowLongPtrW(hwnd, 0, 0); return 0;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ComboBox* cb = StateOf<ComboBox>(hwnd);
    if (!cb) {
        if (msg != WM_CREATE)
            return DefWindowProcW(hwnd, msg, wp, lp);
        auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        cb = new ComboBox;
        cb->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(cb));
        cb->Measure();
        // The template's height includes the opened list; the window itself is the field.
        cb->dropHeight = std::max(cs->cy, cb->fieldH);
        SetWindowPos(hwnd, nullptr, 0, 0, cs->cx, cb->fieldH,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    switch (msg) {
        case WM_DESTROY:
            cb->Close(-1);
            SetWindowLongPtrW(hwnd, 0, 0);
            delete cb;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc)
                cb->PaintField(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_SETFONT:
            cb->font = reinterpret_cast<HFONT>(wp);
            cb->Measure();
            cb->Invalidate();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(cb->font);
        case WM_SHOWWINDOW:
            if (!wp)
                cb->Close(-1);
            return DefWindowProcW(hwnd, msg, wp, lp);
        case WM_ENABLE:
            if (!wp)
                cb->Close(-1);
            cb->Invalidate();
            return 0;
        case WM_LBUTTONDOWN:
            cb->pressed = true;
            cb->Open(true);
            return 0;
        case WM_LBUTTONUP:
            cb->pressed = false;
            cb->Invalidate();
            return 0;
        case WM_GETTEXTLENGTH:
            return cb->current >= 0 ? LRESULT(cb->items[size_t(cb->current)].text.size()) : 0;
        case WM_GETTEXT:
            return CopyOut(cb->current >= 0 ? cb->items[size_t(cb->current)].text
                                            : std::u16string(),
                           reinterpret_cast<LPWSTR>(lp), int(wp));

        case CB_ADDSTRING: return cb->Insert(-1, reinterpret_cast<LPCWSTR>(lp));
        case CB_INSERTSTRING: {
            int index = int(INT_PTR(wp));
            if (index > cb->Count())
                return CB_ERR;
            return cb->Insert(index, reinterpret_cast<LPCWSTR>(lp));
        }
        case CB_DELETESTRING: {
            int index = int(wp);
            if (index < 0 || index >= cb->Count())
                return CB_ERR;
            cb->items.erase(cb->items.begin() + index);
            if (cb->current == index)
                cb->current = -1;
            else if (cb->current > index)
                cb->current--;
            cb->Invalidate();
            cb->RefreshList();
            return cb->Count();
        }
        case CB_GETCOUNT: return cb->Count();
        case CB_GETCURSEL: return cb->current;
        case CB_SETCURSEL: {
            int index = int(INT_PTR(wp));
            cb->Invalidate();
            if (index < 0 || index >= cb->Count()) {
                cb->current = -1;
                return CB_ERR;
            }
            cb->current = index;
            return index;
        }
        case CB_GETLBTEXT: {
            int index = int(wp);
            auto* out = reinterpret_cast<LPWSTR>(lp);
            if (index < 0 || index >= cb->Count() || !out)
                return CB_ERR;
            const std::u16string& s = cb->items[size_t(index)].text;
            std::copy(s.begin(), s.end(), out); // the caller's buffer holds CB_GETLBTEXTLEN + 1
            out[s.size()] = 0;
            return LRESULT(s.size());
        }
        case CB_GETLBTEXTLEN: {
            int index = int(wp);
            if (index < 0 || index >= cb->Count())
                return CB_ERR;
            return LRESULT(cb->items[size_t(index)].text.size());
        }
        case CB_SETITEMDATA: {
            int index = int(wp);
            if (index < 0 || index >= cb->Count())
                return CB_ERR;
            cb->items[size_t(index)].data = lp;
            return TRUE;
        }
        case CB_GETITEMDATA: {
            int index = int(wp);
            if (index < 0 || index >= cb->Count())
                return CB_ERR;
            return cb->items[size_t(index)].data;
        }
        case CB_RESETCONTENT:
            cb->Close(-1);
            cb->items.clear();
            cb->current = -1;
            cb->Invalidate();
            return CB_OKAY;
        case CB_SHOWDROPDOWN:
            if (wp)
                cb->Open(false);
            else
                cb->Close(-1);
            return TRUE;
        case CB_GETDROPPEDSTATE: return cb->list ? TRUE : FALSE;
        case CB_GETITEMRECT_TW: return cb->ItemScreenRect(int(wp), reinterpret_cast<RECT*>(lp));
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterComboBox() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ComboBoxProc;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = WC_COMBOBOXW;
    RegisterClassW(&wc);
    WNDCLASSW lc{};
    lc.lpfnWndProc = ComboListProc;
    lc.cbWndExtra = sizeof(void*);
    lc.lpszClassName = kListClass;
    RegisterClassW(&lc);
}

} // namespace tw_controls
