// Application frame: start-up, the main window's layout and behaviour, command bars.
#pragma once

#include "platform/user/user.h"

extern HINSTANCE AppInstance;
extern HWND MainDialog;
extern HWND MenuBar;
extern int DownloadKind; // 1 standings, 0 rosters
extern WCHAR StandingsPath[MAX_PATH];
extern WCHAR RosterPath[MAX_PATH];
extern WCHAR SeasonPath[MAX_PATH];

// Start-up
int WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
int ActivateWindowByTitle(LPCWSTR title);
int ReadInstallPaths();
int CheckSeasonFile(LPCWSTR path);
// Runs dialog template id of AppInstance as a modal dialog with no owner window and
// creation parameter 0; returns when it ends, with its result (-1 when there is no such
// template).
INT_PTR RunTemplate(int id, DLGPROC proc);

// Layout of the main window
void InsertTabs(HWND dialog);
void ShowTab(HWND dialog);
void CreateListColumns(HWND dialog);
void FillTeamCombos(HWND dialog);

// Behaviour of the main window
INT_PTR MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ExitCleanup();
int CloseHelpViewer();
HWND CreateMainMenuBar(HWND dialog);
HWND CreateEmptyMenuBar(HWND dialog);
int TrackBanners(HWND dialog);
