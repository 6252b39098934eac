// The main window's resources: dialog template 108, menu 102 and its command bar, the
// captions of the command bar, the division banners and column pictures, and the icon.
#include "platform/shell/shell.h"
#include "platform/user/commctrl.h"
#include "res/areas.h"
#include "res/resource.h"

namespace {

// ---- Template 108 ------------------------------------------------------------------------
constexpr DWORD ListStyle =
    WS_CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_ALIGNLEFT;

// In creation order: the banners come first so that placing them at the top of the
// sibling order is what keeps them above the standings list.
const DLGITEMTEMPLATEW MainItems[] = {
    {WC_STATICW, MAKEINTRESOURCEW(IDB_ATLANTIC), IDC_BANNER_ATLANTIC,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 9, 31, 37, 6},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_NORTHEAST), IDC_BANNER_NORTHEAST,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 9, 31, 37, 6},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_SOUTHEAST), IDC_BANNER_SOUTHEAST,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 9, 31, 37, 6},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_CENTRAL), IDC_BANNER_CENTRAL,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 9, 31, 37, 6},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_NORTHWEST), IDC_BANNER_NORTHWEST,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 9, 31, 37, 6},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_PACIFIC), IDC_BANNER_PACIFIC,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 9, 31, 37, 6},
    {WC_TABCONTROLW, u"Tab1", IDC_TAB_STRIP, WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER, 0, 0, 151, 160,
     16},
    {WC_STATICW, u"2002 NHL Standing", IDC_TITLE_LABEL, WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 30, 5,
     100, 9},
    {WC_LISTVIEWW, u"List1", IDC_STANDINGS_LIST, ListStyle | WS_VISIBLE | LVS_NOCOLUMNHEADER, 0, 6,
     28, 148, 117},
    {WC_LISTVIEWW, u"List1", IDC_TODAY_LIST, ListStyle, 0, 6, 25, 148, 120},
    {WC_LISTVIEWW, u"List1", IDC_TEAM_SCHEDULE_LIST, ListStyle, 0, 6, 25, 148, 120},
    {WC_LISTVIEWW, u"List1", IDC_ROSTER_LIST, ListStyle, 0, 6, 25, 148, 120},
    {WC_LISTVIEWW, u"List1", IDC_SORT_SCRATCH_LIST, ListStyle | LVS_SORTASCENDING, 0, 6, 80, 148,
     70},
    {WC_LISTVIEWW, u"List1", IDC_SEASON_LIST, ListStyle, 0, 6, 8, 148, 137},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_STANDINGS_HEADER), IDC_STANDINGS_HEADER,
     WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 13, 20, 115, 7},
    {WC_STATICW, MAKEINTRESOURCEW(IDB_CHOOSE_TEAM), IDC_CHOOSE_TEAM_LABEL, WS_CHILD | SS_BITMAP, 0,
     12, 10, 50, 6},
    {WC_COMBOBOXW, u"", IDC_TEAM_COMBO, WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0,
     70, 7, 77, 99},
    {WC_COMBOBOXW, u"", IDC_ROSTER_TEAM_COMBO,
     WS_CHILD | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 70, 7, 77, 99},
    {WC_BUTTONW, u"<", IDC_PREV_DAY, WS_CHILD | WS_TABSTOP, 0, 6, 5, 17, 15},
    {WC_BUTTONW, u">", IDC_NEXT_DAY, WS_CHILD | WS_TABSTOP, 0, 26, 5, 17, 15},
    {WC_BUTTONW, u"Calendar", IDC_CALENDAR_BUTTON, WS_CHILD | WS_TABSTOP, 0, 50, 5, 40, 15},
    {WC_STATICW, u"09/24/2003", IDC_DATE_LABEL, WS_CHILD | SS_LEFT, 0, 98, 7, 60, 8},
    {WC_LISTVIEWW, u"List1", IDC_SEASON_TABLE, WS_CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT, 0, 6,
     28, 148, 117},
    {WC_LISTVIEWW, u"List1", IDC_ROSTER_TABLE, WS_CHILD | WS_BORDER | WS_TABSTOP | LVS_REPORT, 0, 6,
     28, 148, 117},
};

const DLGTEMPLATEW MainTemplate = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    0,
    0,
    0,
    162,
    167,
    u"Tarnwick",
    8,
    u"MS Sans Serif",
    MainItems,
    sizeof(MainItems) / sizeof(MainItems[0]),
};

// ---- Menu 102 and its command bar ------------------------------------------------------
const MENUITEMTEMPLATEW DownloadItems[] = {
    {MF_STRING, IDM_DOWNLOAD_STANDINGS, u"Standings", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_DOWNLOAD_ROSTERS, u"Rosters", nullptr, 0},
};
const MENUITEMTEMPLATEW FileItems[] = {
    {MF_POPUP, 0, u"Download", DownloadItems, 3},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
};
const MENUITEMTEMPLATEW ToolsItems[] = {
    {MF_STRING, IDM_OPTIONS, u"Options", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_CALENDAR, u"Calendar", nullptr, 0},
};
const MENUITEMTEMPLATEW HelpItems[] = {
    {MF_STRING, IDM_HELP_TARNWICK, u"Tarnwick", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, IDM_ABOUT, u"About", nullptr, 0},
};
const MENUITEMTEMPLATEW MenuBarItems[] = {
    {MF_POPUP, 0, u"File", FileItems, 2},
    {MF_POPUP, 0, u"Tools", ToolsItems, 3},
    {MF_POPUP, 0, u"Help", HelpItems, 3},
};
const MENUTEMPLATEW MainMenu = {MenuBarItems, 3};

constexpr BYTE DropDownButton = TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE;
const MENUBARBUTTON MenuBarButtons[] = {
    {I_IMAGENONE, IDM_FILE, TBSTATE_ENABLED, DropDownButton, IDS_FILE, 0},
    {I_IMAGENONE, IDM_TOOLS, TBSTATE_ENABLED, DropDownButton, IDS_TOOLS, 1},
    {I_IMAGENONE, IDM_HELP, TBSTATE_ENABLED, DropDownButton, IDS_HELP, 2},
};
const MENUBARRESOURCE MainMenuBar = {IDR_MENUBAR, MenuBarButtons, 3};

const STRINGRESOURCE FileCaption = {u"File"};
const STRINGRESOURCE ToolsCaption = {u"Tools"};
const STRINGRESOURCE HelpCaption = {u"Help"};

// ---- Pictures ----------------------------------------------------------------------------
constexpr COLORREF Orange = RGB(0xE0, 0x60, 0x00);
constexpr COLORREF Black = RGB(0, 0, 0);

// The largest bold face whose cell is at most maxHeight pixels high and in which the text
// is at most maxWidth wide; selected into dc. The caller deletes it.
HFONT SelectFittingFont(HDC dc, LPCWSTR text, int maxWidth, int maxHeight) {
    for (int height = maxHeight;; height--) {
        HFONT font = CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                 VARIABLE_PITCH | FF_SWISS, u"Tahoma");
        if (!font) {
            return nullptr;
        }
        SelectObject(dc, font);
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, text, (int)WcsLen(text), &size);
        if (height <= 6 || (size.cx <= maxWidth && size.cy <= maxHeight)) {
            return font;
        }
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
}

void FillBox(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    if (right <= left || bottom <= top) {
        return;
    }
    RECT box = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &box, brush);
    DeleteObject(brush);
}

// A division's name centred between two bars that run out to the picture's edges.
void DrawBanner(HDC dc, int width, int height, LPCWSTR name, COLORREF textColor,
                COLORREF barColor) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    HFONT font = SelectFittingFont(dc, name, width - 24, height);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, name, (int)WcsLen(name), &size);
    int textLeft = (width - size.cx) / 2;
    int textRight = textLeft + size.cx;
    int barTop = height / 2 - 2;
    FillBox(dc, 0, barTop, textLeft - 4, barTop + 4, barColor);
    FillBox(dc, textRight + 4, barTop, width, barTop + 4, barColor);
    RECT all = {0, 0, width, height};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    DrawTextW(dc, name, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, oldFont);
    if (font) {
        DeleteObject(font);
    }
}

void DrawAtlantic(HDC dc, int w, int h) {
    DrawBanner(dc, w, h, u"Atlantic", Orange, Black);
}
void DrawNortheast(HDC dc, int w, int h) {
    DrawBanner(dc, w, h, u"Northeast", Orange, Black);
}
void DrawSoutheast(HDC dc, int w, int h) {
    DrawBanner(dc, w, h, u"Southeast", Orange, Black);
}
void DrawCentral(HDC dc, int w, int h) {
    DrawBanner(dc, w, h, u"Central", Black, Orange);
}
void DrawNorthwest(HDC dc, int w, int h) {
    DrawBanner(dc, w, h, u"Northwest", Black, Orange);
}
void DrawPacific(HDC dc, int w, int h) {
    DrawBanner(dc, w, h, u"Pacific", Black, Orange);
}

// The captions of the standings columns. The picture sits 11 pixels right of the list's
// first column; the team caption starts at its left, the numbers' captions end where the
// right-aligned numbers of their columns end.
void DrawStandingsHeader(HDC dc, int width, int height) {
    struct Caption {
        LPCWSTR text;
        int x; // left edge for the team caption, right edge for the others
        UINT format;
    };
    const Caption captions[] = {
        {u"Team", 0, DT_LEFT}, {u"W", 94, DT_RIGHT},     {u"L", 123, DT_RIGHT},
        {u"T", 152, DT_RIGHT}, {u"Pts.", 192, DT_RIGHT},
    };
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    HFONT font = SelectFittingFont(dc, u"Pts.", 40, height);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Orange);
    for (const Caption& c : captions) {
        RECT box = c.format == DT_LEFT ? RECT{c.x, 0, width, height} : RECT{0, 0, c.x, height};
        DrawTextW(dc, c.text, -1, &box, c.format | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    SelectObject(dc, oldFont);
    if (font) {
        DeleteObject(font);
    }
}

void DrawChooseTeam(HDC dc, int width, int height) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    HFONT font = SelectFittingFont(dc, u"Choose Team", width, height);
    RECT all = {0, 0, width, height};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Orange);
    DrawTextW(dc, u"Choose Team", -1, &all, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(dc, oldFont);
    if (font) {
        DeleteObject(font);
    }
}

// The program's icon: a stick and a puck on a round patch of ice. The corner colour is
// the transparent one.
void DrawIcon32(HDC dc, int width, int height) {
    FillBox(dc, 0, 0, width, height, RGB(0xFF, 0x00, 0xFF));
    HBRUSH ice = CreateSolidBrush(RGB(0xDC, 0xEE, 0xFF));
    HPEN rim = CreatePen(PS_SOLID, 1, RGB(0x30, 0x60, 0xA0));
    HGDIOBJ oldBrush = SelectObject(dc, ice);
    HGDIOBJ oldPen = SelectObject(dc, rim);
    Ellipse(dc, 0, 0, width, height);

    HPEN shaft = CreatePen(PS_SOLID, 3, Orange);
    SelectObject(dc, shaft);
    MoveToEx(dc, width * 7 / 32, height * 4 / 32, nullptr);
    LineTo(dc, width * 19 / 32, height * 23 / 32);
    LineTo(dc, width * 27 / 32, height * 23 / 32);

    HBRUSH puck = CreateSolidBrush(Black);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, puck);
    Ellipse(dc, width * 6 / 32, height * 20 / 32, width * 14 / 32, height * 25 / 32);

    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(puck);
    DeleteObject(shaft);
    DeleteObject(rim);
    DeleteObject(ice);
}

const BITMAPRESOURCE Atlantic = {156, 10, DrawAtlantic};
const BITMAPRESOURCE Northeast = {156, 10, DrawNortheast};
const BITMAPRESOURCE Southeast = {156, 10, DrawSoutheast};
const BITMAPRESOURCE Central = {156, 10, DrawCentral};
const BITMAPRESOURCE Northwest = {156, 10, DrawNorthwest};
const BITMAPRESOURCE Pacific = {156, 10, DrawPacific};
const BITMAPRESOURCE StandingsHeader = {196, 8, DrawStandingsHeader};
const BITMAPRESOURCE ChooseTeam = {75, 9, DrawChooseTeam};
const ICONRESOURCE ProgramIcon = {32, 32, DrawIcon32};

} // namespace

const RESOURCEENTRY MainWindowResources[] = {
    {RT_DIALOG, IDD_MAIN, &MainTemplate},
    {RT_MENU, IDR_MENUBAR, &MainMenu},
    {RT_RCDATA, IDR_MENUBAR, &MainMenuBar},
    {RT_STRING, IDS_FILE, &FileCaption},
    {RT_STRING, IDS_TOOLS, &ToolsCaption},
    {RT_STRING, IDS_HELP, &HelpCaption},
    {RT_BITMAP, IDB_ATLANTIC, &Atlantic},
    {RT_BITMAP, IDB_NORTHEAST, &Northeast},
    {RT_BITMAP, IDB_SOUTHEAST, &Southeast},
    {RT_BITMAP, IDB_CENTRAL, &Central},
    {RT_BITMAP, IDB_NORTHWEST, &Northwest},
    {RT_BITMAP, IDB_PACIFIC, &Pacific},
    {RT_BITMAP, IDB_STANDINGS_HEADER, &StandingsHeader},
    {RT_BITMAP, IDB_CHOOSE_TEAM, &ChooseTeam},
    {RT_ICON, IDI_TARNWICK, &ProgramIcon},
};
const int MainWindowResourceCount = sizeof(MainWindowResources) / sizeof(MainWindowResources[0]);
