// The Team tab (one team's games against their opponents) and the Roster tab (one team's
// players), each rebuilt from its hidden table by a scan whenever a team is picked.
#include "views/views.h"

#include "data/data.h"
#include "res/resource.h"
#include "views/ListRows.h"

using views::Cell;

namespace {

// A team cell outside the team table names no team; its game then shows no name rather
// than a missing text.
LPCWSTR OpponentName(LONG team) {
    LPCWSTR name = TeamName((int)team);
    return name ? name : u"";
}

} // namespace

void ShowTeamSchedule(HWND dialog, int team) {
    HWND seasonTable = GetDlgItem(dialog, IDC_SEASON_TABLE);
    SendDlgItemMessageW(dialog, IDC_TEAM_SCHEDULE_LIST, LVM_DELETEALLITEMS, 0, 0);

    // The whole season is scanned: a team's games are spread over all of it.
    int rows = views::RowCount(seasonTable);
    for (int row = 0; row < rows; row++) {
        Cell schedule, visitorCell, homeCell;
        views::ReadCell(seasonTable, row, 0, schedule);
        views::ReadCell(seasonTable, row, 1, visitorCell);
        views::ReadCell(seasonTable, row, 2, homeCell);
        LONG visitor = Wtol(visitorCell);
        LONG home = Wtol(homeCell);
        if (visitor < 0) {
            continue; // the All-Star Game belongs to no team's schedule
        }
        WCHAR game[256];
        if (visitor == team) {
            WcsCopy(game, 256, u" @ ");
            WcsAppend(game, 256, OpponentName(home));
        } else if (home == team) {
            WcsCopy(game, 256, u" vs ");
            WcsAppend(game, 256, OpponentName(visitor));
        } else {
            continue;
        }
        AddTeamScheduleRow(dialog, schedule, game);
    }
}

void AddTeamScheduleRow(HWND dialog, LPCWSTR scheduleText, LPCWSTR gameText) {
    FormatGameTime(scheduleText);
    LPCWSTR cells[3] = {GameDateText, gameText, GameTimeText};
    HWND list = GetDlgItem(dialog, IDC_TEAM_SCHEDULE_LIST);
    AppendListRow(list, cells, 3);
}

void ShowRoster(HWND dialog, int team) {
    HWND rosterTable = GetDlgItem(dialog, IDC_ROSTER_TABLE);
    SendDlgItemMessageW(dialog, IDC_ROSTER_LIST, LVM_DELETEALLITEMS, 0, 0);

    // The roster file keeps each team's players together, teams in ascending order, so
    // the scan ends at the first player of a higher team.
    int rows = views::RowCount(rosterTable);
    for (int row = 0; row < rows; row++) {
        Cell teamCell;
        views::ReadCell(rosterTable, row, 0, teamCell);
        LONG rowTeam = Wtol(teamCell);
        if (rowTeam == team) {
            Cell c1, c2, c3, c4, c5;
            views::ReadCell(rosterTable, row, 1, c1);
            views::ReadCell(rosterTable, row, 2, c2);
            views::ReadCell(rosterTable, row, 3, c3);
            views::ReadCell(rosterTable, row, 4, c4);
            views::ReadCell(rosterTable, row, 5, c5);
            AddRosterRow(dialog, c1, c2, c3, c4, c5);
        }
        if (rowTeam > team) {
            break;
        }
    }
}

void AddRosterRow(HWND dialog, LPCWSTR c1, LPCWSTR c2, LPCWSTR c3, LPCWSTR c4, LPCWSTR c5) {
    if (c1[0] == 0) {
        return; // a player without a number is not shown
    }
    LPCWSTR cells[5] = {c1, c2, c3, c4, c5};
    HWND list = GetDlgItem(dialog, IDC_ROSTER_LIST);
    AppendListRow(list, cells, 5);
}
