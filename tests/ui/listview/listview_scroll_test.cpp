// A list view whose columns are wider than its rows area scrolls sideways: a bar along the
// bottom, the header moving with the rows, rectangles shifted; one whose columns fit shows
// no such bar, and scrolling up and down works as before either way.
#include "platform/user/commctrl.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

int g_scrolled = 0;    // LVN_ENDSCROLL heard
int g_clickedCol = -1; // LVN_COLUMNCLICK's column

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr->code == LVN_ENDSCROLL)
            g_scrolled++;
        if (hdr->code == LVN_COLUMNCLICK)
            g_clickedCol = reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Down(HWND w, int x, int y) {
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}
void MoveTo(HWND w, int x, int y) {
    SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
}
void Up(HWND w, int x, int y) {
    SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void Tap(HWND w, int x, int y) {
    Down(w, x, y);
    Up(w, x, y);
}
void Drag(HWND w, int x1, int y1, int x2, int y2) {
    Down(w, x1, y1);
    MoveTo(w, (x1 + x2) / 2, (y1 + y2) / 2);
    MoveTo(w, x2, y2);
    Up(w, x2, y2);
}

constexpr int kBar = 13; // the handheld's scroll bar width

class ListScroll : public ::testing::Test {
  protected:
    HWND parent = nullptr;
    HFONT font = nullptr;

    void SetUp() override {
        InitCommonControls();
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"ListScrollParent";
        RegisterClassW(&wc); // once per process; again fails harmlessly
        parent = CreateWindowExW(0, u"ListScrollParent", u"Lists", WS_POPUP | WS_VISIBLE, 0, 26,
                                 240, 268, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        // The dialog font the program's lists draw with.
        font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"MS Sans Serif");
        g_scrolled = 0;
        g_clickedCol = -1;
    }
    void TearDown() override {
        DestroyWindow(parent);
        DeleteObject(font);
    }

    // A report list as the main window has them: bordered, full-row select, the given
    // column widths and rows of cells "r<row>c<col>".
    HWND List(int x, int y, int w, int h, const std::vector<int>& widths, int rows, DWORD style = 0,
              const std::vector<int>& fmts = {}) {
        HWND lv = CreateWindowExW(
            0, WC_LISTVIEWW, u"",
            WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | style, x, y, w, h,
            parent, reinterpret_cast<HMENU>(INT_PTR(1007)), nullptr, nullptr);
        EXPECT_NE(lv, nullptr);
        SendMessageW(lv, WM_SETFONT, WPARAM(font), 0);
        for (size_t k = 0; k < widths.size(); k++) {
            LVCOLUMNW c{};
            c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
            c.pszText = const_cast<LPWSTR>(u"Col");
            c.fmt = k < fmts.size() ? fmts[k] : LVCFMT_LEFT;
            c.cx = widths[k];
            SendMessageW(lv, LVM_INSERTCOLUMNW, k, reinterpret_cast<LPARAM>(&c));
        }
        SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        for (int i = 0; i < rows; i++) {
            LVITEMW it{};
            it.mask = LVIF_TEXT;
            it.iItem = i;
            it.pszText = const_cast<LPWSTR>(u"row");
            SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
        }
        return lv;
    }

    static RECT Client(HWND lv) {
        RECT c{};
        GetClientRect(lv, &c);
        return c;
    }
    static RECT RowRect(HWND lv, int row) {
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        EXPECT_TRUE(SendMessageW(lv, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    static int Left(HWND lv) {
        POINT p{-1, -1};
        EXPECT_TRUE(SendMessageW(lv, LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(&p)));
        return p.x;
    }
    static int Top(HWND lv) { return int(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0)); }
    static int PerPage(HWND lv) { return int(SendMessageW(lv, LVM_GETCOUNTPERPAGE, 0, 0)); }
    static int RowH(HWND lv) { return RowRect(lv, 0).bottom - RowRect(lv, 0).top; }
    static int HeaderH(HWND lv) { return RowRect(lv, Top(lv)).top; }
};

// Whether the list shows a bar along the bottom: rows shown, and how far it scrolls sideways.
TEST_F(ListScroll, HorizontalBarOnlyWhenTheColumnsDoNotFit) {
    struct Case {
        const char* what;
        std::vector<int> widths;
        int rows;
        bool bar;
    } cases[] = {
        {"schedule columns, few rows", {40, 120, 50}, 3, false},
        {"schedule columns beside a vertical bar", {40, 120, 50}, 82, true},
        {"roster columns", {20, 80, 40, 40, 40}, 24, true},
        {"exactly as wide as beside the vertical bar", {40, 120, 44}, 82, false},
        {"no rows, columns too wide", {120, 120}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND lv = List(6, 40, 219, 193, c.widths, c.rows);
        ASSERT_EQ(Client(lv).right, 217);
        int total = std::accumulate(c.widths.begin(), c.widths.end(), 0);
        // Header and row heights, taken from a list of one row that cannot scroll.
        HWND probe = List(6, 40, 219, 193, {10}, 1);
        int rowH = RowH(probe), headerH = RowRect(probe, 0).top;
        DestroyWindow(probe);
        int rowsHeight = Client(lv).bottom - headerH - (c.bar ? kBar : 0);
        EXPECT_EQ(PerPage(lv), rowsHeight / rowH);
        bool vbar = c.rows > rowsHeight / rowH;
        int maxLeft = c.bar ? total - (217 - (vbar ? kBar : 0)) : 0;
        SendMessageW(lv, LVM_SCROLL, 1000, 0);
        EXPECT_EQ(Left(lv), maxLeft);
        SendMessageW(lv, LVM_SCROLL, WPARAM(-3), 0);
        EXPECT_EQ(Left(lv), std::max(0, maxLeft - 3));
        DestroyWindow(lv);
    }
}

// The roster's five columns in the main window's list: the last one is reached by the bar's
// thumb, its arrows and a sideways drag of the rows, and the rectangles follow.
TEST_F(ListScroll, BarAndRowDragReachTheLastColumn) {
    HWND lv = List(6, 40, 219, 193, {20, 80, 40, 40, 40}, 24);
    RECT c = Client(lv);
    const int right = c.right - kBar, barY = c.bottom - kBar / 2, maxLeft = 220 - right;
    RECT r0 = RowRect(lv, 0);
    EXPECT_EQ(r0.left, 0);
    EXPECT_EQ(r0.right, 220);

    // The thumb starts at the left end, after the arrow; dragged to the far right.
    g_scrolled = 0;
    Drag(lv, kBar + 4, barY, right + 50, barY);
    EXPECT_EQ(Left(lv), maxLeft);
    EXPECT_GT(g_scrolled, 0); // the parent hears of it, as for scrolling up and down
    RECT r = RowRect(lv, 0);
    EXPECT_EQ(r.left, -maxLeft); // left of the view: negative
    EXPECT_EQ(r.right, right);   // the last column ends where the view does
    EXPECT_EQ(r.top, r0.top);
    EXPECT_EQ(r.bottom, r0.bottom);
    EXPECT_EQ(Top(lv), 0);

    // The arrows step back and forth; the left one brings the first column back.
    Tap(lv, 2, barY);
    int stepped = Left(lv);
    EXPECT_LT(stepped, maxLeft);
    Tap(lv, right - 2, barY);
    EXPECT_EQ(Left(lv), maxLeft);
    for (int i = 0; i < 10; i++)
        Tap(lv, 2, barY);
    EXPECT_EQ(Left(lv), 0);
    EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), -1); // no row picked

    // Dragging the rows to the left shows what lies right of them, never more.
    int y = r0.top + RowH(lv) / 2;
    Drag(lv, 150, y, 150 - 10, y);
    EXPECT_EQ(Left(lv), 10);
    Drag(lv, 150, y, 20, y);
    EXPECT_EQ(Left(lv), maxLeft);
    EXPECT_EQ(Top(lv), 0); // a sideways drag leaves the rows shown
    Drag(lv, 20, y, 30, y);
    EXPECT_EQ(Left(lv), maxLeft - 10);
    // A drag sets off one way and keeps to it: mostly sideways moves only the columns,
    // mostly downwards only the rows.
    SendMessageW(lv, LVM_SCROLL, WPARAM(-1000), 0);
    Drag(lv, 100, y, 88, y - 8);
    EXPECT_EQ(Left(lv), 12);
    EXPECT_EQ(Top(lv), 0);
    Drag(lv, 100, y + 3 * RowH(lv), 92, y);
    EXPECT_EQ(Top(lv), 3);
    EXPECT_EQ(Left(lv), 12);
    SendMessageW(lv, LVM_SCROLL, WPARAM(maxLeft - 10 - 12), -3 * RowH(lv));
    ASSERT_EQ(Left(lv), maxLeft - 10);
    // A stylus that wavers less than half a row is a tap, not a drag.
    Drag(lv, 20, y, 23, y + 2);
    EXPECT_EQ(Left(lv), maxLeft - 10);

    // A list whose columns fit does not move sideways however it is dragged.
    HWND fits = List(6, 40, 219, 193, {40, 120, 40}, 24);
    Drag(fits, 150, y, 20, y);
    EXPECT_EQ(Left(fits), 0);
    EXPECT_EQ(RowRect(fits, 0).left, 0);
}

// The header moves with the rows: a tap on it reports the column under the stylus.
TEST_F(ListScroll, HeaderTapFollowsTheScroll) {
    HWND lv = List(6, 40, 219, 193, {20, 80, 40, 40, 40}, 24);
    int headerY = HeaderH(lv) / 2;
    Tap(lv, 170, headerY);
    EXPECT_EQ(g_clickedCol, 3); // "Ht": 140 to 180
    SendMessageW(lv, LVM_SCROLL, 16, 0);
    g_clickedCol = -1;
    Tap(lv, 170, headerY);
    EXPECT_EQ(g_clickedCol, 4); // "Wt" now lies there
}

// Up and down: the rows area ends above the horizontal bar, the last row can be shown whole
// and the vertical bar, taps and drags behave as without a horizontal bar.
TEST_F(ListScroll, VerticalScrollingUnchangedBesideTheHorizontalBar) {
    HWND lv = List(6, 40, 219, 193, {20, 80, 40, 40, 40}, 24);
    RECT c = Client(lv);
    int rowH = RowH(lv), headerH = HeaderH(lv);
    int per = PerPage(lv);
    ASSERT_EQ(per, (c.bottom - headerH - kBar) / rowH);
    int vx = c.right - kBar / 2;

    // Thumb to the bottom: the last page, its last row ending above the horizontal bar.
    Drag(lv, vx, headerH + kBar + 3, vx, c.bottom + 40);
    EXPECT_EQ(Top(lv), 24 - per);
    EXPECT_LE(RowRect(lv, 23).bottom, c.bottom - kBar);
    EXPECT_EQ(Left(lv), 0);
    // The vertical bar's lower arrow lies above the horizontal bar.
    SendMessageW(lv, LVM_ENSUREVISIBLE, 0, FALSE);
    Tap(lv, vx, c.bottom - kBar - 3);
    EXPECT_EQ(Top(lv), 1);
    // Dragging the rows up by two rows, straight: only the rows shown change.
    int y = headerH + 3 * rowH;
    Drag(lv, 100, y, 100, y - 2 * rowH);
    EXPECT_EQ(Top(lv), 3);
    EXPECT_EQ(Left(lv), 0);
    EXPECT_EQ(RowRect(lv, 3).top, headerH);
    // A tap selects the row under it, scrolled sideways or not.
    SendMessageW(lv, LVM_SCROLL, 16, 0);
    Tap(lv, 100, headerH + rowH + 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 4);
    // The corner where the bars meet takes no tap.
    Tap(lv, c.right - 2, c.bottom - 2);
    EXPECT_EQ(Top(lv), 3);
    EXPECT_EQ(Left(lv), 16);
}

// ---- Cell text -----------------------------------------------------------------------

// The screen's pixels of a list's client rectangle, row by row.
std::vector<uint32_t> ClientPixels(HWND lv, const RECT& part) {
    UpdateScreen();
    POINT o{0, 0};
    ClientToScreen(lv, &o);
    Surface* s = ScreenSurface();
    const uint32_t* px = SurfacePixels(s);
    int w = SurfaceWidth(s);
    std::vector<uint32_t> out;
    for (int y = part.top; y < part.bottom; y++)
        for (int x = part.left; x < part.right; x++)
            out.push_back(px[(o.y + y) * w + o.x + x]);
    return out;
}

// A text that fits its column is drawn whole: its pixels are those of the same text in a
// far wider column (the right end of a right-aligned one, the left end of a left-aligned),
// also in the last column of a list beside its vertical bar, once scrolled into view.
TEST_F(ListScroll, CellTextIsCutOnlyWhenItDoesNotFit) {
    struct Case {
        const char16_t* text;
        std::vector<int> widths; // of the list, as the main window has it
        int rows;
        int col;
        int fmt;
        bool whole;
    } cases[] = {
        {u"10:00p", {40, 120, 50}, 82, 2, LVCFMT_RIGHT, true},
        {u"Maple Leafs", {80, 29, 29, 29, 40}, 36, 0, LVCFMT_LEFT, true},
        {u"vs Maple Leafs", {40, 120, 50}, 82, 1, LVCFMT_LEFT, true},
        {u"6-10", {20, 80, 40, 40, 40}, 24, 3, LVCFMT_LEFT, true},
        {u"Canadiens @ Maple Leafs", {80, 29, 29, 29, 40}, 36, 0, LVCFMT_LEFT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
        std::vector<int> fmts(c.widths.size(), LVCFMT_LEFT);
        fmts[size_t(c.col)] = c.fmt;
        HWND a = List(6, 0, 219, 193, c.widths, c.rows, 0, fmts);
        std::vector<int> wide = c.col == 0 ? std::vector<int>{200} : std::vector<int>{30, 200};
        HWND b = List(0, 200, 235, 60, wide, 1, 0, {c.fmt, c.fmt});
        int bCol = c.col == 0 ? 0 : 1;
        for (auto [lv, col] : {std::pair{a, c.col}, std::pair{b, bCol}}) {
            LVITEMW it{};
            it.iSubItem = col;
            it.pszText = const_cast<LPWSTR>(c.text);
            SendMessageW(lv, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&it));
        }
        int width = c.widths[size_t(c.col)];
        int colLeft = 0;
        for (int k = 0; k < c.col; k++)
            colLeft += c.widths[size_t(k)];
        // Scrolled just far enough to show the whole column.
        SendMessageW(a, LVM_SCROLL, std::max(0, colLeft + width - (Client(a).right - kBar)), 0);
        int aLeft = RowRect(a, 0).left + colLeft;
        ASSERT_GE(aLeft, 0);
        ASSERT_LE(aLeft + width, Client(a).right - kBar);
        int bLeft = (bCol == 0 ? 0 : 30) + (c.fmt == LVCFMT_RIGHT ? 200 - width : 0);
        RECT ra = RowRect(a, 0), rb = RowRect(b, 0);
        auto pa = ClientPixels(a, RECT{aLeft, ra.top, aLeft + width, ra.bottom});
        auto pb = ClientPixels(b, RECT{bLeft, rb.top, bLeft + width, rb.bottom});
        EXPECT_EQ(pa == pb, c.whole);
        DestroyWindow(a);
        DestroyWindow(b);
    }
}

} // namespace
