// The main window's layout: the five tabs, which controls each tab shows, the columns of
// every list and the two team drop-downs.
#include "app/app.h"
#include "data/data.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"

void InsertTabs(HWND dialog) {
    static const LPCWSTR captions[] = {u" Standings ", u"  Today   ", u"   Team   ", u"  Roster   ",
                                       u"  Season   "};
    HWND tabs = GetDlgItem(dialog, IDC_TAB_STRIP);
    for (int position = 0; position < 5; position++) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = (LPWSTR)captions[position];
        item.iImage = -1;
        SendMessageW(tabs, TCM_INSERTITEMW, position, (LPARAM)&item);
    }
}

namespace {

// Which tabs show a control: bit n set for tab n. Controls not listed (the tab strip, the
// banners, the hidden tables) are left alone here.
struct TabControl {
    int id;
    unsigned tabs;
};
constexpr unsigned Standings = 1u << 0, Today = 1u << 1, Team = 1u << 2, Roster = 1u << 3,
                   Season = 1u << 4;
const TabControl TabControls[] = {
    {IDC_TITLE_LABEL, Standings},
    {IDC_STANDINGS_HEADER, Standings},
    {IDC_STANDINGS_LIST, Standings},
    {IDC_BANNER_ATLANTIC, 0},
    {IDC_BANNER_NORTHEAST, 0},
    {IDC_BANNER_SOUTHEAST, 0},
    {IDC_BANNER_CENTRAL, 0},
    {IDC_BANNER_NORTHWEST, 0},
    {IDC_BANNER_PACIFIC, 0},
    {IDC_TODAY_LIST, Today},
    {IDC_PREV_DAY, Today},
    {IDC_NEXT_DAY, Today},
    {IDC_CALENDAR_BUTTON, Today},
    {IDC_DATE_LABEL, Today},
    {IDC_CHOOSE_TEAM_LABEL, Team | Roster},
    {IDC_TEAM_COMBO, Team},
    {IDC_TEAM_SCHEDULE_LIST, Team},
    {IDC_ROSTER_TEAM_COMBO, Roster},
    {IDC_ROSTER_LIST, Roster},
    {IDC_SEASON_LIST, Season},
};

bool IsBanner(int id) {
    return id >= IDC_BANNER_ATLANTIC && id <= IDC_BANNER_PACIFIC;
}

} // namespace

void ShowTab(HWND dialog) {
    int tab = (int)SendDlgItemMessageW(dialog, IDC_TAB_STRIP, TCM_GETCURSEL, 0, 0);
    if (tab < 0 || tab > 4) {
        return;
    }
    for (const TabControl& control : TabControls) {
        // The banners are placed, not shown, on the Standings tab.
        if (tab == 0 && IsBanner(control.id)) {
            continue;
        }
        bool shown = (control.tabs & (1u << tab)) != 0;
        ShowWindow(GetDlgItem(dialog, control.id), shown ? SW_SHOWNORMAL : SW_HIDE);
    }
    if (tab == 0) {
        PlaceDivisionBanners(dialog);
    }
}

namespace {

struct Column {
    LPCWSTR caption;
    int format;
    int width;
};

void InsertColumns(HWND dialog, int id, const Column* columns, int count, DWORD addedStyle) {
    HWND list = GetDlgItem(dialog, id);
    for (int position = 0; position < count; position++) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columns[position].format;
        column.cx = columns[position].width;
        column.pszText = (LPWSTR)columns[position].caption;
        column.iSubItem = position;
        SendMessageW(list, LVM_INSERTCOLUMNW, position, (LPARAM)&column);
    }
    if (addedStyle) {
        LRESULT style = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | addedStyle);
    }
}

} // namespace

void CreateListColumns(HWND dialog) {
    constexpr int L = LVCFMT_LEFT, R = LVCFMT_RIGHT;
    static const Column standings[] = {
        {u"Team", L, 80}, {u"W", R, 29}, {u"L", R, 29}, {u"T", R, 29}, {u"Pct", R, 40}};
    static const Column today[] = {{u"Game", L, 160}, {u"Time", R, 50}};
    static const Column schedule[] = {{u"Date", L, 40}, {u"Game", L, 120}, {u"Time", R, 50}};
    static const Column roster[] = {
        {u"#", L, 20}, {u"Player", L, 80}, {u"Pos", L, 40}, {u"Ht", L, 40}, {u"Wt", L, 40}};
    static const Column seasonTable[] = {{u"Date", L, 40}, {u"vTeam", L, 50}, {u"hTeam", L, 50}};
    static const Column rosterTable[] = {{u"TM", L, 20},  {u"#", L, 20},  {u"Player", L, 80},
                                         {u"Pos", L, 40}, {u"Ht", L, 40}, {u"Wt", L, 40}};
    constexpr DWORD FullRow = LVS_EX_FULLROWSELECT;
    InsertColumns(dialog, IDC_STANDINGS_LIST, standings, 5, FullRow | LVS_EX_GRIDLINES);
    InsertColumns(dialog, IDC_TODAY_LIST, today, 2, FullRow);
    InsertColumns(dialog, IDC_TEAM_SCHEDULE_LIST, schedule, 3, FullRow);
    InsertColumns(dialog, IDC_ROSTER_LIST, roster, 5, FullRow);
    InsertColumns(dialog, IDC_SORT_SCRATCH_LIST, roster, 5, FullRow);
    InsertColumns(dialog, IDC_SEASON_LIST, schedule, 3, FullRow);
    InsertColumns(dialog, IDC_SEASON_TABLE, seasonTable, 3, 0);
    InsertColumns(dialog, IDC_ROSTER_TABLE, rosterTable, 6, 0);
}

void FillTeamCombos(HWND dialog) {
    HWND teamCombo = GetDlgItem(dialog, IDC_TEAM_COMBO);
    HWND rosterCombo = GetDlgItem(dialog, IDC_ROSTER_TEAM_COMBO);
    for (int team = 0; team < 30; team++) {
        SendMessageW(teamCombo, CB_ADDSTRING, 0, (LPARAM)TeamName(team));
        SendMessageW(rosterCombo, CB_ADDSTRING, 0, (LPARAM)TeamName(team));
    }
}
