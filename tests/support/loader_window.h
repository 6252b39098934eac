// A window holding the main window's lists and tab strip under their ids, with the main
// window's columns: enough for the data-file readers, without the rest of the window.
#pragma once

#include "app/app.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"

#include <string>
#include <vector>

namespace loaders {

inline HWND MakeLoaderWindow() {
    static ATOM registered = 0;
    if (!registered) {
        InitCommonControls();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"TwLoaderHost";
        registered = RegisterClassW(&wc);
    }
    HWND parent = CreateWindowExW(0, u"TwLoaderHost", u"Loader host", WS_POPUP, 0, 26, 240, 268,
                                  nullptr, nullptr, nullptr, nullptr);
    const int lists[] = {IDC_STANDINGS_LIST, IDC_TODAY_LIST,        IDC_TEAM_SCHEDULE_LIST,
                         IDC_ROSTER_LIST,    IDC_SORT_SCRATCH_LIST, IDC_SEASON_LIST,
                         IDC_SEASON_TABLE,   IDC_ROSTER_TABLE};
    for (int id : lists) {
        CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_BORDER | LVS_REPORT, 9, 45, 219, 188,
                        parent, (HMENU)(INT_PTR)id, nullptr, nullptr);
    }
    CreateWindowExW(0, WC_TABCONTROLW, u"", WS_CHILD | WS_VISIBLE, 0, 242, 237, 26, parent,
                    (HMENU)(INT_PTR)IDC_TAB_STRIP, nullptr, nullptr);
    CreateListColumns(parent);
    return parent;
}

typedef std::vector<std::u16string> Row;

inline std::vector<Row> Rows(HWND parent, int id) {
    HWND list = GetDlgItem(parent, id);
    int count = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    int columns = (int)SendMessageW(list, LVM_GETCOLUMNCOUNT_TW, 0, 0);
    std::vector<Row> rows;
    for (int i = 0; i < count; i++) {
        Row row;
        for (int c = 0; c < columns; c++) {
            WCHAR text[256] = {};
            LVITEMW item = {};
            item.iSubItem = c;
            item.pszText = text;
            item.cchTextMax = 256;
            SendMessageW(list, LVM_GETITEMTEXTW, i, (LPARAM)&item);
            row.push_back(text);
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace loaders
