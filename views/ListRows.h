// List views used as tables: rows of text cells, read back as at most 255 characters.
#pragma once

#include "platform/user/commctrl.h"

namespace views {

// A cell as the tables hand it out: at most 255 characters and the terminator.
typedef WCHAR Cell[256];

int RowCount(HWND list);
// Reads one cell; a row or column that does not exist reads as an empty text.
void ReadCell(HWND list, int row, int column, Cell cell);
// Puts a row of count cells at position (the row count appends). The list may choose
// another place (a sorted list does); the place it chose is returned, -1 on failure.
int InsertRow(HWND list, int position, const LPCWSTR* cells, int count);

} // namespace views
