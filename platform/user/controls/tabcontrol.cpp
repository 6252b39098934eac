// The tab control: a strip of tabs along the bottom edge, as the handheld puts it under
// the page it switches; a tap on another tab asks the parent, switches, then tells it.
#include "platform/user/controls/common.h"

#include <algorithm>
#include <vector>

namespace tw_controls {
namespace {

struct Tab {
    std::u16string text;
    LPARAM param = 0;
};

struct TabControl {
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    std::vector<Tab> tabs;
    int current = -1;

    RECT Client() const {
        RECT c{};
        GetClientRect(hwnd, &c);
        return c;
    }

    // Each tab is as wide as its caption (blanks included) plus a little room; when the
    // strip is too narrow for them all, every tab gives up the same share, which the
    // captions' outer blanks absorb. The strip hangs from the top edge, under the page.
    std::vector<RECT> Layout() const {
        std::vector<RECT> out;
        RECT c = Client();
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, ControlFont(font));
        int h = std::min<int>(c.bottom, FontHeight(font) + 6);
        std::vector<int> widths;
        int total = 0;
        for (const Tab& t : tabs) {
            widths.push_back(TextWidth(dc, t.text) + 6);
            total += widths.back();
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        int room = int(c.right);
        bool squeeze = total > room && room > 0;
        int natural = 0, x = 0;
        for (int w : widths) {
            natural += w;
            int end = squeeze ? int((long long)natural * room / total) : natural;
            out.push_back(RECT{x, 0, end, h});
            x = end;
        }
        return out;
    }

    int TabAt(int x, int y) const {
        std::vector<RECT> rs = Layout();
        for (size_t i = 0; i < rs.size(); i++)
            if (x >= rs[i].left && x < rs[i].right && y >= rs[i].top && y < rs[i].bottom)
                return int(i);
        return -1;
    }

    void Invalidate() { InvalidateRect(hwnd, nullptr, FALSE); }

    int Insert(int index, const TCITEMW* item) {
        if (!item || index < 0)
            return -1;
        Tab t;
        if (item->mask & TCIF_TEXT)
            t.text = TextOf(item->pszText);
        if (item->mask & TCIF_PARAM)
            t.param = item->lParam;
        index = std::min<int>(index, int(tabs.size()));
        tabs.insert(tabs.begin() + index, std::move(t));
        if (current < 0)
            current = 0; // the first tab becomes the current one
        else if (index <= current)
            current++;
        Invalidate();
        return index;
    }

    BOOL Get(int index, TCITEMW* item) const {
        if (!item || index < 0 || index >= int(tabs.size()))
            return FALSE;
        if (item->mask & TCIF_TEXT)
            CopyOut(tabs[size_t(index)].text, item->pszText, item->cchTextMax);
        if (item->mask & TCIF_PARAM)
            item->lParam = tabs[size_t(index)].param;
        return TRUE;
    }

    void Paint(HDC dc) {
        RECT c = Client();
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(font));
        SetBkMode(dc, TRANSPARENT);
        Fill(dc, 0, 0, c.right, c.bottom, kWindow);
        std::vector<RECT> rs = Layout();
        // The page's bottom edge runs along the top, broken under the current tab.
        HLine(dc, 0, c.right, 0, kFrame);
        for (size_t i = 0; i < rs.size(); i++) {
            const RECT& r = rs[i];
            bool cur = int(i) == current;
            if (cur) {
                Fill(dc, r.left, 0, r.right, r.bottom, kWindow);
                VLine(dc, r.left, 0, r.bottom, kFrame);
                VLine(dc, r.right - 1, 0, r.bottom, kFrame);
                HLine(dc, r.left, r.right, r.bottom - 1, kFrame);
            } else {
                Fill(dc, r.left, 1, r.right, r.bottom - 1, kFace);
                VLine(dc, r.right - 1, 3, r.bottom - 2, kShadow);
                HLine(dc, r.left, r.right, r.bottom - 2, kShadow);
            }
            SetTextColor(dc, kText);
            RECT t{r.left, r.top + (cur ? 0 : 1), r.right, r.bottom - 1};
            const Tab& tab = tabs[i];
            DrawTextW(dc, tab.text.c_str(), int(tab.text.size()), &t,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        SelectObject(dc, oldFont);
    }

    void Tap(int x, int y) {
        int hit = TabAt(x, y);
        if (hit < 0 || hit == current)
            return;
        HWND self = hwnd;
        NMHDR hdr{};
        if (NotifyParent(hwnd, TCN_SELCHANGING, &hdr))
            return; // the parent keeps the current tab
        if (!IsWindow(self) || hit >= int(tabs.size()))
            return;
        current = hit;
        Invalidate();
        UpdateWindow(hwnd);
        NMHDR done{};
        NotifyParent(hwnd, TCN_SELCHANGE, &done);
    }
};

LRESULT TabControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TabControl* tc = StateOf<TabControl>(hwnd);
    if (!tc) {
        if (msg != WM_CREATE)
            return DefWindowProcW(hwnd, msg, wp, lp);
        tc = new TabControl;
        tc->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(tc));
        return 0;
    }
    switch (msg) {
        case WM_DESTROY:
            SetWindowLongPtrW(hwnd, 0, 0);
            delete tc;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc)
                tc->Paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_SETFONT:
            tc->font = reinterpret_cast<HFONT>(wp);
            tc->Invalidate();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(tc->font);
        case WM_LBUTTONDOWN: tc->Tap(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case TCM_INSERTITEMW: return tc->Insert(int(wp), reinterpret_cast<const TCITEMW*>(lp));
        case TCM_GETITEMW: return tc->Get(int(wp), reinterpret_cast<TCITEMW*>(lp));
        case TCM_GETITEMCOUNT: return LRESULT(tc->tabs.size());
        case TCM_GETCURSEL: return tc->current;
        case TCM_SETCURSEL: {
            int index = int(INT_PTR(wp));
            if (index < 0 || index >= int(tc->tabs.size()))
                return -1;
            int old = tc->current;
            tc->current = index;
            tc->Invalidate();
            return old;
        }
        case TCM_GETITEMRECT: {
            int index = int(wp);
            auto* r = reinterpret_cast<RECT*>(lp);
            if (!r || index < 0 || index >= int(tc->tabs.size()))
                return FALSE;
            *r = tc->Layout()[size_t(index)];
            return TRUE;
        }
        case TCM_DELETEALLITEMS:
            tc->tabs.clear();
            tc->current = -1;
            tc->Invalidate();
            return TRUE;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterTabControl() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TabControlProc;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = WC_TABCONTROLW;
    RegisterClassW(&wc);
}

} // namespace tw_controls
