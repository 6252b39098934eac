// The Options dialog: the favourite team and the time zone in which game times are shown.
#include "app/app.h"
#include "platform/shell/shell.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"
#include "settings/settings.h"

// Positions are meanings: the time conversion singles out Hawaii (2), Arizona (6) and
// Indiana (12), and ZoneIndex is stored as a position, so entries are never reordered.
// Each offset is the hour in the label plus 5: hours from US Eastern time.
const TimeZone TimeZoneTable[70] = {
    {u"GMT-12 Kwajalein", -7},
    {u"GMT-11 Samoa,Midway", -6},
    {u"GMT-10 Hawaii", -5},
    {u"GMT-9 Alaska", -4},
    {u"GMT-8 Pacific US", -3},
    {u"GMT-7 Mountain US", -2},
    {u"GMT-7 Arizona", -2},
    {u"GMT-6 Central US", -1},
    {u"GMT-6 Saskatchewan", -1},
    {u"GMT-6 Mexico City", -1},
    {u"GMT-6 Cent. America", -1},
    {u"GMT-5 Eastern US", 0},
    {u"GMT-5 Indiana", 0},
    {u"GMT-5 Bogota,Lima", 0},
    {u"GMT-4 Atlantic", 1},
    {u"GMT-4 Caracas,La Paz", 1},
    {u"GMT-4 Santiago", 1},
    {u"GMT-03 Newfoundland", 2},
    {u"GMT-3 Brasilia", 2},
    {u"GMT-3 Buenos Aires", 2},
    {u"GMT-3 Greenland", 2},
    {u"GMT-2 Mid-Atlantic", 3},
    {u"GMT-1 Azores", 4},
    {u"GMT-1 Cape Verde", 4},
    {u"GMT-0 London,Dublin", 5},
    {u"GMT-0 Casablanca", 5},
    {u"GMT+1 Prague,Budapest", 6},
    {u"GMT+1 Warsaw,Sofjia", 6},
    {u"GMT+1 Paris,Madrid", 6},
    {u"GMT+1 Berlin,Rome", 6},
    {u"GMT+1 W Cent Africa", 6},
    {u"GMT+2 Bucharest", 7},
    {u"GMT+2 Cairo", 7},
    {u"GMT+2 Helsinki,Riga", 7},
    {u"GMT+2 Athens,Istanbul", 7},
    {u"GMT+2 Jerusalem", 7},
    {u"GMT+2 Pretoria", 7},
    {u"GMT+3 Moscow", 8},
    {u"GMT+3 Riyadh, Kuwait", 8},
    {u"GMT+3 Nairobi", 8},
    {u"GMT+3 Baghdad", 8},
    {u"GMT+4 Abu Dhabi", 9},
    {u"GMT+4 Baku,Tbilisi", 9},
    {u"GMT+4 Kabul", 9},
    {u"GMT+5 Yekaterinburg", 10},
    {u"GMT+5 Islamabad", 10},
    {u"GMT+5 New Delhi", 10},
    {u"GMT+6 Kathmandu", 11},
    {u"GMT+6 Astana,Dhaka", 11},
    {u"GMT+6 Sri Lanka", 11},
    {u"GMT+6 Almaty", 11},
    {u"GMT+7 Bangkok,Hanoi", 12},
    {u"GMT+7 Krasnoyarsk", 12},
    {u"GMT+8 Beijing, HK", 13},
    {u"GMT+8 Malaysia,Singapore", 13},
    {u"GMT+8 Taipei", 13},
    {u"GMT+8 Perth", 13},
    {u"GMT+8 Ulaanbataar", 13},
    {u"GMT+9 Seoul", 14},
    {u"GMT+9 Tokyo,Osaka", 14},
    {u"GMT+9 Yakutsk", 14},
    {u"GMT+10 Sydney", 15},
    {u"GMT+10 Brisbane", 15},
    {u"GMT+10 Hobart", 15},
    {u"GMT+10 Vladivostok", 15},
    {u"GMT+10 Guam", 15},
    {u"GMT+11 Magadan", 16},
    {u"GMT+12 Fiji Islands", 17},
    {u"GMT+12 New Zealand", 17},
    {u"GMT+13 Tonga", 18},
};

namespace {

// The dialog copies the team names from the main window's drop-down, so both lists are
// always the same teams in the same TeamIndex order.
void FillFavoriteTeamCombo(HWND dialog) {
    HWND source = GetDlgItem(MainDialog, IDC_TEAM_COMBO);
    int count = (int)SendMessageW(source, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        WCHAR name[256] = {};
        if (SendMessageW(source, CB_GETLBTEXT, (WPARAM)i, (LPARAM)name) == CB_ERR)
            name[0] = 0;
        SendDlgItemMessageW(dialog, IDC_FAVORITE_TEAM_COMBO, CB_ADDSTRING, 0, (LPARAM)name);
    }
}

void FillTimeZoneCombo(HWND dialog) {
    for (int i = 0; i < 70; i++) {
        LRESULT pos = SendDlgItemMessageW(dialog, IDC_TIME_ZONE_COMBO, CB_ADDSTRING, 0,
                                          (LPARAM)TimeZoneTable[i].label);
        SendDlgItemMessageW(dialog, IDC_TIME_ZONE_COMBO, CB_SETITEMDATA, (WPARAM)pos,
                            (LPARAM)TimeZoneTable[i].offset);
    }
}

void SaveOptions(HWND dialog) {
    // A drop-down without a selection (a stored Team or Index that was outside its list)
    // keeps that setting as it was, rather than storing -1 for it.
    LRESULT team = SendDlgItemMessageW(dialog, IDC_FAVORITE_TEAM_COMBO, CB_GETCURSEL, 0, 0);
    if (team != CB_ERR)
        FavoriteTeam = (int)team;
    LRESULT zone = SendDlgItemMessageW(dialog, IDC_TIME_ZONE_COMBO, CB_GETCURSEL, 0, 0);
    if (zone != CB_ERR) {
        ZoneIndex = (int)zone;
        HourOffset = (int)SendDlgItemMessageW(dialog, IDC_TIME_ZONE_COMBO, CB_GETITEMDATA,
                                              (WPARAM)ZoneIndex, 0);
    }
    WriteSettings();
}

void ShowMainWindow() {
    ShowWindow(MainDialog, SW_SHOWNORMAL);
    UpdateWindow(MainDialog);
}

} // namespace

INT_PTR OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: {
            SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
            SHInitDialog(&info);
            // The top bar shows the X, not an "ok" button: OK would close without saving.
            SHDoneButton(dialog, SHDB_HIDE);
            CreateEmptyMenuBar(dialog);
            FillFavoriteTeamCombo(dialog);
            FillTimeZoneCombo(dialog);
            SendDlgItemMessageW(dialog, IDC_FAVORITE_TEAM_COMBO, CB_SETCURSEL, (WPARAM)FavoriteTeam,
                                0);
            SendDlgItemMessageW(dialog, IDC_TIME_ZONE_COMBO, CB_SETCURSEL, (WPARAM)ZoneIndex, 0);
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_SAVE:
                    SaveOptions(dialog);
                    ShowMainWindow();
                    EndDialog(dialog, IDC_SAVE);
                    return TRUE;
                case IDC_CANCEL_OPTIONS:
                    ShowMainWindow();
                    EndDialog(dialog, IDC_CANCEL_OPTIONS);
                    return TRUE;
                case IDOK:
                    ShowMainWindow();
                    EndDialog(dialog, IDOK);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}
