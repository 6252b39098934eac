// Templates and pictures of the Options dialog and the About box.
#include "platform/user/commctrl.h"
#include "res/areas.h"
#include "res/resource.h"

namespace {

const DLGITEMTEMPLATEW OptionsItems[] = {
    {WC_BUTTONW, u"Save", IDC_SAVE, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 19, 128, 50, 18},
    {WC_BUTTONW, u"Cancel", IDC_CANCEL_OPTIONS, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 91, 128,
     50, 18},
    {WC_COMBOBOXW, u"", IDC_FAVORITE_TEAM_COMBO,
     CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 0, 39, 25, 81, 72},
    {WC_COMBOBOXW, u"", IDC_TIME_ZONE_COMBO,
     CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 0, 39, 87, 81, 72},
    {WC_BUTTONW, u" Favorite Team ", 0xFFFF, BS_GROUPBOX | WS_VISIBLE, 0, 23, 10, 112, 40},
    {WC_BUTTONW, u" Time Zone ", 0xFFFF, BS_GROUPBOX | WS_VISIBLE, 0, 23, 72, 112, 40},
};

const DLGITEMTEMPLATEW AboutItems[] = {
    {WC_STATICW, MAKEINTRESOURCEW(IDI_TARNWICK), 0xFFFF, SS_ICON | WS_VISIBLE, 0, 12, 9, 20, 20},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_ABOUT_NAME), 0xFFFF, SS_BITMAP | WS_VISIBLE, 0, 52, 7, 66,
     10},
    {WC_STATICW, u"Version 2.0.04", 0xFFFF, SS_CENTER | WS_VISIBLE, 0, 57, 23, 55, 8},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_ABOUT_CAPTION), 0xFFFF, SS_BITMAP | WS_VISIBLE, 0, 43, 57, 66,
     9},
};

// The program's name in the box's title colours, as large as the picture allows.
void DrawAboutName(HDC dc, int width, int height) {
    HFONT font = CreateFontW(height, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0,
                             VARIABLE_PITCH | FF_SWISS, u"Tahoma");
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 51, 153));
    RECT r = {0, 0, width, height};
    DrawTextW(dc, u"Tarnwick", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

// The line under the version: which season the installed schedule covers, in the
// largest size that fits the picture's width.
void DrawAboutCaption(HDC dc, int width, int height) {
    const WCHAR* text = u"2003-04 Season";
    HFONT font = nullptr;
    for (int size = height; size >= 6; size--) {
        font = CreateFontW(size, 0, 0, 0, FW_NORMAL, 1, 0, 0, ANSI_CHARSET, 0, 0, 0,
                           VARIABLE_PITCH | FF_SWISS, u"Tahoma");
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text, (int)WcsLen(text), &extent);
        SelectObject(dc, previous);
        if (extent.cx <= width || size == 6)
            break;
        DeleteObject(font);
    }
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(96, 96, 96));
    RECT r = {0, 0, width, height};
    DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

// 162 x 166 before it is made full screen.
const DLGTEMPLATEW OptionsTemplate = {
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    0,
    162,
    166,
    u"TWK Options",
    8,
    u"MS Sans Serif",
    OptionsItems,
    (int)(sizeof OptionsItems / sizeof OptionsItems[0]),
};

// Not made full screen: a small box centred over whatever is showing.
const DLGTEMPLATEW AboutTemplate = {
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_CENTER,
    0,
    0,
    0,
    140,
    86,
    u"About Tarnwick",
    8,
    u"MS Sans Serif",
    AboutItems,
    (int)(sizeof AboutItems / sizeof AboutItems[0]),
};

// Sized to their statics: 66 x 10 and 66 x 9 dialog units.
const BITMAPRESOURCE AboutNameBitmap = {98, 16, DrawAboutName};
const BITMAPRESOURCE AboutCaptionBitmap = {98, 14, DrawAboutCaption};

} // namespace

const RESOURCEENTRY SettingsResources[] = {
    {RT_DIALOG, IDD_OPTIONS, &OptionsTemplate},
    {RT_DIALOG, IDD_ABOUT, &AboutTemplate},
    {RT_BITMAP, IDB_ABOUT_NAME, &AboutNameBitmap},
    {RT_BITMAP, IDB_ABOUT_CAPTION, &AboutCaptionBitmap},
};
const int SettingsResourceCount = (int)(sizeof SettingsResources / sizeof SettingsResources[0]);
