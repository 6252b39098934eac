// Download: the HTTP fetch of the standings and roster files and the download dialog.
#pragma once

#include "platform/user/user.h"
#include "platform/inet/inet.h"

extern HINTERNET SessionHandle;
extern HINTERNET ConnectHandle;
extern HINTERNET RequestHandle;
extern WCHAR DownloadError[256];
extern int PendingRosterTeam;

int FetchStandings(HWND dialog);
int FetchRosters(HWND dialog);
void CloseInternetHandles();
LPWSTR InternetErrorText(DWORD code, LPWSTR text, size_t cap);
INT_PTR DownloadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
