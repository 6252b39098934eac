// List views used as tables: reading their text cells back, at most 255 characters each
// (rows are appended with AppendListRow of data/).
#pragma once

#include "platform/user/commctrl.h"

namespace views {

// A cell as the tables hand it out: at most 255 characters and the terminator.
typedef WCHAR Cell[256];

int RowCount(HWND list);
// Reads one cell; a row or column that does not exist reads as an empty text.
void ReadCell(HWND list, int row, int column, Cell cell);
} // namespace views
