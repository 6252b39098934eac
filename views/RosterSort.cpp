// Sorting the roster view by a tapped column. The ordering is the hidden scratch list's
// own: it keeps its rows in text order of their first cell, so each row goes in with the
// tapped column moved to the front and comes back out with it moved home again.
#include "views/views.h"

#include "app/app.h"
#include "data/data.h"
#include "res/resource.h"
#include "views/ListRows.h"

using views::Cell;

int LastSortColumn = -1;
int SortDescending = 0;

namespace {

const int RosterColumns = 5;

void ReadRosterRow(HWND list, int row, Cell cells[RosterColumns]) {
    for (int column = 0; column < RosterColumns; column++) {
        views::ReadCell(list, row, column, cells[column]);
    }
}

// Puts a view row back from a scratch row: the key is the tapped column's cell, the
// other four follow in column order.
void AddFromScratchRow(HWND dialog, HWND scratch, int row, int column) {
    Cell s[RosterColumns];
    ReadRosterRow(scratch, row, s);
    LPCWSTR cells[RosterColumns];
    cells[column] = s[0];
    int next = 1;
    for (int c = 0; c < RosterColumns; c++) {
        if (c != column) {
            cells[c] = s[next++];
        }
    }
    AddRosterRow(dialog, cells[0], cells[1], cells[2], cells[3], cells[4]);
}

// A row whose tapped cell is empty has no key for the scratch list; it is carried over
// from where the view held it before the sort.
void AddUnkeyedRow(HWND dialog, HWND list, int row, int column) {
    Cell c[RosterColumns];
    ReadRosterRow(list, row, c);
    if (c[column][0] == 0) {
        AddRosterRow(dialog, c[0], c[1], c[2], c[3], c[4]);
    }
}

} // namespace

int OnRosterColumnClick(HWND dialog, WPARAM wParam, LPARAM lParam) {
    (void)dialog;
    (void)wParam;
    const NMHDR* header = (const NMHDR*)lParam;
    if (header == nullptr || header->code != LVN_COLUMNCLICK) {
        return 0;
    }
    int column = ((const NMLISTVIEW*)lParam)->iSubItem;
    if (column < 0 || column >= RosterColumns) {
        return 0;
    }
    if (column == LastSortColumn) {
        SortDescending = !SortDescending;
    } else {
        SortDescending = 0;
    }
    LastSortColumn = column;
    SortRoster(column);
    return 0;
}

void SortRoster(int column) {
    if (column < 0 || column >= RosterColumns) {
        return;
    }
    HWND dialog = MainDialog;
    HWND list = GetDlgItem(dialog, IDC_ROSTER_LIST);
    HWND scratch = GetDlgItem(dialog, IDC_SORT_SCRATCH_LIST);

    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(scratch, LVM_DELETEALLITEMS, 0, 0);

    int rows = views::RowCount(list);
    for (int row = 0; row < rows; row++) {
        Cell c[RosterColumns];
        ReadRosterRow(list, row, c);
        LPCWSTR moved[RosterColumns];
        moved[0] = c[column];
        int next = 1;
        for (int k = 0; k < RosterColumns; k++) {
            if (k != column) {
                moved[next++] = c[k];
            }
        }
        AddSortScratchRow(dialog, moved[0], moved[1], moved[2], moved[3], moved[4]);
    }

    // The sorted rows are appended after the old ones, which are removed afterwards, so
    // that rows without a key can be carried over in place: last when ascending, first
    // when descending, the descending order being the ascending one read backwards.
    int sorted = views::RowCount(scratch);
    if (!SortDescending) {
        for (int row = 0; row < sorted; row++) {
            AddFromScratchRow(dialog, scratch, row, column);
        }
        for (int row = 0; row < rows; row++) {
            AddUnkeyedRow(dialog, list, row, column);
        }
    } else {
        for (int row = rows - 1; row >= 0; row--) {
            AddUnkeyedRow(dialog, list, row, column);
        }
        for (int row = sorted - 1; row >= 0; row--) {
            AddFromScratchRow(dialog, scratch, row, column);
        }
    }
    for (int row = 0; row < rows; row++) {
        SendMessageW(list, LVM_DELETEITEM, 0, 0);
    }
    SendMessageW(scratch, LVM_DELETEALLITEMS, 0, 0);

    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void AddSortScratchRow(HWND dialog, LPCWSTR k0, LPCWSTR k1, LPCWSTR k2, LPCWSTR k3, LPCWSTR k4) {
    if (k0[0] == 0) {
        return;
    }
    LPCWSTR cells[RosterColumns] = {k0, k1, k2, k3, k4};
    HWND scratch = GetDlgItem(dialog, IDC_SORT_SCRATCH_LIST);
    // The list places the row by its first cell and reports where; the other cells go
    // to that place.
    AppendListRow(scratch, cells, RosterColumns);
}
