#include "platform/locale/locale.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

SYSTEMTIME Day(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    SYSTEMTIME t{};
    t.wYear = (WORD)y;
    t.wMonth = (WORD)m;
    t.wDay = (WORD)d;
    t.wHour = (WORD)h;
    t.wMinute = (WORD)mi;
    t.wSecond = (WORD)s;
    return t;
}

std::u16string Date(const SYSTEMTIME& t, LPCWSTR picture, DWORD flags = 0) {
    WCHAR buf[64];
    int n = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &t, picture, buf, 64);
    return n ? std::u16string(buf) : u"<fail>";
}

std::u16string Time(const SYSTEMTIME& t, LPCWSTR picture, DWORD flags) {
    WCHAR buf[64];
    int n = GetTimeFormatW(LOCALE_USER_DEFAULT, flags, &t, picture, buf, 64);
    return n ? std::u16string(buf) : u"<fail>";
}

TEST(DateFormat, PicturesAndInvalidDates) {
    struct Case {
        SYSTEMTIME date;
        LPCWSTR picture;
        std::u16string text;
    } cases[] = {
        {Day(2003, 10, 8), u"yy/MM/dd", u"03/10/08"},
        {Day(2004, 1, 10), u"MM/dd", u"01/10"},
        {Day(2004, 3, 5), u"MM/dd/yyyy", u"03/05/2004"},
        {Day(2004, 3, 5), u"M/d/yy", u"3/5/04"},
        {Day(2004, 2, 29), u"dddd, MMMM d, yyyy", u"Sunday, February 29, 2004"},
        {Day(2004, 2, 29), u"ddd MMM 'd''s' 'yy'", u"Sun Feb d's yy"},
        {Day(2003, 2, 29), u"MM/dd", u"<fail>"},
        {Day(2003, 0, 8), u"yy/MM/dd", u"<fail>"},
        {Day(2003, 13, 8), u"yy/MM/dd", u"<fail>"},
        {Day(2003, 4, 31), u"yy/MM/dd", u"<fail>"},
        {Day(2003, 4, 0), u"yy/MM/dd", u"<fail>"},
        {Day(0, 10, 8), u"yy/MM/dd", u"<fail>"},
        {Day(1900, 2, 29), u"yy/MM/dd", u"<fail>"},
        {Day(2000, 2, 29), u"yy/MM/dd", u"00/02/29"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Date(c.date, c.picture), c.text)
            << c.date.wYear << "-" << c.date.wMonth << "-" << c.date.wDay;
    // A picture takes no flags.
    EXPECT_EQ(Date(Day(2004, 3, 5), u"MM/dd", DATE_SHORTDATE), u"<fail>");
    EXPECT_EQ(Date(Day(2004, 3, 5), nullptr, DATE_SHORTDATE), u"3/5/2004");
}

TEST(TimeFormat, PicturesAndFlags) {
    const DWORD all = TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT;
    struct Case {
        SYSTEMTIME time;
        LPCWSTR picture;
        DWORD flags;
        std::u16string text;
    } cases[] = {
        {Day(0, 0, 0, 19, 5, 9), u"HH':'mm':'ss", 0, u"19:05:09"},
        {Day(0, 0, 0, 19, 5, 9), u"HH':'mm':'ss", all, u"19:05"},
        {Day(0, 0, 0, 7, 5, 9), u"HH':'mm':'ss", all, u"07:05"},
        {Day(0, 0, 0, 19, 5, 9), u"h':'mm':'ss", TIME_NOSECONDS, u"7:05"},
        {Day(0, 0, 0, 0, 0, 0), u"h':'mm':'ss", TIME_NOSECONDS, u"12:00"},
        {Day(0, 0, 0, 12, 30, 0), u"h':'mm':'ss", TIME_NOSECONDS, u"12:30"},
        {Day(0, 0, 0, 13, 0, 0), u"h':'mm':'ss", 0, u"1:00:00"},
        {Day(0, 0, 0, 13, 0, 0), u"h':'mm':'ss", TIME_FORCE24HOURFORMAT, u"13:00:00"},
        {Day(0, 0, 0, 13, 4, 0), u"h:mm tt", 0, u"1:04 PM"},
        {Day(0, 0, 0, 1, 4, 0), u"h:mm tt", TIME_NOTIMEMARKER, u"1:04"},
        {Day(0, 0, 0, 1, 4, 0), u"tt h:mm", TIME_NOTIMEMARKER, u"1:04"},
        {Day(0, 0, 0, 1, 4, 0), u"h:mm:ss t", TIME_NOMINUTESORSECONDS, u"1 A"},
        // Two leading elements left out take the text after each of them along.
        {Day(0, 0, 0, 1, 4, 0), u"ss:mm h", TIME_NOMINUTESORSECONDS, u"1"},
        {Day(0, 0, 0, 1, 4, 0), u"ss' : 'mm tt h", TIME_NOMINUTESORSECONDS | TIME_NOTIMEMARKER,
         u"1"},
        // The whole text joining a left-out element goes with it, quotes and all.
        {Day(0, 0, 0, 13, 4, 0), u"h 'o''clock' tt", TIME_NOTIMEMARKER, u"1"},
        {Day(0, 0, 0, 13, 4, 0), u"h 'o''clock' tt", 0, u"1 o'clock PM"},
        {Day(0, 0, 0, 13, 4, 0), u"'h'h''mm'", 0, u"h1'04"},
        {Day(0, 0, 0, 24, 0, 0), u"HH':'mm", 0, u"<fail>"},
        {Day(0, 0, 0, 23, 60, 0), u"HH':'mm", 0, u"<fail>"},
        {Day(0, 0, 0, 23, 59, 60), u"HH':'mm", 0, u"<fail>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Time(c.time, c.picture, c.flags), c.text)
            << c.time.wHour << ":" << c.time.wMinute << " flags " << c.flags;
}

TEST(DateFormat, BufferSizes) {
    SYSTEMTIME t = Day(2004, 3, 5);
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &t, u"MM/dd", nullptr, 0), 6);
    WCHAR small[5];
    SetLastError(0);
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &t, u"MM/dd", small, 5), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(small[0], 0) << "a text cut short is no result";
    WCHAR fits[6];
    EXPECT_EQ(GetDateFormatW(LOCALE_USER_DEFAULT, 0, &t, u"MM/dd", fits, 6), 6);
}

TEST(VariantTime, KnownDaysAndRoundTrips) {
    struct Case {
        SYSTEMTIME date;
        double vt;
    } cases[] = {
        {Day(2004, 1, 1), 37987.0},    {Day(1899, 12, 30), 0.0},
        {Day(1899, 12, 29, 6), -1.25}, {Day(1899, 12, 30, 6), 0.25},
        {Day(1900, 3, 1), 61.0},       {Day(2004, 2, 29), 38046.0},
        {Day(2004, 3, 1), 38047.0},    {Day(2003, 10, 8, 19, 30), 37902.8125},
        {Day(100, 1, 1), -657434.0},   {Day(9999, 12, 31), 2958465.0},
    };
    for (const Case& c : cases) {
        double vt = -1e9;
        ASSERT_TRUE(SystemTimeToVariantTime(&c.date, &vt)) << c.date.wYear;
        EXPECT_DOUBLE_EQ(vt, c.vt) << c.date.wYear;
        SYSTEMTIME back{};
        ASSERT_TRUE(VariantTimeToSystemTime(c.vt, &back)) << c.vt;
        EXPECT_EQ(back.wYear, c.date.wYear);
        EXPECT_EQ(back.wMonth, c.date.wMonth);
        EXPECT_EQ(back.wDay, c.date.wDay);
        EXPECT_EQ(back.wHour, c.date.wHour);
        EXPECT_EQ(back.wMinute, c.date.wMinute);
    }
    SYSTEMTIME t{};
    ASSERT_TRUE(VariantTimeToSystemTime(37987.0, &t));
    EXPECT_EQ(t.wDayOfWeek, 4); // a Thursday
    // Every day of a leap year and the next one round-trips.
    for (double d = 37987; d < 37987 + 731; ++d) {
        ASSERT_TRUE(VariantTimeToSystemTime(d, &t));
        double vt;
        ASSERT_TRUE(SystemTimeToVariantTime(&t, &vt));
        ASSERT_EQ(vt, d);
    }
}

TEST(VariantTime, OutOfRangeFails) {
    double vt;
    SYSTEMTIME bad[] = {Day(99, 12, 31),  Day(10000, 1, 1), Day(2003, 2, 29),
                        Day(2004, 13, 1), Day(2004, 1, 0),  Day(2004, 1, 1, 24)};
    for (const SYSTEMTIME& t : bad)
        EXPECT_FALSE(SystemTimeToVariantTime(&t, &vt)) << t.wYear << "-" << t.wMonth;
    SYSTEMTIME t;
    EXPECT_FALSE(VariantTimeToSystemTime(2958466.0, &t));
    EXPECT_FALSE(VariantTimeToSystemTime(-657435.0, &t));
    EXPECT_FALSE(VariantTimeToSystemTime(std::nan(""), &t));
}

struct FixedClock : Clock {
    uint64_t NowMs() override { return 0; }
    void LocalTime(SYSTEMTIME* out) override { *out = Day(2004, 1, 10, 22, 30); }
};

TEST(LocalTime, ComesFromTheCurrentClock) {
    FixedClock fixed;
    SetClock(&fixed);
    SYSTEMTIME t{};
    GetLocalTime(&t);
    EXPECT_EQ(t.wDay, 10);
    WCHAR buf[16];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, 0, nullptr, u"MM/dd/yyyy", buf, 16), 0);
    EXPECT_EQ(std::u16string(buf), u"01/10/2004");
    SetClock(nullptr);
}

TEST(LocalTime, SystemClockUsesTheTimeZone) {
    const char* old = getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    SYSTEMTIME utc{};
    SystemClock()->LocalTime(&utc);
    setenv("TZ", "JST-9", 1); // nine hours ahead of UTC, all year
    tzset();
    SYSTEMTIME tokyo{};
    SystemClock()->LocalTime(&tokyo);
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    int diff = ((tokyo.wHour - utc.wHour) % 24 + 24) % 24;
    EXPECT_EQ(diff, 9);
}

} // namespace
