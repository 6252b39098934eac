#include "views/ListRows.h"

namespace views {

int RowCount(HWND list) {
    return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
}

void ReadCell(HWND list, int row, int column, Cell cell) {
    cell[0] = 0;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = cell;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, (WPARAM)row, (LPARAM)&item);
    cell[255] = 0;
}

int InsertRow(HWND list, int position, const LPCWSTR* cells, int count) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = position;
    item.iSubItem = 0;
    item.pszText = (LPWSTR)cells[0];
    int placed = (int)SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
    if (placed < 0) {
        return -1;
    }
    for (int column = 1; column < count; column++) {
        LVITEMW sub = {};
        sub.iSubItem = column;
        sub.pszText = (LPWSTR)cells[column];
        SendMessageW(list, LVM_SETITEMTEXTW, (WPARAM)placed, (LPARAM)&sub);
    }
    return placed;
}

} // namespace views
