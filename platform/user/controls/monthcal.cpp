// The month calendar: one month with its title and arrows, the weekday initials, six weeks
// of days, the selected day and today marked. The arrows move the month (and the selection
// with it); a tap on a day picks it.
#include "platform/user/controls/common.h"
#include "platform/locale/locale.h"

#include <algorithm>
#include <cstdio>

namespace tw_controls {
namespace {

struct Date {
    int y = 2003, m = 1, d = 1;
    bool operator==(const Date& o) const { return y == o.y && m == o.m && d == o.d; }
};

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int DaysIn(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}
// Days since 1 January 1970 of a proleptic Gregorian date.
long DayNumber(const Date& dt) {
    int y = dt.y - (dt.m <= 2 ? 1 : 0);
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (dt.m + (dt.m > 2 ? -3 : 9)) + 2) / 5 + dt.d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}
int WeekDay(const Date& dt) { // 0 Sunday
    long n = DayNumber(dt);
    return int((n % 7 + 11) % 7); // 1 January 1970 was a Thursday
}
Date AddDays(const Date& dt, int days) {
    Date r = dt;
    r.d += days;
    while (r.d < 1) {
        if (--r.m < 1) {
            r.m = 12;
            r.y--;
        }
        r.d += DaysIn(r.y, r.m);
    }
    while (r.d > DaysIn(r.y, r.m)) {
        r.d -= DaysIn(r.y, r.m);
        if (++r.m > 12) {
            r.m = 1;
            r.y++;
        }
    }
    return r;
}

constexpr int kMinYear = 1753, kMaxYear = 9998;

bool Valid(const SYSTEMTIME& st) {
    return st.wYear >= kMinYear && st.wYear <= kMaxYear && st.wMonth >= 1 && st.wMonth <= 12 &&
           st.wDay >= 1 && st.wDay <= DaysIn(st.wYear, st.wMonth);
}
SYSTEMTIME ToSystemTime(const Date& dt) {
    SYSTEMTIME st{};
    st.wYear = WORD(dt.y);
    st.wMonth = WORD(dt.m);
    st.wDay = WORD(dt.d);
    st.wDayOfWeek = WORD(WeekDay(dt));
    return st;
}
Date Today() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    if (!Valid(st))
        return Date{2003, 1, 1};
    return Date{st.wYear, st.wMonth, st.wDay};
}

const char16_t* const kMonths[] = {u"January",   u"February", u"March",    u"April",
                                   u"May",       u"June",     u"July",     u"August",
                                   u"September", u"October",  u"November", u"December"};
const char16_t kWeekInitials[] = u"SMTWTFS";
constexpr COLORREF kTodayMark = RGB(255, 0, 0);

struct MonthCal {
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    HFONT bold = nullptr; // the title's font, made once
    int shownY = 2003, shownM = 1;
    Date sel;
    enum Press { None, Days, TodayLine } press = None;

    struct Geometry {
        RECT client, title, prev, next;
        int weekTop, gridTop, rowH, colW, gridLeft, todayTop;
    };

    Geometry Layout() const {
        Geometry g{};
        GetClientRect(hwnd, &g.client);
        int w = g.client.right, h = g.client.bottom;
        int fh = FontHeight(font);
        int titleH = fh + 6;
        g.title = RECT{0, 0, w, titleH};
        g.prev = RECT{2, 2, 2 + titleH, titleH - 2};
        g.next = RECT{w - 2 - titleH, 2, w - 2, titleH - 2};
        g.weekTop = titleH;
        g.gridTop = titleH + fh + 2;
        // The "Today:" line only when the six weeks still get rows of a full line each.
        int todayH = fh + 2;
        if ((h - todayH - g.gridTop) / 6 < fh)
            todayH = 0;
        g.todayTop = h - todayH;
        g.rowH = std::max(1, (g.todayTop - g.gridTop) / 6);
        g.colW = std::max(1, w / 7);
        g.gridLeft = (w - 7 * g.colW) / 2;
        return g;
    }

    Date FirstCell() const {
        Date first{shownY, shownM, 1};
        return AddDays(first, -WeekDay(first));
    }

    // The day in the cell under (x, y), false when there is none.
    bool DayAt(int x, int y, Date* out) const {
        Geometry g = Layout();
        if (y < g.gridTop || y >= g.gridTop + 6 * g.rowH || x < g.gridLeft ||
            x >= g.gridLeft + 7 * g.colW)
            return false;
        int row = (y - g.gridTop) / g.rowH, col = (x - g.gridLeft) / g.colW;
        *out = AddDays(FirstCell(), row * 7 + col);
        return out->y >= kMinYear && out->y <= kMaxYear;
    }

    RECT CellRect(const Geometry& g, int index) const {
        int row = index / 7, col = index % 7;
        int x = g.gridLeft + col * g.colW, y = g.gridTop + row * g.rowH;
        return RECT{x, y, x + g.colW, y + g.rowH};
    }

    void Invalidate() { InvalidateRect(hwnd, nullptr, FALSE); }

    void NotifySel(UINT code) {
        NMSELCHANGE nm{};
        nm.stSelStart = ToSystemTime(sel);
        nm.stSelEnd = nm.stSelStart;
        NotifyParent(hwnd, code, &nm.nmhdr);
    }

    // The arrows: another month, the selection moved into it on the same day (or the
    // month's last day).
    void Shift(int months) {
        int idx = shownY * 12 + (shownM - 1) + months;
        int y = idx / 12, m = idx % 12 + 1;
        if (y < kMinYear || y > kMaxYear)
            return;
        shownY = y;
        shownM = m;
        sel = Date{y, m, std::min(sel.d, DaysIn(y, m))};
        Invalidate();
        NotifySel(MCN_SELCHANGE);
    }

    void Choose(const Date& d) {
        bool changed = !(d == sel);
        sel = d;
        shownY = d.y;
        shownM = d.m;
        Invalidate();
        if (changed)
            NotifySel(MCN_SELCHANGE);
    }

    void Paint(HDC dc) {
        Geometry g = Layout();
        HGDIOBJ oldFont = SelectObject(dc, bold);
        SetBkMode(dc, TRANSPARENT);
        Fill(dc, 0, 0, g.client.right, g.client.bottom, kWindow);

        SetTextColor(dc, kText);
        char16_t title[40];
        char year[8];
        std::snprintf(year, sizeof year, "%d", shownY);
        std::u16string t = kMonths[shownM - 1];
        t += u' ';
        for (const char* p = year; *p; p++)
            t += char16_t(*p);
        std::copy(t.begin(), t.end(), title);
        title[t.size()] = 0;
        RECT tr = g.title;
        DrawTextW(dc, title, -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        for (const RECT* r : {&g.prev, &g.next}) {
            RaisedBox(dc, *r);
            Frame(dc, *r, kShadow);
        }
        DrawArrow(dc, g.prev, Arrow::Left, kText);
        DrawArrow(dc, g.next, Arrow::Right, kText);

        SelectObject(dc, ControlFont(font));
        for (int i = 0; i < 7; i++) {
            RECT r{g.gridLeft + i * g.colW, g.weekTop, g.gridLeft + (i + 1) * g.colW,
                   g.gridTop - 1};
            DrawTextW(dc, kWeekInitials + i, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        HLine(dc, g.gridLeft + 2, g.gridLeft + 7 * g.colW - 2, g.gridTop - 2, kShadow);

        Date today = Today();
        Date d = FirstCell();
        for (int i = 0; i < 42; i++, d = AddDays(d, 1)) {
            RECT r = CellRect(g, i);
            bool inMonth = d.m == shownM && d.y == shownY;
            bool isSel = d == sel && inMonth;
            if (isSel)
                Fill(dc, r.left + 1, r.top, r.right - 1, r.bottom, kSelection);
            if (d == today)
                Frame(dc, RECT{r.left, r.top, r.right, r.bottom}, kTodayMark);
            SetTextColor(dc, isSel ? kSelectionText : inMonth ? kText : kGrayText);
            char16_t num[4];
            int n = 0;
            if (d.d >= 10)
                num[n++] = char16_t(u'0' + d.d / 10);
            num[n++] = char16_t(u'0' + d.d % 10);
            num[n] = 0;
            DrawTextW(dc, num, n, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }

        // "Today:" with the date, under the grid, as a shortcut back to today.
        if (g.todayTop >= g.client.bottom) {
            SelectObject(dc, oldFont);
            return;
        }
        SetTextColor(dc, kText);
        char buf[32];
        std::snprintf(buf, sizeof buf, "Today: %d/%d/%02d", today.m, today.d, today.y % 100);
        std::u16string line;
        for (const char* p = buf; *p; p++)
            line += char16_t(*p);
        SelectObject(dc, bold);
        int lw = TextWidth(dc, line);
        int x = (g.client.right - lw - 14) / 2;
        Frame(dc, RECT{x, g.todayTop + 2, x + 10, g.client.bottom - 2}, kTodayMark);
        RECT lr{x + 14, g.todayTop, g.client.right, g.client.bottom};
        DrawTextW(dc, line.c_str(), int(line.size()), &lr, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
    }

    void Down(int x, int y) {
        Geometry g = Layout();
        auto in = [&](const RECT& r) {
            return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        };
        if (in(g.prev)) {
            Shift(-1);
            return;
        }
        if (in(g.next)) {
            Shift(+1);
            return;
        }
        Date d;
        if (DayAt(x, y, &d)) {
            press = Days;
            SetCapture(hwnd);
            Choose(d);
            return;
        }
        if (y >= g.todayTop && g.todayTop < g.client.bottom) {
            press = TodayLine;
            SetCapture(hwnd);
        }
    }

    void Move(int x, int y) {
        Date d;
        if (press == Days && DayAt(x, y, &d) && d.m == shownM && d.y == shownY)
            Choose(d);
    }

    void Up(int x, int y) {
        Press was = press;
        press = None;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        Geometry g = Layout();
        if (was == TodayLine && y >= g.todayTop && y < g.client.bottom && x >= 0 &&
            x < g.client.right)
            Choose(Today());
        else if (was != Days)
            return;
        NotifySel(MCN_SELECT);
    }

    BOOL DayRect(int day, RECT* out) const {
        if (!out || day < 1 || day > DaysIn(shownY, shownM))
            return FALSE;
        Geometry g = Layout();
        int index = WeekDay(Date{shownY, shownM, 1}) + day - 1;
        *out = CellRect(g, index);
        return TRUE;
    }
};

LRESULT MonthCalProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    MonthCal* mc = StateOf<MonthCal>(hwnd);
    if (!mc) {
        if (msg != WM_CREATE)
            return DefWindowProcW(hwnd, msg, wp, lp);
        mc = new MonthCal;
        mc->hwnd = hwnd;
        mc->sel = Today();
        mc->shownY = mc->sel.y;
        mc->shownM = mc->sel.m;
        mc->bold = CreateFontW(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                               u"MS Sans Serif");
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(mc));
        return 0;
    }
    switch (msg) {
        case WM_DESTROY:
            SetWindowLongPtrW(hwnd, 0, 0);
            DeleteObject(mc->bold);
            delete mc;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc)
                mc->Paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_SETFONT:
            mc->font = reinterpret_cast<HFONT>(wp);
            mc->Invalidate();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(mc->font);
        case WM_LBUTTONDOWN: mc->Down(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_MOUSEMOVE: mc->Move(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_LBUTTONUP: mc->Up(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd)
                mc->press = MonthCal::None;
            return 0;
        case MCM_SETCURSEL: {
            auto* st = reinterpret_cast<const SYSTEMTIME*>(lp);
            if (!st || !Valid(*st))
                return FALSE;
            mc->sel = Date{st->wYear, st->wMonth, st->wDay};
            mc->shownY = mc->sel.y;
            mc->shownM = mc->sel.m;
            mc->Invalidate();
            return TRUE;
        }
        case MCM_GETCURSEL: {
            auto* st = reinterpret_cast<SYSTEMTIME*>(lp);
            if (!st)
                return FALSE;
            *st = ToSystemTime(mc->sel);
            return TRUE;
        }
        case MCM_GETTODAY: {
            auto* st = reinterpret_cast<SYSTEMTIME*>(lp);
            if (!st)
                return FALSE;
            *st = ToSystemTime(Today());
            return TRUE;
        }
        case MCM_GETDAYRECT_TW: return mc->DayRect(int(wp), reinterpret_cast<RECT*>(lp));
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterMonthCalendar() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = MonthCalProc;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = MONTHCAL_CLASSW;
    RegisterClassW(&wc);
}

} // namespace tw_controls
