// Settings and the auxiliary dialogs: the settings store, Options, About and Help.
#pragma once

#include "platform/user/user.h"

// Settings store
extern int HourOffset;
extern int FavoriteTeam;
extern int ZoneIndex;
int ReadSettings();
void WriteSettings();

// Options dialog
struct TimeZone {
    LPCWSTR label;
    int offset;
};
extern const TimeZone TimeZoneTable[70];
INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// About and help
INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowHelp();
