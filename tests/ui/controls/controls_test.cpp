// The common controls in a window of their own, driven by the stylus messages a tap
// gives them, checked by what they tell their parent and what they answer.
#include "platform/user/commctrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A fixed day, so that "today" is the same on every run.
struct FixedClock : Clock {
    uint64_t now = 1000;
    uint64_t NowMs() override { return now; }
    void LocalTime(SYSTEMTIME* st) override {
        *st = SYSTEMTIME{};
        st->wYear = 2003;
        st->wMonth = 12;
        st->wDay = 11;
        st->wDayOfWeek = 4;
        st->wHour = 9;
    }
};

// What the parent heard: WM_NOTIFY codes and WM_COMMAND notification codes.
struct Heard {
    UINT code;     // notification code (WM_NOTIFY) or HIWORD(wParam) (WM_COMMAND)
    int id;        // control id
    bool command;  // WM_COMMAND
    int subItem;   // LVN_COLUMNCLICK: the column
    int item;      // list view notifications
    SYSTEMTIME st; // month calendar notifications
};
std::vector<Heard> g_heard;
int g_tabAtChanging = -2; // the current tab while TCN_SELCHANGING is handled

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        Heard h{hdr->code, int(hdr->idFrom), false, -1, -1, {}};
        if (hdr->code == LVN_COLUMNCLICK || hdr->code == LVN_ITEMCHANGED) {
            auto* nm = reinterpret_cast<NMLISTVIEW*>(lp);
            h.subItem = nm->iSubItem;
            h.item = nm->iItem;
        }
        if (hdr->code == MCN_SELCHANGE || hdr->code == MCN_SELECT)
            h.st = reinterpret_cast<NMSELCHANGE*>(lp)->stSelStart;
        if (hdr->code == TCN_SELCHANGING)
            g_tabAtChanging = int(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0));
        if (hdr->code == LVN_ENDSCROLL)
            return 0; // scrolling is not what these tests listen for
        g_heard.push_back(h);
        return 0;
    }
    if (msg == WM_COMMAND) {
        g_heard.push_back(Heard{HIWORD(wp), LOWORD(wp), true, -1, -1, {}});
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

std::vector<UINT> Codes() {
    std::vector<UINT> out;
    for (const Heard& h : g_heard)
        out.push_back(h.code);
    return out;
}

void Tap(HWND hwnd, int x, int y) {
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Taps a point of the screen on whatever window lies there.
void TapScreen(int x, int y) {
    POINT p{x, y};
    HWND target = GetCapture() ? GetCapture() : WindowFromPoint(p);
    ASSERT_NE(target, nullptr);
    ScreenToClient(target, &p);
    Tap(target, p.x, p.y);
}

class Controls : public ::testing::Test {
  protected:
    FixedClock clock;
    HWND parent = nullptr;

    void SetUp() override {
        SetClock(&clock);
        InitCommonControls();
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"ControlsTestParent";
        RegisterClassW(&wc); // once per process; a second time fails harmlessly
        parent = CreateWindowExW(0, u"ControlsTestParent", u"Controls", WS_POPUP | WS_VISIBLE, 0,
                                 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        g_heard.clear();
    }
    void TearDown() override {
        DestroyWindow(parent);
        SetClock(nullptr);
    }

    HWND Make(LPCWSTR cls, DWORD style, int id, int x, int y, int w, int h) {
        HWND c = CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
        EXPECT_NE(c, nullptr);
        return c;
    }
};

// ---- List view -----------------------------------------------------------------------

void AddColumn(HWND lv, int index, LPCWSTR caption, int fmt, int cx) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    c.pszText = const_cast<LPWSTR>(caption);
    c.fmt = fmt;
    c.cx = cx;
    ASSERT_EQ(SendMessageW(lv, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&c)), index);
}

int InsertRow(HWND lv, int at, LPCWSTR first) {
    LVITEMW it{};
    it.mask = LVIF_TEXT;
    it.iItem = at;
    it.pszText = const_cast<LPWSTR>(first);
    return int(SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
}

BOOL SetCell(HWND lv, int row, int sub, LPCWSTR text) {
    LVITEMW it{};
    it.iSubItem = sub;
    it.pszText = const_cast<LPWSTR>(text);
    return BOOL(SendMessageW(lv, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&it)));
}

std::u16string Cell(HWND lv, int row, int sub, int cap = 256) {
    std::vector<WCHAR> buf(size_t(cap) + 1, u'#');
    LVITEMW it{};
    it.iSubItem = sub;
    it.pszText = buf.data();
    it.cchTextMax = cap;
    int n = int(SendMessageW(lv, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&it)));
    std::u16string s(buf.data());
    EXPECT_EQ(n, int(s.size()));
    EXPECT_EQ(buf[size_t(cap)], u'#'); // nothing written past the buffer
    return s;
}

RECT RowRect(HWND lv, int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_TRUE(SendMessageW(lv, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)));
    return r;
}

TEST_F(Controls, SortedListPlacesRowsInTextOrderAfterEqualKeys) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT | LVS_SORTASCENDING, 1037, 6, 80, 220, 100);
    AddColumn(lv, 0, u"#", LVCFMT_LEFT, 20);
    AddColumn(lv, 1, u"Player", LVCFMT_LEFT, 80);
    struct Case {
        LPCWSTR key;
        LPCWSTR tag;
        int position;
    } cases[] = {
        {u"9", u"a", 0},   {u"10", u"b", 0},  // "10" sorts before "9"
        {u"1", u"c", 0},   {u"9", u"d", 3},   // after the equal key
        {u"Pos", u"e", 4}, {u"pos", u"f", 5}, // letter case does not count
        {u"C", u"g", 4},   {u"", u"h", 0},
    };
    for (const Case& k : cases) {
        int at = InsertRow(lv, 99, k.key); // the requested place is not used
        EXPECT_EQ(at, k.position) << std::string(k.key, k.key + 0);
        ASSERT_TRUE(SetCell(lv, at, 1, k.tag));
    }
    std::vector<std::u16string> firsts, tags;
    for (int i = 0; i < 8; i++) {
        firsts.push_back(Cell(lv, i, 0));
        tags.push_back(Cell(lv, i, 1));
    }
    EXPECT_EQ(firsts,
              (std::vector<std::u16string>{u"", u"1", u"10", u"9", u"9", u"C", u"Pos", u"pos"}));
    EXPECT_EQ(tags, (std::vector<std::u16string>{u"h", u"c", u"b", u"a", u"d", u"g", u"e", u"f"}));
}

TEST_F(Controls, UnsortedListInsertsWhereAskedAndReadsCellsBackBounded) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT, 1025, 6, 28, 220, 117);
    AddColumn(lv, 0, u"Date", LVCFMT_LEFT, 40);
    AddColumn(lv, 1, u"vTeam", LVCFMT_LEFT, 50);
    EXPECT_EQ(InsertRow(lv, 0, u"b"), 0);
    EXPECT_EQ(InsertRow(lv, 0, u"a"), 0);
    EXPECT_EQ(InsertRow(lv, 2, u"c"), 2);
    EXPECT_EQ(InsertRow(lv, 50, u"d"), 3); // past the end: appended
    EXPECT_EQ(InsertRow(lv, -1, u"x"), -1);
    EXPECT_EQ(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(Cell(lv, 0, 0) + Cell(lv, 1, 0) + Cell(lv, 2, 0) + Cell(lv, 3, 0), u"abcd");

    std::u16string longText(300, u'x');
    ASSERT_TRUE(SetCell(lv, 1, 1, longText.c_str()));
    EXPECT_EQ(Cell(lv, 1, 1, 256), std::u16string(255, u'x')); // 255 and the terminator
    EXPECT_EQ(Cell(lv, 1, 1, 4), u"xxx");
    EXPECT_EQ(Cell(lv, 0, 1), u"");                // a cell never set
    EXPECT_EQ(Cell(lv, 9, 0), u"");                // no such row
    EXPECT_FALSE(SetCell(lv, 0, 2, u"no column")); // no third column
    EXPECT_FALSE(SetCell(lv, 7, 0, u"no row"));

    EXPECT_TRUE(SendMessageW(lv, LVM_DELETEITEM, 0, 0));
    EXPECT_EQ(Cell(lv, 0, 1), std::u16string(255, u'x'));
    EXPECT_TRUE(SendMessageW(lv, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(Controls, ColumnsAndExtendedStyles) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT, 1005, 6, 28, 220, 117);
    AddColumn(lv, 0, u"Team", LVCFMT_LEFT, 80);
    AddColumn(lv, 1, u"W", LVCFMT_RIGHT, 29);
    EXPECT_EQ(SendMessageW(lv, LVM_GETCOLUMNCOUNT_TW, 0, 0), 2);
    WCHAR buf[8];
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    c.pszText = buf;
    c.cchTextMax = 8;
    ASSERT_TRUE(SendMessageW(lv, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&c)));
    EXPECT_EQ(std::u16string(buf), u"W");
    EXPECT_EQ(c.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(c.cx, 29);
    EXPECT_FALSE(SendMessageW(lv, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&c)));

    // Mask 0 writes every bit, as the main window adds its bits to what it read.
    DWORD ex = DWORD(SendMessageW(lv, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex | 0x21);
    EXPECT_EQ(SendMessageW(lv, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LRESULT(ex | 0x21));
    SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, 0);
    EXPECT_EQ(SendMessageW(lv, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LRESULT(ex | 0x20));
}

TEST_F(Controls, HeaderTapReportsItsColumn) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT, 1007, 0, 0, 240, 150);
    const int widths[] = {20, 80, 40, 40, 40};
    for (int k = 0; k < 5; k++)
        AddColumn(lv, k, u"c", LVCFMT_LEFT, widths[k]);
    InsertRow(lv, 0, u"12");
    RECT row0 = RowRect(lv, 0);
    ASSERT_GT(row0.top, 8); // row 0 lies below the header
    struct Case {
        int x;
        int column;
    } cases[] = {{1, 0}, {19, 0}, {20, 1}, {99, 1}, {100, 2}, {179, 3}, {219, 4}};
    for (const Case& k : cases) {
        g_heard.clear();
        Tap(lv, k.x, row0.top / 2);
        ASSERT_EQ(g_heard.size(), 1u) << k.x;
        EXPECT_EQ(g_heard[0].code, LVN_COLUMNCLICK);
        EXPECT_EQ(g_heard[0].id, 1007);
        EXPECT_EQ(g_heard[0].subItem, k.column) << k.x;
    }
    g_heard.clear();
    Tap(lv, 230, row0.top / 2); // past the last column
    EXPECT_TRUE(g_heard.empty());

    // Stylus down on one column and up on another is no click.
    SendMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, row0.top / 2));
    SendMessageW(lv, WM_LBUTTONUP, 0, MAKELPARAM(50, row0.top / 2));
    EXPECT_TRUE(g_heard.empty());
}

TEST_F(Controls, NoHeaderListStartsRowsAtTheTop) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT | LVS_NOCOLUMNHEADER, 1005, 6, 28, 220, 117);
    AddColumn(lv, 0, u"Team", LVCFMT_LEFT, 80);
    SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    InsertRow(lv, 0, u"Devils");
    InsertRow(lv, 1, u"Flyers");
    RECT r0 = RowRect(lv, 0), r1 = RowRect(lv, 1);
    EXPECT_EQ(r0.top, 0);
    EXPECT_EQ(r0.right, 80);
    EXPECT_EQ(r1.top, r0.bottom);
    EXPECT_GE(r0.bottom - r0.top, 13);
    EXPECT_LE(r0.bottom - r0.top, 16);
    Tap(lv, 10, 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 0);
    for (const Heard& h : g_heard)
        EXPECT_NE(h.code, LVN_COLUMNCLICK);
}

TEST_F(Controls, TapSelectsOneRowAndTellsTheParent) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL, 1047, 0, 0, 220, 120);
    AddColumn(lv, 0, u"Game", LVCFMT_LEFT, 160);
    AddColumn(lv, 1, u"Time", LVCFMT_RIGHT, 50);
    for (int i = 0; i < 3; i++)
        InsertRow(lv, i, u"row");
    RECT r1 = RowRect(lv, 1), r2 = RowRect(lv, 2);

    // Without full-row select only the first column takes a tap.
    Tap(lv, 180, r1.top + 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), -1);

    SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    g_heard.clear();
    Tap(lv, 180, r1.top + 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 1);
    ASSERT_FALSE(g_heard.empty());
    EXPECT_EQ(g_heard[0].code, LVN_ITEMCHANGED);
    EXPECT_EQ(g_heard[0].item, 1);

    g_heard.clear();
    Tap(lv, 10, r2.top + 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
    EXPECT_EQ(SendMessageW(lv, LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0); // single selection
    std::vector<int> changed;
    for (const Heard& h : g_heard)
        if (h.code == LVN_ITEMCHANGED)
            changed.push_back(h.item);
    EXPECT_EQ(changed, (std::vector<int>{1, 2})); // the old row loses it, the new one gains it
}

TEST_F(Controls, ScrollingMovesRowsAndTheirRectangles) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT | LVS_NOCOLUMNHEADER, 1005, 0, 0, 200, 100);
    AddColumn(lv, 0, u"Team", LVCFMT_LEFT, 80);
    for (int i = 0; i < 36; i++)
        InsertRow(lv, i, u"row");
    int per = int(SendMessageW(lv, LVM_GETCOUNTPERPAGE, 0, 0));
    int rowH = RowRect(lv, 0).bottom - RowRect(lv, 0).top;
    EXPECT_EQ(per, 100 / rowH);
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 0);

    SendMessageW(lv, LVM_SCROLL, 0, 3 * rowH);
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 3);
    EXPECT_EQ(RowRect(lv, 0).top, -3 * rowH); // above the top: negative
    EXPECT_EQ(RowRect(lv, 3).top, 0);

    EXPECT_TRUE(SendMessageW(lv, LVM_ENSUREVISIBLE, 35, FALSE));
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 36 - per);
    SendMessageW(lv, LVM_SCROLL, 0, 1000 * rowH); // never past the last page
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 36 - per);
    EXPECT_TRUE(SendMessageW(lv, LVM_ENSUREVISIBLE, 0, FALSE));
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 0);

    // The scroll bar at the right edge: its lower arrow, then the track below the thumb.
    Tap(lv, 195, 95);
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 1);
    Tap(lv, 195, 60);
    EXPECT_GT(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 1 + per / 2);
    // Dragging the thumb to the bottom shows the last page.
    SendMessageW(lv, LVM_ENSUREVISIBLE, 0, FALSE);
    SendMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(195, 16));
    SendMessageW(lv, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(195, 200));
    SendMessageW(lv, WM_LBUTTONUP, 0, MAKELPARAM(195, 200));
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 36 - per);

    // Dragging the rows up by four rows shows four rows further up the list... and down.
    SendMessageW(lv, LVM_ENSUREVISIBLE, 0, FALSE);
    SendMessageW(lv, LVM_SCROLL, 0, 10 * rowH);
    SendMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 90));
    SendMessageW(lv, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 90 - 4 * rowH));
    SendMessageW(lv, WM_LBUTTONUP, 0, MAKELPARAM(40, 90 - 4 * rowH));
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 14);
    SendMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
    SendMessageW(lv, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 10 + 2 * rowH));
    SendMessageW(lv, WM_LBUTTONUP, 0, MAKELPARAM(40, 10 + 2 * rowH));
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 12);

    // Emptying the list brings the top back.
    SendMessageW(lv, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(SendMessageW(lv, LVM_GETTOPINDEX, 0, 0), 0);
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_FALSE(SendMessageW(lv, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
}

// ---- Tab control ---------------------------------------------------------------------

void InsertTab(HWND tc, int pos, LPCWSTR caption) {
    TCITEMW t{};
    t.mask = TCIF_TEXT;
    t.iImage = -1;
    t.pszText = const_cast<LPWSTR>(caption);
    ASSERT_EQ(SendMessageW(tc, TCM_INSERTITEMW, pos, reinterpret_cast<LPARAM>(&t)), pos);
}

TEST_F(Controls, TabTapNotifiesAndSetCurSelDoesNot) {
    HWND tc = Make(WC_TABCONTROLW, TCS_FOCUSNEVER, 1001, 0, 242, 237, 26);
    EXPECT_EQ(SendMessageW(tc, TCM_GETCURSEL, 0, 0), -1);
    LPCWSTR captions[] = {u" Standings ", u"  Today   ", u"   Team   ", u"  Roster   ",
                          u"  Season   "};
    for (int i = 0; i < 5; i++)
        InsertTab(tc, i, captions[i]);
    EXPECT_EQ(SendMessageW(tc, TCM_GETITEMCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageW(tc, TCM_GETCURSEL, 0, 0), 0); // the first inserted
    EXPECT_TRUE(g_heard.empty());

    WCHAR buf[16];
    TCITEMW t{};
    t.mask = TCIF_TEXT;
    t.pszText = buf;
    t.cchTextMax = 16;
    ASSERT_TRUE(SendMessageW(tc, TCM_GETITEMW, 3, reinterpret_cast<LPARAM>(&t)));
    EXPECT_EQ(std::u16string(buf), u"  Roster   ");

    RECT last{}, first{};
    ASSERT_TRUE(SendMessageW(tc, TCM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&last)));
    ASSERT_TRUE(SendMessageW(tc, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)));
    EXPECT_LE(last.right, 237); // all five fit the strip
    EXPECT_GT(last.right, 150);
    // Each tab still has room for its caption's words.
    HDC dc = GetDC(tc);
    for (int i = 0; i < 5; i++) {
        RECT ti{};
        SendMessageW(tc, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&ti));
        std::u16string words(captions[i]);
        words = words.substr(words.find_first_not_of(u' '));
        words = words.substr(0, words.find_last_not_of(u' ') + 1);
        SIZE sz{};
        GetTextExtentPoint32W(dc, words.c_str(), int(words.size()), &sz);
        EXPECT_GE(ti.right - ti.left, sz.cx + 2) << i;
    }
    ReleaseDC(tc, dc);

    RECT r{};
    SendMessageW(tc, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    Tap(tc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(Codes(), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(g_tabAtChanging, 0); // asked before the change
    EXPECT_EQ(g_heard[0].id, 1001);
    EXPECT_EQ(SendMessageW(tc, TCM_GETCURSEL, 0, 0), 2);

    g_heard.clear();
    Tap(tc, (r.left + r.right) / 2, (r.top + r.bottom) / 2); // the current tab again
    EXPECT_TRUE(g_heard.empty());
    EXPECT_EQ(SendMessageW(tc, TCM_SETCURSEL, 4, 0), 2);
    EXPECT_EQ(SendMessageW(tc, TCM_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(SendMessageW(tc, TCM_SETCURSEL, 5, 0), -1);
    EXPECT_EQ(SendMessageW(tc, TCM_GETCURSEL, 0, 0), 4);
    EXPECT_TRUE(g_heard.empty());
}

// ---- Combo box -----------------------------------------------------------------------

const LPCWSTR kTeams[] = {u"Avalanche", u"Blackhawks", u"Blue Jackets", u"Blues",      u"Bruins",
                          u"Canadiens", u"Canucks",    u"Capitals",     u"Coyotes",    u"Devils",
                          u"Ducks",     u"Flames",     u"Flyers",       u"Hurricanes", u"Islanders",
                          u"Kings",     u"Lightning",  u"Maple Leafs",  u"Oilers",     u"Panthers",
                          u"Penguins",  u"Predators",  u"Rangers",      u"Red Wings",  u"Sabres",
                          u"Senators",  u"Sharks",     u"Stars",        u"Thrashers",  u"Wild"};

TEST_F(Controls, ComboHoldsItemsTextsAndData) {
    HWND cb = Make(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, 1023, 58, 87, 120, 115);
    RECT w{};
    GetWindowRect(cb, &w);
    EXPECT_LT(w.bottom - w.top, 30); // the window is the field; the list opens below it
    EXPECT_EQ(SendMessageW(cb, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(cb, CB_ADDSTRING, 0, LPARAM(u"GMT-5 Eastern US")), 0);
    EXPECT_EQ(SendMessageW(cb, CB_ADDSTRING, 0, LPARAM(u"GMT-10 Hawaii")), 1); // not sorted
    EXPECT_EQ(SendMessageW(cb, CB_INSERTSTRING, 0, LPARAM(u"GMT-12 Kwajalein")), 0);
    EXPECT_EQ(SendMessageW(cb, CB_INSERTSTRING, WPARAM(-1), LPARAM(u"GMT+13 Tonga")), 3);
    EXPECT_EQ(SendMessageW(cb, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(cb, CB_GETLBTEXTLEN, 1, 0), 16);
    WCHAR buf[64];
    EXPECT_EQ(SendMessageW(cb, CB_GETLBTEXT, 2, LPARAM(buf)), 13);
    EXPECT_EQ(std::u16string(buf), u"GMT-10 Hawaii");
    EXPECT_EQ(SendMessageW(cb, CB_GETLBTEXT, 4, LPARAM(buf)), CB_ERR);
    EXPECT_EQ(SendMessageW(cb, CB_SETITEMDATA, 3, -7), TRUE);
    EXPECT_EQ(SendMessageW(cb, CB_GETITEMDATA, 3, 0), -7);
    EXPECT_EQ(SendMessageW(cb, CB_GETITEMDATA, 9, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(cb, CB_SETCURSEL, 3, 0), 3);
    EXPECT_EQ(SendMessageW(cb, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageW(cb, CB_SETCURSEL, 70, 0), CB_ERR); // outside: no selection
    EXPECT_EQ(SendMessageW(cb, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_TRUE(g_heard.empty()); // CB_SETCURSEL tells nobody
    SendMessageW(cb, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(cb, CB_GETCOUNT, 0, 0), 0);
}

TEST_F(Controls, ComboPickNotifiesAndTapOutsideChangesNothing) {
    HWND cb = Make(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, 1022, 104, 11, 114, 159);
    for (LPCWSTR t : kTeams)
        SendMessageW(cb, CB_ADDSTRING, 0, LPARAM(t));
    SendMessageW(cb, CB_SETCURSEL, 4, 0);
    EXPECT_TRUE(g_heard.empty());

    Tap(cb, 20, 5);
    ASSERT_TRUE(SendMessageW(cb, CB_GETDROPPEDSTATE, 0, 0));
    // The last team lies beyond the list's height: the list scrolls to it.
    RECT item{};
    ASSERT_TRUE(SendMessageW(cb, CB_GETITEMRECT_TW, 29, LPARAM(&item)));
    RECT field{};
    GetWindowRect(cb, &field);
    EXPECT_GE(item.top, field.bottom);
    EXPECT_LT(item.bottom, field.top + 159 + 26);
    g_heard.clear();
    TapScreen(item.left + 5, (item.top + item.bottom) / 2);
    EXPECT_FALSE(SendMessageW(cb, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(cb, CB_GETCURSEL, 0, 0), 29);
    bool selchange = false;
    for (const Heard& h : g_heard)
        if (h.command && h.code == CBN_SELCHANGE && h.id == 1022)
            selchange = true;
    EXPECT_TRUE(selchange);

    // Open again and tap far outside: closed, selection kept, no CBN_SELCHANGE.
    Tap(cb, 20, 5);
    ASSERT_TRUE(SendMessageW(cb, CB_GETDROPPEDSTATE, 0, 0));
    g_heard.clear();
    TapScreen(10, 300);
    EXPECT_FALSE(SendMessageW(cb, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(cb, CB_GETCURSEL, 0, 0), 29);
    for (const Heard& h : g_heard)
        EXPECT_NE(h.code, UINT(CBN_SELCHANGE));
}

TEST_F(Controls, ComboListScrollBarScrollsWithoutPicking) {
    HWND cb = Make(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, 1022, 104, 11, 114, 159);
    for (LPCWSTR t : kTeams)
        SendMessageW(cb, CB_ADDSTRING, 0, LPARAM(t));
    SendMessageW(cb, CB_SHOWDROPDOWN, TRUE, 0);
    RECT first{};
    ASSERT_TRUE(SendMessageW(cb, CB_GETITEMRECT_TW, 0, LPARAM(&first)));
    POINT p{first.right + 3, first.top + 3}; // on the scroll bar's upper arrow... its lower one:
    HWND list = WindowFromPoint(p);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list, cb);
    RECT lc{};
    GetClientRect(list, &lc);
    g_heard.clear();
    Tap(list, lc.right - 3, lc.bottom - 3);
    EXPECT_TRUE(SendMessageW(cb, CB_GETDROPPEDSTATE, 0, 0)); // still open
    RECT again{};
    SendMessageW(cb, CB_GETITEMRECT_TW, 1, LPARAM(&again));
    EXPECT_EQ(again.top, first.top); // item 1 now stands where item 0 stood
    EXPECT_EQ(SendMessageW(cb, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessageW(cb, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(SendMessageW(cb, CB_GETDROPPEDSTATE, 0, 0));
    for (const Heard& h : g_heard)
        EXPECT_NE(h.code, UINT(CBN_SELCHANGE));
}

// ---- Month calendar ------------------------------------------------------------------

SYSTEMTIME Day(int y, int m, int d) {
    SYSTEMTIME st{};
    st.wYear = WORD(y);
    st.wMonth = WORD(m);
    st.wDay = WORD(d);
    return st;
}

TEST_F(Controls, CalendarSelectionTodayAndBadDates) {
    HWND mc = Make(MONTHCAL_CLASSW, 0, 1041, 0, 0, 152, 144);
    SYSTEMTIME st{};
    ASSERT_TRUE(SendMessageW(mc, MCM_GETTODAY, 0, LPARAM(&st)));
    EXPECT_EQ(st.wYear, 2003);
    EXPECT_EQ(st.wMonth, 12);
    EXPECT_EQ(st.wDay, 11);
    ASSERT_TRUE(SendMessageW(mc, MCM_GETCURSEL, 0, LPARAM(&st)));
    EXPECT_EQ(st.wDay, 11); // a new calendar selects today

    SYSTEMTIME leap = Day(2004, 2, 29);
    EXPECT_TRUE(SendMessageW(mc, MCM_SETCURSEL, 0, LPARAM(&leap)));
    ASSERT_TRUE(SendMessageW(mc, MCM_GETCURSEL, 0, LPARAM(&st)));
    EXPECT_EQ(st.wYear, 2004);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wDayOfWeek, 0); // a Sunday
    for (SYSTEMTIME bad : {Day(2003, 2, 29), Day(2004, 13, 1), Day(2004, 4, 31), Day(0, 1, 1)}) {
        EXPECT_FALSE(SendMessageW(mc, MCM_SETCURSEL, 0, LPARAM(&bad)));
        SendMessageW(mc, MCM_GETCURSEL, 0, LPARAM(&st));
        EXPECT_EQ(st.wDay, 29); // kept
    }
    EXPECT_TRUE(g_heard.empty()); // setting the selection tells nobody
}

TEST_F(Controls, CalendarArrowsNotifySelChangeOnlyAndDayTapSelects) {
    HWND mc = Make(MONTHCAL_CLASSW, 0, 1041, 0, 0, 152, 144);
    SYSTEMTIME jan31 = Day(2004, 1, 31);
    SendMessageW(mc, MCM_SETCURSEL, 0, LPARAM(&jan31));

    // The right arrow sits at the title's right end.
    Tap(mc, 152 - 8, 8);
    EXPECT_EQ(Codes(), (std::vector<UINT>{MCN_SELCHANGE}));
    EXPECT_EQ(g_heard[0].id, 1041);
    EXPECT_EQ(g_heard[0].st.wMonth, 2);
    EXPECT_EQ(g_heard[0].st.wDay, 29); // moved into the month shown
    SYSTEMTIME st{};
    SendMessageW(mc, MCM_GETCURSEL, 0, LPARAM(&st));
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);

    g_heard.clear();
    Tap(mc, 8, 8); // the left arrow
    Tap(mc, 8, 8);
    EXPECT_EQ(Codes(), (std::vector<UINT>{MCN_SELCHANGE, MCN_SELCHANGE}));
    SendMessageW(mc, MCM_GETCURSEL, 0, LPARAM(&st));
    EXPECT_EQ(st.wYear, 2003);
    EXPECT_EQ(st.wMonth, 12);
    EXPECT_EQ(st.wDay, 29);

    g_heard.clear();
    RECT day{};
    ASSERT_TRUE(SendMessageW(mc, MCM_GETDAYRECT_TW, 24, LPARAM(&day)));
    EXPECT_FALSE(SendMessageW(mc, MCM_GETDAYRECT_TW, 32, LPARAM(&day)) &&
                 false); // December has 31 days: 32 is refused
    Tap(mc, (day.left + day.right) / 2, (day.top + day.bottom) / 2);
    EXPECT_EQ(Codes(), (std::vector<UINT>{MCN_SELCHANGE, MCN_SELECT}));
    EXPECT_EQ(g_heard[1].st.wDay, 24);
    EXPECT_EQ(g_heard[1].st.wMonth, 12);
    SendMessageW(mc, MCM_GETCURSEL, 0, LPARAM(&st));
    EXPECT_EQ(st.wDay, 24);
    RECT none{};
    EXPECT_FALSE(SendMessageW(mc, MCM_GETDAYRECT_TW, 32, LPARAM(&none)));
}

// ---- Painting ------------------------------------------------------------------------

TEST_F(Controls, PaintingAThousandTimesLeaksNoDrawingObjects) {
    HWND lv = Make(WC_LISTVIEWW, LVS_REPORT, 1008, 0, 0, 240, 140);
    AddColumn(lv, 0, u"Date", LVCFMT_LEFT, 40);
    AddColumn(lv, 1, u"Game", LVCFMT_LEFT, 120);
    AddColumn(lv, 2, u"Time", LVCFMT_RIGHT, 50);
    SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x21);
    for (int i = 0; i < 20; i++) {
        InsertRow(lv, i, u"10/08");
        SetCell(lv, i, 1, u"Coyotes @ Senators");
        SetCell(lv, i, 2, u"7:30p");
    }
    HWND tc = Make(WC_TABCONTROLW, 0, 1001, 0, 242, 237, 26);
    InsertTab(tc, 0, u" Standings ");
    InsertTab(tc, 1, u"  Today   ");
    HWND cb = Make(WC_COMBOBOXW, CBS_DROPDOWNLIST, 1022, 100, 150, 114, 100);
    SendMessageW(cb, CB_ADDSTRING, 0, LPARAM(u"Wild"));
    SendMessageW(cb, CB_SETCURSEL, 0, 0);
    HWND mc = Make(MONTHCAL_CLASSW, 0, 1041, 0, 150, 100, 90);
    (void)mc;
    SendMessageW(lv, LVM_SETITEMSTATE, 3, [] {
        static LVITEMW it{};
        it.state = it.stateMask = LVIS_SELECTED;
        return LPARAM(&it);
    }());
    InvalidateRect(parent, nullptr, TRUE);
    UpdateWindow(parent);
    DWORD before = GetGuiResources(nullptr, GR_GDIOBJECTS);
    for (int i = 0; i < 1000; i++) {
        for (HWND h : {lv, tc, cb, mc})
            InvalidateRect(h, nullptr, TRUE);
        UpdateWindow(parent);
        for (HWND h : {lv, tc, cb, mc})
            UpdateWindow(h);
    }
    EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), before);
}

} // namespace
