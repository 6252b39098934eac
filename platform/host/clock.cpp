// The manual clock of ui tests.
#include "platform/host/host.h"

namespace {

// Days since 1 January 1970 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int* y, unsigned* m, unsigned* d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp + (mp < 10 ? 3 : -9);
    *y = int(yy + (*m <= 2));
}

} // namespace

ManualClock::ManualClock(const SYSTEMTIME& start) {
    startSeconds_ = DaysFromCivil(start.wYear, start.wMonth, start.wDay) * 86400 +
                    start.wHour * 3600 + start.wMinute * 60 + start.wSecond;
    startMs_ = start.wMilliseconds;
}

void ManualClock::LocalTime(SYSTEMTIME* out) {
    if (!out)
        return;
    uint64_t ms = now_.load() + uint64_t(startMs_);
    int64_t secs = startSeconds_ + int64_t(ms / 1000);
    int64_t days = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
    int64_t rem = secs - days * 86400;
    int y;
    unsigned m, d;
    CivilFromDays(days, &y, &m, &d);
    out->wYear = WORD(y);
    out->wMonth = WORD(m);
    out->wDay = WORD(d);
    out->wDayOfWeek = WORD(((days % 7) + 11) % 7); // 1 January 1970 was a Thursday
    out->wHour = WORD(rem / 3600);
    out->wMinute = WORD(rem / 60 % 60);
    out->wSecond = WORD(rem % 60);
    out->wMilliseconds = WORD(ms % 1000);
}
