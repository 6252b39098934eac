// The download dialog's resources: template 139 and its pictures 140 to 144.
#include "platform/user/commctrl.h"
#include "res/areas.h"
#include "res/resource.h"

namespace {

// ---- Template 139 ------------------------------------------------------------------------
constexpr WORD NoId = 0xFFFF;
constexpr DWORD Picture = WS_CHILD | SS_BITMAP;
constexpr DWORD CentredPicture = WS_CHILD | SS_BITMAP | SS_CENTERIMAGE;

// The three progress pictures share one line; the fetch shows one of them at a time.
const DLGITEMTEMPLATEW DownloadItems[] = {
    {WC_STATICW, MAKEINTRESOURCEW(IDB_DOWNLOAD_LINK), NoId, CentredPicture | WS_VISIBLE, 0, 37, 28,
     83, 62},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_PLEASE_WAIT), NoId, Picture | WS_VISIBLE, 0, 35, 135, 84, 10},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_CONNECTING), IDC_CONNECTING_PICTURE, CentredPicture, 0, 23,
     111, 114, 10},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_DOWNLOADING_ROSTERS), IDC_ROSTERS_PICTURE, CentredPicture, 0,
     19, 111, 122, 10},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_DOWNLOADING_STANDINGS), IDC_STANDINGS_PICTURE, CentredPicture,
     0, 19, 111, 122, 10},
};

const DLGTEMPLATEW DownloadTemplate = {
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    0,
    162,
    167,
    u"TWK Download",
    8,
    u"MS Sans Serif",
    DownloadItems,
    sizeof(DownloadItems) / sizeof(DownloadItems[0]),
};

// ---- Pictures ----------------------------------------------------------------------------
const COLORREF Ink = RGB(0x10, 0x2A, 0x5C);
const COLORREF Steel = RGB(0x6E, 0x7C, 0x8C);
const COLORREF Screen = RGB(0xB8, 0xD8, 0xF0);
const COLORREF Lamp = RGB(0x2E, 0xB8, 0x4A);
const COLORREF Link = RGB(0xE0, 0x70, 0x10);

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF edge) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, left, top, right, bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

// A centred line of bold text, as the progress captions read.
void DrawCaption(HDC dc, int width, int height, LPCWSTR text) {
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                             VARIABLE_PITCH | FF_SWISS, u"Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    RECT all = {0, 0, width, height};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ink);
    DrawTextW(dc, text, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    if (font) {
        DeleteObject(font);
    }
}

// The data server on the left, the handheld on the right, a line between them.
void DrawDownloadLink(HDC dc, int width, int height) {
    (void)width;
    // The server: a tower with three drive bays and a lamp each.
    int sl = 4, st = 10, sr = 40, sb = height - 6;
    Box(dc, sl, st, sr, sb, Steel, Ink);
    for (int i = 0; i < 3; i++) {
        int top = st + 8 + i * 14;
        Box(dc, sl + 5, top, sr - 5, top + 9, RGB(0xD8, 0xDD, 0xE4), Ink);
        Box(dc, sr - 11, top + 3, sr - 7, top + 6, Lamp, Lamp);
    }
    Box(dc, sl + 8, sb - 12, sr - 8, sb - 8, Ink, Ink);

    // The handheld: a body, its screen and four buttons.
    int hl = 76, ht = 16, hr = 106, hb = height - 10;
    Box(dc, hl, ht, hr, hb, RGB(0x40, 0x48, 0x58), Ink);
    Box(dc, hl + 4, ht + 5, hr - 4, ht + 5 + 30, Screen, Ink);
    for (int i = 0; i < 4; i++) {
        int left = hl + 4 + i * 6;
        Box(dc, left, hb - 12, left + 4, hb - 8, Steel, Steel);
    }

    // The link: a dashed line from the server to the handheld.
    HPEN pen = CreatePen(PS_SOLID, 2, Link);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int y = (st + sb) / 2;
    for (int x = sr + 3; x < hl - 3; x += 8) {
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x + 5 < hl - 3 ? x + 5 : hl - 3, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void DrawPleaseWait(HDC dc, int width, int height) {
    DrawCaption(dc, width, height, u"Please wait...");
}
void DrawConnecting(HDC dc, int width, int height) {
    DrawCaption(dc, width, height, u"Connecting to Internet");
}
void DrawDownloadingRosters(HDC dc, int width, int height) {
    DrawCaption(dc, width, height, u"Downloading Rosters");
}
void DrawDownloadingStandings(HDC dc, int width, int height) {
    DrawCaption(dc, width, height, u"Downloading Standings");
}

const BITMAPRESOURCE DownloadLink = {110, 84, DrawDownloadLink};
const BITMAPRESOURCE PleaseWait = {124, 15, DrawPleaseWait};
const BITMAPRESOURCE Connecting = {168, 15, DrawConnecting};
const BITMAPRESOURCE DownloadingRosters = {180, 15, DrawDownloadingRosters};
const BITMAPRESOURCE DownloadingStandings = {180, 15, DrawDownloadingStandings};

} // namespace

const RESOURCEENTRY DownloadResources[] = {
    {RT_DIALOG, IDD_DOWNLOAD, &DownloadTemplate},
    {RT_BITMAP, IDB_DOWNLOAD_LINK, &DownloadLink},
    {RT_BITMAP, IDB_PLEASE_WAIT, &PleaseWait},
    {RT_BITMAP, IDB_CONNECTING, &Connecting},
    {RT_BITMAP, IDB_DOWNLOADING_ROSTERS, &DownloadingRosters},
    {RT_BITMAP, IDB_DOWNLOADING_STANDINGS, &DownloadingStandings},
};
const int DownloadResourceCount = sizeof(DownloadResources) / sizeof(DownloadResources[0]);
