// The season file: every game of the season, into the hidden season table and the
// Season tab's list.
#include "data/data.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"
#include "views/views.h"

namespace {

// A team without a name (an index outside the table) shows as an empty name.
LPCWSTR NameOrEmpty(LPCWSTR name) {
    return name ? name : u"";
}

} // namespace

int LoadSeason(HWND dialog, LPCWSTR path) {
    HWND table = GetDlgItem(dialog, IDC_SEASON_TABLE);
    FILE* file = _wfopen(path, u"r");
    if (!file) {
        return 0;
    }
    if (feof(file)) {
        fclose(file);
        return 1;
    }
    for (;;) {
        Sleep(0);
        WCHAR line[1024];
        ReadDataLine(file, line, 1024);
        if (ferror(file)) {
            fclose(file);
            return 0;
        }
        LPCWSTR fields[3];
        SplitDataFields(line, fields, 3);
        if (fields[0] && WcsLen(fields[0]) >= 2) {
            AddSeasonListRow(dialog, fields[0], fields[1] ? fields[1] : u"",
                             fields[2] ? fields[2] : u"");
            AppendListRow(table, fields, 3);
        }
        if (feof(file)) {
            fclose(file);
            return 1;
        }
    }
}

void AddSeasonListRow(HWND dialog, LPCWSTR field1, LPCWSTR field2, LPCWSTR field3) {
    int visitor = (int)_wtol(field2 ? field2 : u"");
    int home = (int)_wtol(field3 ? field3 : u"");
    if (!field1 || WcsLen(field1) < 2) {
        return;
    }
    FormatGameTime(field1);
    WCHAR game[256];
    WCHAR homeName[256];
    WcsCopy(game, 256, NameOrEmpty(TeamName(visitor)));
    WcsCopy(homeName, 256, NameOrEmpty(TeamName(home)));
    WcsAppend(game, 256, u" @ ");
    WcsAppend(game, 256, homeName);
    LPCWSTR cells[3] = {GameDateText, game, GameTimeText};
    AppendListRow(GetDlgItem(dialog, IDC_SEASON_LIST), cells, 3);
}
