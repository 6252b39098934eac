// What the three data-file readers share: reading one line, splitting it into fields,
// and appending a row of text cells to a list view.
#include "data/data.h"
#include "platform/user/commctrl.h"

#include <cstring>

void ReadDataLine(FILE* file, WCHAR* wide, size_t cap) {
    char line[1024];
    memset(line, 0, sizeof(line));
    if (!fgets(line, sizeof(line), file)) {
        line[0] = 0;
    }
    size_t length = WidenHs(wide, cap, line);
    // The files are written with CRLF and read untranslated: neither character is
    // part of any value.
    if (length > 0 && wide[length - 1] == u'\n') {
        wide[--length] = 0;
    }
    if (length > 0 && wide[length - 1] == u'\r') {
        wide[--length] = 0;
    }
}

void SplitDataFields(WCHAR* line, LPCWSTR* fields, int count) {
    WCHAR* context = nullptr;
    for (int i = 0; i < count; i++) {
        fields[i] = WcsTok(i == 0 ? line : nullptr, u",", &context);
        if (!fields[i]) {
            for (int rest = i + 1; rest < count; rest++) {
                fields[rest] = nullptr;
            }
            return;
        }
    }
}

int AppendListRow(HWND list, const LPCWSTR* cells, int count) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    item.iSubItem = 0;
    item.pszText = (LPWSTR)(cells[0] ? cells[0] : u"");
    int row = (int)SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
    if (row < 0) {
        return -1;
    }
    for (int cell = 1; cell < count; cell++) {
        LVITEMW text = {};
        text.iSubItem = cell;
        text.pszText = (LPWSTR)(cells[cell] ? cells[cell] : u"");
        SendMessageW(list, LVM_SETITEMTEXTW, row, (LPARAM)&text);
    }
    return row;
}
