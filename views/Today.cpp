// The Today tab: the games of one day, the day buttons' day and the label that shows it.
#include "views/views.h"

#include <cmath>

#include "data/data.h"
#include "platform/locale/locale.h"
#include "res/resource.h"
#include "views/ListRows.h"

using views::Cell;

double CurrentDay = 0.0;
WCHAR CurrentDayText[129];
HWND CalendarPopup = nullptr;

namespace {

const WCHAR NoGamesText[] = u"No games scheduled.";
const int TodayTab = 1;

// The day of a schedule text that names no calendar day.
const double NoDay = -INFINITY;

void WriteDayText(const SYSTEMTIME* day) {
    CurrentDayText[0] = 0;
    if (GetDateFormatW(LOCALE_USER_DEFAULT, 0, day, u"MM/dd/yyyy", CurrentDayText, 129) == 0) {
        CurrentDayText[0] = 0;
    }
}

LPCWSTR ShownTeamName(LONG team) {
    LPCWSTR name = TeamName((int)team);
    return name ? name : u"";
}

} // namespace

void InitCurrentDay(HWND dialog) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    today.wHour = 0;
    today.wMinute = 0;
    today.wSecond = 0;
    today.wMilliseconds = 0;
    WriteDayText(&today);
    SystemTimeToVariantTime(&today, &CurrentDay);
    InvalidateRect(GetDlgItem(dialog, IDC_DATE_LABEL), nullptr, TRUE);
}

int RefreshDateLabel(HWND dialog) {
    SYSTEMTIME day = {};
    if (VariantTimeToSystemTime(CurrentDay, &day)) {
        WriteDayText(&day);
    } else {
        CurrentDayText[0] = 0; // beyond the calendar's years: no date to show
    }
    InvalidateRect(GetDlgItem(dialog, IDC_DATE_LABEL), nullptr, TRUE);
    return 1;
}

void ShowToday(HWND dialog) {
    HWND seasonTable = GetDlgItem(dialog, IDC_SEASON_TABLE);
    SendDlgItemMessageW(dialog, IDC_TODAY_LIST, LVM_DELETEALLITEMS, 0, 0);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));

    // The season lists its games by date, so the scan ends at the first later game.
    int games = 0;
    int rows = views::RowCount(seasonTable);
    for (int row = 0; row < rows; row++) {
        Cell schedule;
        views::ReadCell(seasonTable, row, 0, schedule);
        double day = ScheduleDay(schedule);
        if (day == NoDay) {
            continue; // a date that names no day belongs to no day
        }
        if (day == CurrentDay) {
            Cell visitorCell, homeCell;
            views::ReadCell(seasonTable, row, 1, visitorCell);
            views::ReadCell(seasonTable, row, 2, homeCell);
            WCHAR game[256];
            WcsCopy(game, 256, ShownTeamName(Wtol(visitorCell)));
            WcsAppend(game, 256, u" @ ");
            WcsAppend(game, 256, ShownTeamName(Wtol(homeCell)));
            AddTodayRow(dialog, schedule, game);
            games++;
        } else if (day > CurrentDay) {
            break;
        }
    }

    SetCursor(nullptr);
    if (games == 0) {
        AddTodayRow(dialog, CurrentDayText, NoGamesText);
    }
}

double ScheduleDay(LPCWSTR scheduleText) {
    WORD month = 0, day = 0, year = 0, hour = 0, minute = 0;
    ScanScheduleText(scheduleText, &month, &day, &year, &hour, &minute);
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    double result = 0.0;
    if (!SystemTimeToVariantTime(&date, &result)) {
        return NoDay;
    }
    return result;
}

void AddTodayRow(HWND dialog, LPCWSTR scheduleText, LPCWSTR gameText) {
    LPCWSTR cells[2];
    if (WcsCmp(gameText, NoGamesText) == 0) {
        cells[0] = NoGamesText;
        cells[1] = u"";
    } else {
        // Every row belongs to the day shown above the list; only the time is shown.
        FormatGameTime(scheduleText);
        cells[0] = gameText;
        cells[1] = GameTimeText;
    }
    HWND list = GetDlgItem(dialog, IDC_TODAY_LIST);
    AppendListRow(list, cells, 2);
}

void PaintDateLabel(HWND dialog) {
    HWND label = GetDlgItem(dialog, IDC_DATE_LABEL);
    if (SendDlgItemMessageW(dialog, IDC_TAB_STRIP, TCM_GETCURSEL, 0, 0) != TodayTab) {
        ShowWindow(label, SW_HIDE);
        return;
    }
    // The standings title's font ("Tahoma" 14 bold), made once for the life of the
    // program, so painting never adds a drawing object.
    HFONT font = TitleFont();
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(label, &client);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, 0x50FF);
    // The blanks wipe out whatever date the label showed before.
    DrawTextW(dc, u"                            ", -1, &client, DT_SINGLELINE);
    DrawTextW(dc, CurrentDayText, -1, &client, DT_SINGLELINE);
    if (oldFont) {
        SelectObject(dc, oldFont);
    }
    EndPaint(label, &paint);
}
