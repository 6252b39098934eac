// The main window's behaviour: initialisation, the start-up timer chain that loads the
// data behind the shown window, the routing of commands, notifications and colour
// requests, and the clean-up that ends the program.
#include "app/app.h"
#include "data/data.h"
#include "net/net.h"
#include "platform/shell/shell.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "views/views.h"

HWND MainDialog = nullptr;
HWND MenuBar = nullptr;
int DownloadKind = 1;

namespace {

// Each start-up step runs in a one-shot timer of its own, so the window paints between
// the loads.
constexpr UINT_PTR RosterTimer = 1;
constexpr UINT_PTR SeasonTimer = 2;
constexpr UINT_PTR ViewsTimer = 3;

// Ends, as a dialog, the top-level window of that title if there is one.
void EndDialogByTitle(LPCWSTR title) {
    HWND window = FindWindowW(nullptr, title);
    if (window) {
        EndDialog(window, 1);
    }
}

BOOL OnInitDialog(HWND dialog) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ReadSettings();
    MainDialog = dialog;

    SHINITDLGINFO init = {};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    SHInitDialog(&init);

    CreateMainMenuBar(dialog);
    InsertTabs(dialog);
    CreateListColumns(dialog);
    FillTeamCombos(dialog);
    InitCurrentDay(dialog);
    SetTimer(dialog, RosterTimer, 100, nullptr);
    LoadStandings(dialog, StandingsPath);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    return TRUE;
}

INT_PTR OnTimer(HWND dialog, UINT_PTR id) {
    switch (id) {
        case RosterTimer:
            KillTimer(dialog, RosterTimer);
            SetTimer(dialog, SeasonTimer, 1, nullptr);
            LoadRosterTable(dialog, RosterPath);
            return TRUE;
        case SeasonTimer:
            KillTimer(dialog, SeasonTimer);
            SetTimer(dialog, ViewsTimer, 1, nullptr);
            LoadSeason(dialog, SeasonPath);
            return TRUE;
        case ViewsTimer:
            KillTimer(dialog, ViewsTimer);
            ShowTeamSchedule(dialog, FavoriteTeam);
            ShowRoster(dialog, FavoriteTeam);
            ShowToday(dialog);
            SendDlgItemMessageW(dialog, IDC_TEAM_COMBO, CB_SETCURSEL, FavoriteTeam, 0);
            SendDlgItemMessageW(dialog, IDC_ROSTER_TEAM_COMBO, CB_SETCURSEL, FavoriteTeam, 0);
            SetCursor(nullptr);
            SetForegroundWindow(dialog);
            return TRUE;
    }
    return FALSE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    WORD id = LOWORD(wParam);
    WORD code = HIWORD(wParam);
    switch (id) {
        case IDOK:
        case IDCANCEL:
            ExitCleanup();
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_TEAM_COMBO:
            if (code == CBN_SELCHANGE) {
                ShowTeamSchedule(
                    dialog, (int)SendDlgItemMessageW(dialog, IDC_TEAM_COMBO, CB_GETCURSEL, 0, 0));
            }
            return TRUE;
        case IDC_ROSTER_TEAM_COMBO:
            if (code == CBN_SELCHANGE) {
                LastSortColumn = -1; // a new team's first tap sorts ascending
                ShowRoster(dialog, (int)SendDlgItemMessageW(dialog, IDC_ROSTER_TEAM_COMBO,
                                                            CB_GETCURSEL, 0, 0));
            }
            return TRUE;
        case IDC_PREV_DAY:
        case IDC_NEXT_DAY:
            CurrentDay = CurrentDay + (id == IDC_NEXT_DAY ? 1.0 : -1.0);
            if (RefreshDateLabel(dialog)) {
                ShowToday(dialog);
            }
            return TRUE;
        case IDC_CALENDAR_BUTTON:
            if (CalendarPopup) {
                ShowWindow(CalendarPopup, SW_SHOW);
                SetForegroundWindow(CalendarPopup);
                return FALSE;
            }
            RunTemplate(IDD_CALENDAR_POPUP, CalendarPopupProc);
            return TRUE;
        case IDM_OPTIONS:
            if (!ActivateWindowByTitle(u"TWK Options")) {
                RunTemplate(IDD_OPTIONS, OptionsDialogProc);
            }
            return TRUE;
        case IDM_CALENDAR:
            if (!ActivateWindowByTitle(u"TWK Calendar")) {
                RunTemplate(IDD_CALENDAR, CalendarDialogProc);
            }
            return TRUE;
        case IDM_HELP_TARNWICK: ShowHelp(); return TRUE;
        case IDM_ABOUT:
            if (!ActivateWindowByTitle(u"About Tarnwick")) {
                RunTemplate(IDD_ABOUT, AboutDialogProc);
            }
            return TRUE;
        case IDM_DOWNLOAD_STANDINGS:
        case IDM_DOWNLOAD_ROSTERS:
            // Both items share the one download dialog: while it is open, neither
            // changes what it fetches.
            if (!ActivateWindowByTitle(u"TWK Download")) {
                DownloadKind = LOWORD(wParam) == IDM_DOWNLOAD_STANDINGS ? 1 : 0;
                RunTemplate(IDD_DOWNLOAD, DownloadDialogProc);
            }
            return TRUE;
    }
    return FALSE;
}

INT_PTR OnNotify(HWND dialog, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case IDC_TAB_STRIP: ShowTab(dialog); break;
        case IDC_ROSTER_LIST: OnRosterColumnClick(dialog, wParam, lParam); break;
    }
    TrackBanners(dialog);
    return FALSE;
}

INT_PTR OnColorStatic(HWND dialog, HWND control) {
    if (control == GetDlgItem(dialog, IDC_TITLE_LABEL)) {
        PaintStandingsTitle(dialog);
        return (INT_PTR)GetStockObject(WHITE_BRUSH);
    }
    if (control == GetDlgItem(dialog, IDC_DATE_LABEL)) {
        PaintDateLabel(dialog);
        return (INT_PTR)GetStockObject(WHITE_BRUSH);
    }
    return FALSE;
}

} // namespace

INT_PTR MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(dialog);
        case WM_TIMER: return OnTimer(dialog, wParam);
        case WM_COMMAND: return OnCommand(dialog, wParam);
        case WM_NOTIFY: return OnNotify(dialog, wParam, lParam);
        case WM_CTLCOLORSTATIC: return OnColorStatic(dialog, (HWND)lParam);
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                return FALSE;
            }
            // Minimising ends the program, as OK and Cancel do.
            ShowWindow(dialog, SW_HIDE);
            UpdateWindow(dialog);
            ExitCleanup();
            EndDialog(dialog, 1);
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_ACTIVE) {
                return FALSE;
            }
            ShowWindow(dialog, SW_SHOWNORMAL);
            UpdateWindow(dialog);
            return TRUE;
    }
    TrackBanners(dialog);
    return FALSE;
}

void ExitCleanup() {
    CloseInternetHandles();
    CloseHelpViewer();
    // Hands the memory of the loads back to the system.
    _heapmin();
    // Auxiliary dialogs run their own modal loops inside our command handlers; ending
    // them first lets those loops return before the main window's does.
    EndDialogByTitle(u"TWK Download");
    EndDialogByTitle(u"TWK Calendar");
    if (CalendarPopup) {
        EndDialog(CalendarPopup, 1);
    }
    EndDialogByTitle(u"TWK Options");
    EndDialogByTitle(u"About Tarnwick");
}

int CloseHelpViewer() {
    HWND viewer = FindWindowW(nullptr, u"Help");
    if (!viewer) {
        return 0;
    }
    DestroyWindow(viewer);
    return 1;
}

namespace {

HWND CreateCommandBar(HWND dialog, DWORD flags) {
    SHMENUBARINFO info = {};
    info.cbSize = 32;
    info.hwndParent = dialog;
    info.dwFlags = flags;
    info.nToolBarId = IDR_MENUBAR;
    info.hInstRes = AppInstance;
    info.nBmpId = 0;
    info.cBmpImages = 0;
    if (!SHCreateMenuBar(&info)) {
        return nullptr;
    }
    return info.hwndMB;
}

} // namespace

HWND CreateMainMenuBar(HWND dialog) {
    HWND bar = CreateCommandBar(dialog, 0);
    if (bar) {
        MenuBar = bar;
    }
    return bar;
}

HWND CreateEmptyMenuBar(HWND dialog) {
    return CreateCommandBar(dialog, SHCMBF_EMPTYBAR);
}

int TrackBanners(HWND dialog) {
    if (SendDlgItemMessageW(dialog, IDC_TAB_STRIP, TCM_GETCURSEL, 0, 0) == 0) {
        PlaceDivisionBanners(dialog);
    }
    return 0;
}
