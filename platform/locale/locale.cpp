// The local date, date and time pictures, and OLE automation dates.
#include "platform/locale/locale.h"

#include <cmath>
#include <string>

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

// The text being written: characters go into the caller's buffer while they fit (room
// for the terminator kept), and the full length is counted either way, so that one pass
// over the picture both writes the text and tells the size it needs.
struct Output {
    LPWSTR buffer;
    int cap; // characters the buffer holds, terminator included; 0 when only counting
    int length = 0;

    void Put(WCHAR c) {
        if (length < cap - 1)
            buffer[length] = c;
        ++length;
    }
    void Ascii(const char* s, size_t n) {
        for (size_t i = 0; i < n; ++i)
            Put(WCHAR(s[i]));
    }
    void Number(int value, int digits) {
        char text[12];
        int n = 0;
        unsigned v = unsigned(value < 0 ? 0 : value);
        do {
            text[n++] = char('0' + v % 10);
            v /= 10;
        } while (v && n < int(sizeof(text)));
        for (int i = n; i < digits; ++i)
            Put(u'0');
        while (n > 0)
            Put(WCHAR(text[--n]));
    }
};

bool IsElement(WCHAR c, LPCWSTR letters) {
    for (LPCWSTR l = letters; *l; ++l)
        if (*l == c)
            return true;
    return false;
}

// The literal text of a stretch of picture between two elements: text in single quotes
// is copied as it is, '' stands for one quote inside or outside quotes, and every other
// character is copied too.
void Literal(Output& out, LPCWSTR p, LPCWSTR end) {
    while (p < end) {
        if (*p != u'\'') {
            out.Put(*p++);
            continue;
        }
        ++p;
        if (p < end && *p == u'\'') { // '' is one quote
            out.Put(u'\'');
            ++p;
            continue;
        }
        while (p < end) {
            if (*p == u'\'') {
                if (p + 1 < end && p[1] == u'\'') {
                    out.Put(u'\'');
                    p += 2;
                    continue;
                }
                ++p;
                break;
            }
            out.Put(*p++);
        }
    }
}

// Where the literal stretch that starts at p ends: at the next element letter outside
// quotes, or at the end of the picture.
LPCWSTR LiteralEnd(LPCWSTR p, LPCWSTR letters) {
    while (*p) {
        if (*p == u'\'') {
            ++p;
            if (*p == u'\'') {
                ++p;
                continue;
            }
            while (*p) {
                if (*p == u'\'') {
                    if (p[1] == u'\'') {
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                ++p;
            }
            continue;
        }
        if (IsElement(*p, letters))
            return p;
        ++p;
    }
    return p;
}

// Walks the picture once: each run of one element letter is written by element(letter,
// count), the literal text between elements is copied. An element for which drop(letter)
// is true is left out together with the literal text that joins it to the element before
// it, or, when no element stands before it, with the literal text around it up to the
// next element.
template <class Element, class Drop>
void Render(Output& out, LPCWSTR picture, LPCWSTR letters, Element element, Drop drop) {
    bool keptAny = false;       // an element has been written
    bool dropFollowing = false; // a leading element was left out: so is the text after it
    for (LPCWSTR p = picture;;) {
        LPCWSTR literalEnd = LiteralEnd(p, letters);
        if (!*literalEnd) {
            if (!dropFollowing)
                Literal(out, p, literalEnd);
            return;
        }
        WCHAR letter = *literalEnd;
        int count = 0;
        LPCWSTR next = literalEnd;
        while (*next == letter) {
            ++count;
            ++next;
        }
        if (drop(letter)) {
            if (!keptAny)
                dropFollowing = true;
        } else {
            if (!dropFollowing)
                Literal(out, p, literalEnd);
            dropFollowing = false;
            element(letter, count);
            keptAny = true;
        }
        p = next;
    }
}

int Deliver(const Output& text, LPWSTR out, int cch) {
    int need = text.length + 1;
    if (cch == 0)
        return need;
    if (cch < need) {
        out[0] = 0; // a text cut short is no result
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    out[text.length] = 0;
    return need;
}

bool BufferOk(LPWSTR out, int cch) {
    if (cch < 0 || (cch > 0 && !out)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
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
    if (!BufferOk(out, cch))
        return 0;
    Output text{out, cch};
    auto element = [&](WCHAR letter, int count) {
        switch (letter) {
            case u'd':
                if (count <= 2) {
                    text.Number(t.wDay, count);
                } else {
                    const char* name = kDayNames[DayOfWeek(t.wYear, t.wMonth, t.wDay)];
                    text.Ascii(name, count == 3 ? 3 : std::char_traits<char>::length(name));
                }
                break;
            case u'M':
                if (count <= 2) {
                    text.Number(t.wMonth, count);
                } else {
                    const char* name = kMonthNames[t.wMonth - 1];
                    text.Ascii(name, count == 3 ? 3 : std::char_traits<char>::length(name));
                }
                break;
            case u'y':
                if (count <= 2)
                    text.Number(t.wYear % 100, count);
                else
                    text.Number(t.wYear, 4);
                break;
            case u'g': text.Ascii("A.D.", 4); break;
        }
    };
    Render(text, picture, u"dMyg", element, [](WCHAR) { return false; });
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
    if (!BufferOk(out, cch))
        return 0;
    Output text{out, cch};
    auto element = [&](WCHAR letter, int count) {
        int digits = count >= 2 ? 2 : 1;
        if (letter == u'h' && (flags & TIME_FORCE24HOURFORMAT))
            letter = u'H';
        switch (letter) {
            case u'h': text.Number(t.wHour % 12 == 0 ? 12 : t.wHour % 12, digits); break;
            case u'H': text.Number(t.wHour, digits); break;
            case u'm': text.Number(t.wMinute, digits); break;
            case u's': text.Number(t.wSecond, digits); break;
            case u't':
                text.Put(t.wHour < 12 ? u'A' : u'P');
                if (count >= 2)
                    text.Put(u'M');
                break;
        }
    };
    auto drop = [&](WCHAR letter) {
        return ((flags & TIME_NOMINUTESORSECONDS) && (letter == u'm' || letter == u's')) ||
               ((flags & TIME_NOSECONDS) && letter == u's') ||
               ((flags & TIME_NOTIMEMARKER) && letter == u't');
    };
    Render(text, picture, u"hHmst", element, drop);
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
