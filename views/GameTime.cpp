// A game's Eastern date, and its start time moved to the user's zone.
#include "views/views.h"
#include "platform/locale/locale.h"
#include "settings/settings.h"

WCHAR GameDateText[129] = u"";
WCHAR GameTimeText[129] = u"";

// The three zones of the list that keep their clocks all year, while Eastern time moves
// an hour forward from 4 April to 25 October.
static int IsStandardTimeZone(int zone) {
    return zone == 2 || zone == 6 || zone == 12; // Hawaii, Arizona, Indiana
}

static int IsDaylightSaving(int month, int day) {
    if (month == 4) {
        return day >= 4;
    }
    if (month >= 5 && month <= 9) {
        return 1;
    }
    if (month == 10) {
        return day <= 25;
    }
    return 0;
}

void FormatGameTime(LPCWSTR scheduleText) {
    GameDateText[0] = 0;
    GameTimeText[0] = 0;
    SYSTEMTIME schedule = {};
    ScanScheduleText(scheduleText, &schedule.wMonth, &schedule.wDay, &schedule.wYear,
                     &schedule.wHour, &schedule.wMinute);

    GetDateFormatW(LOCALE_USER_DEFAULT, 0, &schedule, u"MM/dd", GameDateText, 129);

    // A clock time the schedule cannot hold is brought onto the clock, so that every row
    // still shows a time.
    schedule.wHour %= 24;
    schedule.wMinute %= 60;
    WCHAR clock[129] = u"";
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS | TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT,
                   &schedule, u"HH':'mm':'ss", clock, 129);
    WCHAR* context = nullptr;
    LPCWSTR hourText = WcsTok(clock, u":", &context);
    LPCWSTR minuteText = WcsTok(nullptr, u":", &context);
    long hour = _wtol(hourText);
    long minute = _wtol(minuteText);

    long h = hour + HourOffset;
    if (IsStandardTimeZone(ZoneIndex) && IsDaylightSaving(schedule.wMonth, schedule.wDay)) {
        h = h - 1;
    }
    if (h == 24) {
        h = 0;
    } else if (h > 24) {
        h = h - 24;
    }
    // West of Eastern time an early game falls on the day before, and an offset from
    // outside the zone list can leave any number: keep the hour on the clock.
    h = ((h % 24) + 24) % 24;

    SYSTEMTIME local = {};
    local.wHour = (WORD)h;
    local.wMinute = (WORD)minute;
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &local, u"h':'mm':'ss", GameTimeText,
                       128) > 0) {
        WcsAppend(GameTimeText, 129, h < 12 ? u"a" : u"p");
    }
}
