// Schedule data: the team table and the readers of the three data files.
#pragma once

#include "platform/user/user.h"

// Lines of the data files: clears a 1024-byte buffer, reads one line of at most 1023
// bytes, widens it ("%hs") into wide (1024 characters) and cuts the line end off it, so
// that no field keeps a line feed or carriage return. The stream's error and end-of-file
// states tell the caller what the read met.
void ReadDataLine(FILE* file, WCHAR* wide, size_t cap);
// Splits a line at commas into its first count fields (wcstok's rule: no empty fields);
// the fields the line lacks are null.
void SplitDataFields(WCHAR* line, LPCWSTR* fields, int count);
// Appends a row of text cells to a list view at the position equal to its row count; a
// null cell is an empty one. Returns the row's position, or -1.
int AppendListRow(HWND list, const LPCWSTR* cells, int count);

// Team table
// TeamTable[0] is the All-Star Game (TeamIndex -1); TeamTable[i + 1] is team i.
extern const LPCWSTR TeamTable[31];
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
// "Tahoma" 14 bold, made once: the standings title and the Today tab's date are drawn in it.
HFONT TitleFont();

// Roster file
int LoadRosterTable(HWND dialog, LPCWSTR path);
void AddRosterTableRow(HWND dialog, LPCWSTR f1, LPCWSTR f2, LPCWSTR f3, LPCWSTR f4, LPCWSTR f5,
                       LPCWSTR f6);
