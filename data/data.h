// Schedule data: the team table and the readers of the three data files.
#pragma once

#include "platform/user/user.h"

// Team table
LPCWSTR TeamName(int teamIndex); // null outside -1..29

// Season file
int LoadSeason(HWND dialog, LPCWSTR path);
void AddSeasonListRow(HWND dialog, LPCWSTR field1, LPCWSTR field2, LPCWSTR field3);

// Standings file
extern WCHAR StandingsAsOf[112];
int LoadStandings(HWND dialog, LPCWSTR path);
void AddStandingsRow(HWND dialog, LPCWSTR c0, LPCWSTR c1, LPCWSTR c2, LPCWSTR c3, LPCWSTR c4);
void PlaceDivisionBanners(HWND dialog);
void PaintStandingsTitle(HWND dialog);

// Roster file
int LoadRosterTable(HWND dialog, LPCWSTR path);
void AddRosterTableRow(HWND dialog, LPCWSTR f1, LPCWSTR f2, LPCWSTR f3, LPCWSTR f4,
                       LPCWSTR f5, LPCWSTR f6);
