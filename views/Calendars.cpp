// The two month calendars: the pop-up under the Today tab's "Calendar" button, whose pick
// becomes the day of the Today tab, and the Tools menu's stand-alone one for looking up
// dates, which never changes anything.
#include "views/views.h"

#include "app/app.h"
#include "platform/locale/locale.h"
#include "platform/shell/shell.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"

namespace {

void LowerInputPanel(HWND dialog) {
    SHINITDLGINFO info = {};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_SIPDOWN; // the window keeps the size and place of its template
    SHInitDialog(&info);
}

} // namespace

INT_PTR CalendarPopupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            CalendarPopup = dialog;
            LowerInputPanel(dialog);
            SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_ACTIVE) {
                // Each time it comes up it shows the Today tab's day.
                SYSTEMTIME day = {};
                if (VariantTimeToSystemTime(CurrentDay, &day)) {
                    SendDlgItemMessageW(dialog, IDC_MONTH_CALENDAR, MCM_SETCURSEL, 0, (LPARAM)&day);
                }
                return TRUE;
            }
            if (LOWORD(wParam) == WA_INACTIVE) {
                // A tap elsewhere puts it away; it stays for the next "Calendar" tap.
                ShowWindow(dialog, SW_HIDE);
                UpdateWindow(dialog);
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY:
            if (LOWORD(wParam) == IDC_MONTH_CALENDAR) {
                OnCalendarSelect(dialog, lParam);
            }
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                CalendarPopup = nullptr;
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            // However it ends, the next "Calendar" tap opens it anew.
            if (CalendarPopup == dialog) {
                CalendarPopup = nullptr;
            }
            return FALSE;
    }
    return FALSE;
}

void OnCalendarSelect(HWND popup, LPARAM lParam) {
    const NMHDR* header = (const NMHDR*)lParam;
    // Only a date the user tapped counts; scrolling to another month does not.
    if (header == nullptr || header->code != MCN_SELECT) {
        return;
    }
    SYSTEMTIME picked = {};
    SendDlgItemMessageW(popup, IDC_MONTH_CALENDAR, MCM_GETCURSEL, 0, (LPARAM)&picked);
    picked.wHour = 0;
    picked.wMinute = 0;
    picked.wSecond = 0;
    picked.wMilliseconds = 0;
    double day = 0.0;
    if (SystemTimeToVariantTime(&picked, &day)) {
        CurrentDay = day;
        RefreshDateLabel(MainDialog);
        ShowToday(MainDialog);
    }
    ShowWindow(CalendarPopup, SW_HIDE);
    UpdateWindow(CalendarPopup);
}

INT_PTR CalendarDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG:
            LowerInputPanel(dialog);
            SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                // Put away, not ended: the next Tools Calendar finds it by its title.
                ShowWindow(dialog, SW_HIDE);
                ShowWindow(MainDialog, SW_SHOWNORMAL);
                return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}
