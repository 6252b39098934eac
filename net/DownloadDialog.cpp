// The download dialog: runs one fetch behind its progress pictures, reports a failure
// over the main window, and reloads what depends on the new file.
#include "net/net.h"

#include "app/app.h"
#include "data/data.h"
#include "platform/shell/shell.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"
#include "views/views.h"

int PendingRosterTeam = 0;

namespace {

// Timer 1 lets the dialog reach the screen before the blocking fetch; timer 2 lets the
// main window paint between the roster reload and the rebuild of the roster view.
constexpr UINT_PTR FetchTimer = 1;
constexpr UINT_PTR RebuildTimer = 2;
constexpr UINT TimerDelay = 100;

INT_PTR OnInitDialog(HWND dialog) {
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&info);
    // The top bar shows the X, not "ok": the dialog ends by itself.
    SHDoneButton(dialog, SHDB_HIDE);
    CreateEmptyMenuBar(dialog);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetTimer(dialog, FetchTimer, TimerDelay, nullptr);
    return TRUE;
}

// The dialog steps aside and the main window comes up before anything is shown on it.
void RevealMainDialog(HWND dialog) {
    ShowWindow(dialog, SW_HIDE);
    UpdateWindow(dialog);
    ShowWindow(MainDialog, SW_SHOWNORMAL);
    UpdateWindow(MainDialog);
}

void OnFetchTimer(HWND dialog) {
    KillTimer(dialog, FetchTimer);
    int fetched = DownloadKind != 0 ? FetchStandings(dialog) : FetchRosters(dialog);
    CloseInternetHandles();

    if (!fetched) {
        SetCursor(nullptr);
        RevealMainDialog(dialog);
        MessageBoxW(MainDialog, DownloadError, u"Tarnwick", MB_OK | MB_ICONERROR);
        EndDialog(dialog, 1);
        return;
    }

    RevealMainDialog(dialog);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (DownloadKind != 0) {
        LoadStandings(MainDialog, StandingsPath);
        SetCursor(nullptr);
        // The title carries the as-of text of the new file.
        HWND title = GetDlgItem(MainDialog, IDC_TITLE_LABEL);
        RECT area;
        GetClientRect(title, &area);
        InvalidateRect(title, &area, TRUE);
        EndDialog(dialog, 1);
        return;
    }
    // The team is read before the reload, which empties the tables.
    PendingRosterTeam =
        (int)SendMessageW(GetDlgItem(MainDialog, IDC_ROSTER_TEAM_COMBO), CB_GETCURSEL, 0, 0);
    SetTimer(dialog, RebuildTimer, TimerDelay, nullptr);
    LoadRosterTable(MainDialog, RosterPath);
}

void OnRebuildTimer(HWND dialog) {
    KillTimer(dialog, RebuildTimer);
    LastSortColumn = -1;
    ShowRoster(MainDialog, PendingRosterTeam);
    SetCursor(nullptr);
    EndDialog(dialog, 2);
}

} // namespace

INT_PTR DownloadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(dialog);
        case WM_TIMER:
            if (wParam == FetchTimer) {
                OnFetchTimer(dialog);
                return TRUE;
            }
            if (wParam == RebuildTimer) {
                OnRebuildTimer(dialog);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    CloseInternetHandles();
                    EndDialog(dialog, 1);
                    return TRUE;
                case IDCANCEL:
                    ShowWindow(MainDialog, SW_SHOWNORMAL);
                    UpdateWindow(MainDialog);
                    EndDialog(dialog, 2);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}
