// The roster file: every player of the league, into the hidden roster table.
#include "data/data.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"

int LoadRosterTable(HWND dialog, LPCWSTR path) {
    HWND table = GetDlgItem(dialog, IDC_ROSTER_TABLE);
    _heapmin();
    // Emptied before the file is opened: a roster that cannot be read shows no players
    // rather than those of a replaced file.
    SendMessageW(table, LVM_DELETEALLITEMS, 0, 0);
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
        LPCWSTR fields[6];
        SplitDataFields(line, fields, 6);
        AddRosterTableRow(dialog, fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
        if (feof(file)) {
            fclose(file);
            return 1;
        }
    }
}

void AddRosterTableRow(HWND dialog, LPCWSTR f1, LPCWSTR f2, LPCWSTR f3, LPCWSTR f4, LPCWSTR f5,
                       LPCWSTR f6) {
    if (!f1 || !f1[0]) {
        return;
    }
    LPCWSTR cells[6] = {f1, f2, f3, f4, f5, f6};
    AppendListRow(GetDlgItem(dialog, IDC_ROSTER_TABLE), cells, 6);
}
