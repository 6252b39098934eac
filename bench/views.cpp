// The views' scans over the bundled season and rosters: a team's schedule, the Today view
// of the season's last day (the longest scan), and sorting a full team's roster.
#include <benchmark/benchmark.h>

#include "app/app.h"
#include "data/data.h"
#include "platform/base/base.h"
#include "platform/locale/locale.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"
#include "views/views.h"

namespace {

void AddColumns(HWND list, int count) {
    for (int column = 0; column < count; column++) {
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.cx = 40;
        col.pszText = (LPWSTR)u"c";
        SendMessageW(list, LVM_INSERTCOLUMNW, (WPARAM)column, (LPARAM)&col);
    }
}

void AddList(HWND parent, int id, int columns, DWORD style = 0) {
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | LVS_REPORT | style, 0, 0, 200, 200,
                                parent, (HMENU)(INT_PTR)id, nullptr, nullptr);
    AddColumns(list, columns);
}

// The parts of the main window that the views read and write, filled by the program's own
// readers from the bundled files.
HWND MakeWindow() {
    static HWND window = nullptr;
    if (window) {
        return window;
    }
    InitCommonControls();
    window = CreateWindowExW(0, WC_STATICW, u"bench", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr,
                             nullptr, nullptr);
    AddList(window, IDC_TAB_STRIP, 0);
    AddList(window, IDC_SEASON_TABLE, 3);
    AddList(window, IDC_SEASON_LIST, 3);
    AddList(window, IDC_ROSTER_TABLE, 6);
    AddList(window, IDC_TEAM_SCHEDULE_LIST, 3);
    AddList(window, IDC_TODAY_LIST, 2);
    AddList(window, IDC_ROSTER_LIST, 5);
    AddList(window, IDC_SORT_SCRATCH_LIST, 5, LVS_SORTASCENDING);
    CreateWindowExW(0, WC_STATICW, u"", WS_CHILD, 0, 0, 100, 20, window,
                    (HMENU)(INT_PTR)IDC_DATE_LABEL, nullptr, nullptr);
    MainDialog = window;
    LoadSeason(window, u"" TW_TEST_DATA "/Season.dat");
    LoadRosterTable(window, u"" TW_TEST_DATA "/Roster.dat");
    return window;
}

void BM_ShowTeamSchedule(benchmark::State& state) {
    HWND window = MakeWindow();
    for (auto _ : state) {
        ShowTeamSchedule(window, 4);
    }
    state.counters["rows"] =
        (double)SendDlgItemMessageW(window, IDC_TEAM_SCHEDULE_LIST, LVM_GETITEMCOUNT, 0, 0);
}
BENCHMARK(BM_ShowTeamSchedule)->Unit(benchmark::kMicrosecond);

void BM_ShowTodayLastDay(benchmark::State& state) {
    HWND window = MakeWindow();
    SYSTEMTIME last = {};
    last.wYear = 2004;
    last.wMonth = 4;
    last.wDay = 4;
    SystemTimeToVariantTime(&last, &CurrentDay);
    RefreshDateLabel(window);
    for (auto _ : state) {
        ShowToday(window);
    }
    state.counters["rows"] =
        (double)SendDlgItemMessageW(window, IDC_TODAY_LIST, LVM_GETITEMCOUNT, 0, 0);
}
BENCHMARK(BM_ShowTodayLastDay)->Unit(benchmark::kMicrosecond);

void BM_SortRosterFullTeam(benchmark::State& state) {
    HWND window = MakeWindow();
    ShowRoster(window, 4);
    // Each pass reverses the order the last one left, as taps on one header do.
    for (auto _ : state) {
        SortDescending = !SortDescending;
        SortRoster(1);
    }
    state.counters["rows"] =
        (double)SendDlgItemMessageW(window, IDC_ROSTER_LIST, LVM_GETITEMCOUNT, 0, 0);
}
BENCHMARK(BM_SortRosterFullTeam)->Unit(benchmark::kMicrosecond);

} // namespace
