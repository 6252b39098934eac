// Views: game times, the team schedule and roster views, roster sorting, the Today view
// and the calendars.
#pragma once

#include "platform/user/user.h"

// Game time conversion
extern WCHAR GameDateText[129];
extern WCHAR GameTimeText[129];
void FormatGameTime(LPCWSTR scheduleText);

// Team schedule and roster
void ShowTeamSchedule(HWND dialog, int team);
void AddTeamScheduleRow(HWND dialog, LPCWSTR scheduleText, LPCWSTR gameText);
void ShowRoster(HWND dialog, int team);
void AddRosterRow(HWND dialog, LPCWSTR c1, LPCWSTR c2, LPCWSTR c3, LPCWSTR c4, LPCWSTR c5);

// Roster sorting
extern int LastSortColumn;
extern int SortDescending;
int OnRosterColumnClick(HWND dialog, WPARAM wParam, LPARAM lParam);
void SortRoster(int column);
void AddSortScratchRow(HWND dialog, LPCWSTR k0, LPCWSTR k1, LPCWSTR k2, LPCWSTR k3, LPCWSTR k4);

// Today view and calendars
extern double CurrentDay;
extern WCHAR CurrentDayText[129];
extern HWND CalendarPopup;
void InitCurrentDay(HWND dialog);
int RefreshDateLabel(HWND dialog);
void ShowToday(HWND dialog);
double ScheduleDay(LPCWSTR scheduleText);
void AddTodayRow(HWND dialog, LPCWSTR scheduleText, LPCWSTR gameText);
void PaintDateLabel(HWND dialog);
INT_PTR CalendarPopupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OnCalendarSelect(HWND popup, LPARAM lParam);
INT_PTR CalendarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
