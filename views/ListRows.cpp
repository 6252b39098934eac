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

} // namespace views
