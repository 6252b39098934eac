// The standings file: the as-of text and the 30 teams in six divisions, the floating
// division banners over the list, and the title of the Standings tab.
#include "data/data.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"

WCHAR StandingsAsOf[112] = u"";

int LoadStandings(HWND dialog, LPCWSTR path) {
    HWND list = GetDlgItem(dialog, IDC_STANDINGS_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    FILE* file = _wfopen(path, u"r");
    if (!file) {
        return 0;
    }

    // The as-of text is the first run of characters other than a double quote; commas
    // belong to it. A longer text than the title holds is cut.
    WCHAR line[1024];
    ReadDataLine(file, line, 1024);
    WCHAR* context = nullptr;
    LPCWSTR asOf = WcsTok(line, u"\"", &context);
    WcsCopy(StandingsAsOf, 112, asOf ? asOf : u"");

    AddStandingsRow(dialog, u"", u"", u"", u"", u"");
    int inGroup = 0;
    for (int team = 0; team < 30; team++) {
        ReadDataLine(file, line, 1024);
        // An error while reading the title line is still set and is reported here.
        if (ferror(file)) {
            fclose(file);
            return 0;
        }
        LPCWSTR fields[5];
        SplitDataFields(line, fields, 5);
        LPCWSTR name = nullptr;
        if (fields[0]) {
            WCHAR* nameContext = nullptr;
            name = WcsTok((WCHAR*)fields[0], u"\"", &nameContext);
        }
        AddStandingsRow(dialog, name, fields[1], fields[2], fields[3], fields[4]);
        if (inGroup < 4) {
            inGroup++;
        } else if (team != 29) {
            AddStandingsRow(dialog, u"", u"", u"", u"", u"");
            inGroup = 0;
        }
    }
    fclose(file);
    return 1;
}

void AddStandingsRow(HWND dialog, LPCWSTR c0, LPCWSTR c1, LPCWSTR c2, LPCWSTR c3, LPCWSTR c4) {
    LPCWSTR cells[5] = {c0, c1, c2, c3, c4};
    AppendListRow(GetDlgItem(dialog, IDC_STANDINGS_LIST), cells, 5);
}

void PlaceDivisionBanners(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_STANDINGS_LIST);
    RECT listRect;
    if (!GetWindowRect(list, &listRect)) {
        return;
    }
    int threshold = listRect.bottom - 80;
    // The list's corner within the main window: banners are children of the window, the
    // rows' rectangles are the list's own.
    POINT corner = {listRect.left, listRect.top};
    ScreenToClient(dialog, &corner);

    for (int banner = 0; banner < 6; banner++) {
        HWND picture = GetDlgItem(dialog, IDC_BANNER_ATLANTIC + banner);
        RECT row = {};
        row.left = LVIR_BOUNDS;
        bool exists = SendMessageW(list, LVM_GETITEMRECT, banner * 6, (LPARAM)&row) != 0;
        bool shown = false;
        if (exists && row.top >= 0) {
            if (banner < 2) {
                shown = row.bottom < threshold;
            } else if (banner == 2) {
                shown = row.bottom <= threshold;
            } else {
                shown = row.top < threshold;
            }
        }
        if (shown) {
            // On the device the window's client area starts 26 pixels down the screen,
            // so the banner's top lies two pixels below the row's top.
            SetWindowPos(picture, HWND_TOP, corner.x + 30, corner.y + row.top + 2, 0, 0,
                         SWP_NOSIZE | SWP_SHOWWINDOW);
            ShowWindow(picture, SW_SHOWNORMAL);
        } else {
            ShowWindow(picture, SW_HIDE);
        }
    }
}

HFONT TitleFont() {
    static HFONT font = nullptr;
    if (!font) {
        font = CreateFontW(14, 0, 0, 0, FW_BOLD, 0, 0, 0, 255, 0, 0, 0, 16, u"Tahoma");
    }
    return font;
}

void PaintStandingsTitle(HWND dialog) {
    WCHAR title[128];
    WcsCopy(title, 128, u" ");
    WcsAppend(title, 128, StandingsAsOf);
    WcsAppend(title, 128, u" NHL Standings ");

    HWND label = GetDlgItem(dialog, IDC_TITLE_LABEL);
    if (SendDlgItemMessageW(dialog, IDC_TAB_STRIP, TCM_GETCURSEL, 0, 0) != 0) {
        ShowWindow(label, SW_HIDE);
        return;
    }
    RECT client;
    GetClientRect(label, &client);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    HGDIOBJ oldFont = SelectObject(dc, TitleFont());
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, title, -1, &client, DT_CENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    EndPaint(label, &paint);
}
