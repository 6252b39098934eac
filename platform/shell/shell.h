// The handheld shell: dialog initialisation, the command bar at the bottom of the
// screen, and starting other programs.
#pragma once

#include "platform/user/user.h"

void SHInitExtraControls(); // argument-less set-up of the shell's controls

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
BOOL SHInitDialog(SHINITDLGINFO* info);

// The top bar's button: SHDB_SHOW shows "ok" (IDOK), SHDB_HIDE shows the X (minimise).
#define SHDB_SHOW 0x0001
#define SHDB_HIDE 0x0002
BOOL SHDoneButton(HWND hwnd, DWORD state);

// The command bar, made from an RCDATA resource: menu nToolBarId and the buttons below.
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// The data of the RCDATA resource of a command bar.
#define I_IMAGENONE (-2)
#define TBSTATE_ENABLED 0x04
#define TBSTYLE_DROPDOWN 0x08
#define TBSTYLE_AUTOSIZE 0x10
struct MENUBARBUTTON {
    int image;        // I_IMAGENONE
    WORD command;     // command id
    BYTE state;       // TBSTATE_ENABLED
    BYTE style;       // TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE
    WORD captionId;   // string resource of the caption
    int popupIndex;   // pop-up of the menu that the button opens
};
struct MENUBARRESOURCE {
    WORD menuId;
    const MENUBARBUTTON* buttons;
    int count;
};

// Starting a program: "PegHelp.exe" is the help viewer (TARNWICK_HELP_VIEWER, else
// xdg-open); other names are looked up on PATH.
struct SECURITY_ATTRIBUTES;
struct STARTUPINFOW;
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, SECURITY_ATTRIBUTES* procAttrs,
                    SECURITY_ATTRIBUTES* threadAttrs, BOOL inheritHandles, DWORD flags,
                    LPVOID environment, LPCWSTR currentDirectory, STARTUPINFOW* startup,
                    PROCESS_INFORMATION* info);
