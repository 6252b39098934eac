// The local date, date and time pictures, and OLE automation dates.
#include "platform/locale/locale.h"

#include <cmath>
#include <string>
#include <vector>

#define ERROR_INVALID_FLAGS 1004L

void GetLocalTime(SYSTEMTIME* st) {
    if (st)
        CurrentClock()->LocalTime(st);
}

namespace {

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 1 January of year 1 (proleptic Gregorian) to the given date.
long DayNumber(int y, int m, int d) {
    long yy = y - 1;
    long n = yy * 365 + yy / 4 - yy / 100 + yy / 400;
    for (int i = 1; i < m; ++i)
        n += DaysInMonth(y, i);
    return n + d - 1;
}

// 0 is Sunday.
int DayOfWeek(int y, int m, int d) {
    return (int)((DayNumber(y, m, d) + 1) % 7);
}

bool ValidDate(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= DaysInMonth(t.wYear, t.wMonth);
}

bool ValidTime(const SYSTEMTIME& t) {
    return t.wHour <= 23 && t.wMinute <= 59 && t.wSecond <= 59 && t.wMilliseconds <= 999;
}

const char* const kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};

// One piece of a picture: a run of one element letter, or literal text.
struct Piece {
    WCHAR letter; // 0 for literal text
    int count;
    std::u16string text;
};

std::vector<Piece> Split(LPCWSTR picture, LPCWSTR letters) {
    std::vector<Piece> pieces;
    auto literal = [&](WCHAR c) {
        if (pieces.empty() || pieces.back().letter)
            pieces.push_back({0, 0, {}});
        pieces.back().text += c;
    };
    for (LPCWSTR p = picture; *p;) {
        WCHAR c = *p;
        if (c == u'\'') {
            ++p;
            if (*p == u'\'') { // '' is one quote
                literal(u'\'');
                ++p;
                continue;
            }
            while (*p) {
                if (*p == u'\'') {
                    if (p[1] == u'\'') {
                        literal(u'\'');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                literal(*p++);
            }
            continue;
        }
        bool element = false;
        for (LPCWSTR l = letters; *l; ++l)
            element |= *l == c;
        if (!element) {
            literal(c);
            ++p;
            continue;
        }
        int n = 0;
        while (*p == c) {
            ++n;
            ++p;
        }
        pieces.push_back({c, n, {}});
    }
    return pieces;
}

// Leaves out every element for which drop is true together with the literal text that
// joins it to the element before it (or, for a leading element, to the one after it).
template <class Pred> void Drop(std::vector<Piece>& pieces, Pred drop) {
    for (size_t i = 0; i < pieces.size();) {
        if (!pieces[i].letter || !drop(pieces[i].letter)) {
            ++i;
            continue;
        }
        size_t from = i, to = i + 1;
        while (from > 0 && !pieces[from - 1].letter)
            --from;
        if (from == 0)
            while (to < pieces.size() && !pieces[to].letter)
                ++to;
        pieces.erase(pieces.begin() + from, pieces.begin() + to);
        i = from;
    }
}

void Number(std::u16string& out, int value, int digits) {
    std::string s = std::to_string(value);
    while ((int)s.size() < digits)
        s.insert(s.begin(), '0');
    out.append(s.begin(), s.end());
}

void Ascii(std::u16string& out, const char* s, size_t len) {
    out.append(s, s + len);
}

int Deliver(const std::u16string& text, LPWSTR out, int cch) {
    int need = (int)text.size() + 1;
    if (cch < 0 || (cch > 0 && !out)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (cch == 0)
        return need;
    if (cch < need) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = text[i];
    out[text.size()] = 0;
    return need;
}

} // namespace

int GetDateFormatW(LCID, DWORD flags, const SYSTEMTIME* date, LPCWSTR picture, LPWSTR out,
                   int cch) {
    // A picture takes no flags; without one, one of the two standard forms is chosen.
    bool flagsOk =
        picture ? flags == 0 : flags == 0 || flags == DATE_SHORTDATE || flags == DATE_LONGDATE;
    if (!flagsOk) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (!picture)
        picture = flags & DATE_LONGDATE ? u"dddd, MMMM d, yyyy" : u"M/d/yyyy";
    SYSTEMTIME t;
    if (date)
        t = *date;
    else
        GetLocalTime(&t);
    if (!ValidDate(t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string text;
    for (const Piece& p : Split(picture, u"dMyg")) {
        switch (p.letter) {
            case 0: text += p.text; break;
            case u'd':
                if (p.count <= 2) {
                    Number(text, t.wDay, p.count);
                } else {
                    const char* name = kDayNames[DayOfWeek(t.wYear, t.wMonth, t.wDay)];
                    Ascii(text, name, p.count == 3 ? 3 : std::char_traits<char>::length(name));
                }
                break;
            case u'M':
                if (p.count <= 2) {
                    Number(text, t.wMonth, p.count);
                } else {
                    const char* name = kMonthNames[t.wMonth - 1];
                    Ascii(text, name, p.count == 3 ? 3 : std::char_traits<char>::length(name));
                }
                break;
            case u'y':
                if (p.count <= 2)
                    Number(text, t.wYear % 100, p.count);
                else
                    Number(text, t.wYear, 4);
                break;
            case u'g': Ascii(text, "A.D.", 4); break;
        }
    }
    return Deliver(text, out, cch);
}

int GetTimeFormatW(LCID, DWORD flags, const SYSTEMTIME* time, LPCWSTR picture, LPWSTR out,
                   int cch) {
    const DWORD known =
        TIME_NOMINUTESORSECONDS | TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT;
    if (flags & ~known) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (!picture)
        picture = u"h:mm:ss tt";
    SYSTEMTIME t;
    if (time)
        t = *time;
    else
        GetLocalTime(&t);
    if (!ValidTime(t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<Piece> pieces = Split(picture, u"hHmst");
    if (flags & TIME_NOMINUTESORSECONDS)
        Drop(pieces, [](WCHAR l) { return l == u'm' || l == u's'; });
    if (flags & TIME_NOSECONDS)
        Drop(pieces, [](WCHAR l) { return l == u's'; });
    if (flags & TIME_NOTIMEMARKER)
        Drop(pieces, [](WCHAR l) { return l == u't'; });
    std::u16string text;
    for (const Piece& p : pieces) {
        int digits = p.count >= 2 ? 2 : 1;
        WCHAR letter = p.letter;
        if (letter == u'h' && (flags & TIME_FORCE24HOURFORMAT))
            letter = u'H';
        switch (letter) {
            case 0: text += p.text; break;
            case u'h': Number(text, t.wHour % 12 == 0 ? 12 : t.wHour % 12, digits); break;
            case u'H': Number(text, t.wHour, digits); break;
            case u'm': Number(text, t.wMinute, digits); break;
            case u's': Number(text, t.wSecond, digits); break;
            case u't':
                text += t.wHour < 12 ? u'A' : u'P';
                if (p.count >= 2)
                    text += u'M';
                break;
        }
    }
    return Deliver(text, out, cch);
}

// OLE automation dates count days from 30 December 1899; the fraction is the time of day,
// and for days before that date the fraction counts away from zero as well (-1.25 is
// 29 December 1899, 06:00).
static const long kOleEpoch = DayNumber(1899, 12, 30);

INT SystemTimeToVariantTime(const SYSTEMTIME* st, double* out) {
    if (!st || !out)
        return FALSE;
    const SYSTEMTIME& t = *st;
    if (t.wYear < 100 || t.wYear > 9999 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > DaysInMonth(t.wYear, t.wMonth) || !ValidTime(t))
        return FALSE;
    double day = (double)(DayNumber(t.wYear, t.wMonth, t.wDay) - kOleEpoch);
    double fraction = (t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond) / 86400.0;
    *out = day < 0 ? day - fraction : day + fraction;
    return TRUE;
}

INT VariantTimeToSystemTime(double vt, SYSTEMTIME* out) {
    // 1 January 100 to the last second of 31 December 9999.
    const double kMin = (double)(DayNumber(100, 1, 1) - kOleEpoch);
    const double kMax = (double)(DayNumber(9999, 12, 31) - kOleEpoch) + 1.0;
    if (!out || std::isnan(vt) || vt <= kMin - 1.0 || vt >= kMax)
        return FALSE;
    double whole = std::trunc(vt);
    double fraction = std::fabs(vt - whole);
    long seconds = std::lround(fraction * 86400.0);
    long day = (long)whole;
    if (seconds >= 86400) { // rounds up to the next midnight
        seconds -= 86400;
        day += vt < 0 ? -1 : 1;
    }
    long n = day + kOleEpoch;
    if (n < DayNumber(100, 1, 1) || n > DayNumber(9999, 12, 31))
        return FALSE;
    // Civil date from the day number.
    int y = (int)(n / 365.2425) + 1;
    while (DayNumber(y, 1, 1) > n)
        --y;
    while (DayNumber(y + 1, 1, 1) <= n)
        ++y;
    int m = 1;
    while (m < 12 && DayNumber(y, m + 1, 1) <= n)
        ++m;
    out->wYear = (WORD)y;
    out->wMonth = (WORD)m;
    out->wDay = (WORD)(n - DayNumber(y, m, 1) + 1);
    out->wDayOfWeek = (WORD)((n + 1) % 7);
    out->wHour = (WORD)(seconds / 3600);
    out->wMinute = (WORD)(seconds / 60 % 60);
    out->wSecond = (WORD)(seconds % 60);
    out->wMilliseconds = 0;
    return TRUE;
}
