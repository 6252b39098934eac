// Every control kind in a dialog template on the headless desktop, driven by the stylus
// through the automation requests a user's taps become, and looked at in screenshots.
#include "platform/host/host.h"
#include "platform/user/commctrl.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <mutex>
#include <string>
#include <vector>

using nlohmann::json;

namespace {

std::mutex gLogMutex;
std::vector<std::string> gLog;
void Log(const std::string& s) {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gLog.push_back(s);
}
std::vector<std::string> TakeLog() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    std::vector<std::string> out;
    out.swap(gLog);
    return out;
}

json Ask(TestDesktop& d, const json& req) {
    json r = json::parse(d.Request(req.dump()));
    EXPECT_TRUE(r["ok"]) << r.dump();
    return r;
}

// The main window's kinds of control, laid out as its Roster tab is.
const DLGITEMTEMPLATEW kItems[] = {
    {WC_TABCONTROLW, u"Tab1", 1001, WS_VISIBLE | TCS_FOCUSNEVER, 0, 0, 151, 160, 16},
    {WC_LISTVIEWW, u"List1", 1007,
     WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_ALIGNLEFT, 0, 6, 25,
     148, 120},
    {WC_COMBOBOXW, u"", 1023, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 70, 7, 77,
     99},
    {u"BUTTON", u"Calendar", 1050, WS_VISIBLE | WS_TABSTOP, 0, 6, 5, 40, 15},
};
const DLGTEMPLATEW kMain = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                            0,
                            0,
                            0,
                            162,
                            167,
                            u"Tarnwick",
                            8,
                            u"MS Sans Serif",
                            kItems,
                            4};

const DLGITEMTEMPLATEW kCalItems[] = {
    {MONTHCAL_CLASSW, u"", 1041, WS_VISIBLE, WS_EX_DLGMODALFRAME, -2, 0, 103, 90},
};
const DLGTEMPLATEW kCalendar = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT,
                                0,
                                0,
                                0,
                                98,
                                88,
                                u"TWK Calendar",
                                8,
                                u"MS Sans Serif",
                                kCalItems,
                                1};

const LPCWSTR kTeams[] = {u"Avalanche", u"Blackhawks", u"Blue Jackets", u"Blues",      u"Bruins",
                          u"Canadiens", u"Canucks",    u"Capitals",     u"Coyotes",    u"Devils",
                          u"Ducks",     u"Flames",     u"Flyers",       u"Hurricanes", u"Islanders",
                          u"Kings",     u"Lightning",  u"Maple Leafs",  u"Oilers",     u"Panthers",
                          u"Penguins",  u"Predators",  u"Rangers",      u"Red Wings",  u"Sabres",
                          u"Senators",  u"Sharks",     u"Stars",        u"Thrashers",  u"Wild"};

void AddColumn(HWND lv, int k, LPCWSTR caption, int cx) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    c.pszText = const_cast<LPWSTR>(caption);
    c.fmt = LVCFMT_LEFT;
    c.cx = cx;
    SendMessageW(lv, LVM_INSERTCOLUMNW, k, reinterpret_cast<LPARAM>(&c));
}

void AddRow(HWND lv, const std::vector<LPCWSTR>& cells) {
    LVITEMW it{};
    it.mask = LVIF_TEXT;
    it.iItem = int(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
    it.pszText = const_cast<LPWSTR>(cells[0]);
    int at = int(SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    for (size_t k = 1; k < cells.size(); k++) {
        it.iSubItem = int(k);
        it.pszText = const_cast<LPWSTR>(cells[k]);
        SendMessageW(lv, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&it));
    }
}

std::string NotifyName(UINT code) {
    switch (code) {
        case TCN_SELCHANGING: return "selchanging";
        case TCN_SELCHANGE: return "selchange";
        case LVN_COLUMNCLICK: return "columnclick";
        case LVN_ITEMCHANGED: return "itemchanged";
        case MCN_SELCHANGE: return "mcselchange";
        case MCN_SELECT: return "mcselect";
        default: return "";
    }
}

INT_PTR MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            HWND tc = GetDlgItem(hwnd, 1001);
            LPCWSTR tabs[] = {u" Standings ", u"  Today   ", u"   Team   ", u"  Roster   ",
                              u"  Season   "};
            for (int i = 0; i < 5; i++) {
                TCITEMW t{};
                t.mask = TCIF_TEXT;
                t.iImage = -1;
                t.pszText = const_cast<LPWSTR>(tabs[i]);
                SendMessageW(tc, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&t));
            }
            HWND lv = GetDlgItem(hwnd, 1007);
            AddColumn(lv, 0, u"#", 20);
            AddColumn(lv, 1, u"Player", 80);
            AddColumn(lv, 2, u"Pos", 40);
            AddColumn(lv, 3, u"Ht", 40);
            AddColumn(lv, 4, u"Wt", 40);
            DWORD ex = DWORD(SendMessageW(lv, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
            SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex | LVS_EX_FULLROWSELECT);
            LPCWSTR names[] = {u"Patrick Roy",  u"Joe Sakic",    u"Peter Forsberg", u"Rob Blake",
                               u"Milan Hejduk", u"Alex Tanguay", u"Adam Foote"};
            LPCWSTR nums[] = {u"33", u"19", u"21", u"4", u"23", u"18", u"52"};
            LPCWSTR pos[] = {u"G", u"C", u"C", u"D", u"RW", u"LW", u"D"};
            for (int i = 0; i < 28; i++)
                AddRow(lv, {nums[i % 7], names[i % 7], pos[i % 7], u"6-0", u"205"});
            HWND cb = GetDlgItem(hwnd, 1023);
            for (LPCWSTR t : kTeams)
                SendMessageW(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
            SendMessageW(cb, CB_SETCURSEL, 0, 0);
            return TRUE;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            std::string name = NotifyName(hdr->code);
            if (hdr->code == LVN_COLUMNCLICK)
                name += " " + std::to_string(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem);
            if (!name.empty())
                Log(std::to_string(hdr->idFrom) + " " + name);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == 1023 && HIWORD(wp) == CBN_SELCHANGE)
                Log("1023 cbselchange " +
                    std::to_string(SendMessageW(HWND(lp), CB_GETCURSEL, 0, 0)));
            if (LOWORD(wp) == IDCANCEL)
                EndDialog(hwnd, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

INT_PTR CalendarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SYSTEMTIME st{};
        st.wYear = 2004;
        st.wMonth = 1;
        st.wDay = 31;
        SendDlgItemMessageW(hwnd, 1041, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMSELCHANGE*>(lp);
        std::string name = NotifyName(hdr->nmhdr.code);
        if (!name.empty())
            Log(name + " " + std::to_string(hdr->stSelStart.wMonth) + "/" +
                std::to_string(hdr->stSelStart.wDay));
        return FALSE;
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL)
        EndDialog(hwnd, IDCANCEL);
    return FALSE;
}

int RunMain() {
    InitCommonControls();
    return int(DialogBoxIndirectParamW(nullptr, &kMain, nullptr, MainProc, 0));
}
int RunCalendar() {
    InitCommonControls();
    return int(DialogBoxIndirectParamW(nullptr, &kCalendar, nullptr, CalendarProc, 0));
}

json Control(TestDesktop& d, const char* title, int id) {
    json c = Ask(d, {{"op", "controls"}, {"window", title}});
    for (const json& x : c["controls"])
        if (x["id"] == id)
            return x;
    ADD_FAILURE() << "no control " << id;
    return json::object();
}

std::string Shot(TestDesktop& d, const std::string& name) {
    std::string path = std::string(TW_BINARY_DIR) + "/" + name;
    Ask(d, {{"op", "screenshot"}, {"path", path}});
    return path;
}

TEST(ControlsDialog, TabTapNotifiesTheParentAroundTheChange) {
    TestDesktop d(RunMain);
    ASSERT_TRUE(d.Idle());
    TakeLog();
    Ask(d, {{"op", "choose"}, {"window", "Tarnwick"}, {"id", 1001}, {"index", 3}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"1001 selchanging", "1001 selchange"}));
    EXPECT_EQ(Control(d, "Tarnwick", 1001)["selected"], 3);
    Shot(d, "controls_dialog.png");
}

TEST(ControlsDialog, HeaderTapReportsTheColumnUnderTheStylus) {
    TestDesktop d(RunMain);
    ASSERT_TRUE(d.Idle());
    json lv = Control(d, "Tarnwick", 1007);
    int x = lv["rect"][0], y = lv["rect"][1];
    TakeLog();
    // Columns 20, 80, 40, 40, 40 wide, the header in the list's first line (one pixel of
    // border before the client area).
    for (int col : {0, 1, 2, 4}) {
        int cx = 1 + (col == 0 ? 10 : col == 1 ? 60 : col == 2 ? 120 : 200);
        Ask(d, {{"op", "tap"}, {"x", x + cx}, {"y", y + 6}});
        ASSERT_TRUE(d.Idle());
        EXPECT_EQ(TakeLog(), (std::vector<std::string>{"1007 columnclick " + std::to_string(col)}));
    }
}

TEST(ControlsDialog, ComboPickNotifiesAndSetCurSelDoesNot) {
    TestDesktop d(RunMain);
    ASSERT_TRUE(d.Idle());
    TakeLog();
    HWND main = FindWindowW(nullptr, u"Tarnwick");
    d.RunOnUi([&] { SendDlgItemMessageW(main, 1023, CB_SETCURSEL, 12, 0); });
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(Control(d, "Tarnwick", 1023)["selected"], 12);

    Ask(d, {{"op", "choose"}, {"window", "Tarnwick"}, {"id", 1023}, {"index", 27}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"1023 cbselchange 27"}));
    EXPECT_EQ(Control(d, "Tarnwick", 1023)["selected"], 27);

    // Opened, the list lies over the list view; a tap beside it closes it unchanged.
    json cb = Control(d, "Tarnwick", 1023);
    Ask(d, {{"op", "tap"}, {"x", int(cb["rect"][0]) + 10}, {"y", int(cb["rect"][1]) + 5}});
    ASSERT_TRUE(d.Idle());
    LRESULT dropped = 0;
    d.RunOnUi([&] { dropped = SendDlgItemMessageW(main, 1023, CB_GETDROPPEDSTATE, 0, 0); });
    EXPECT_TRUE(dropped);
    Shot(d, "controls_dialog_combo.png");
    Ask(d, {{"op", "tap"}, {"x", 20}, {"y", 250}});
    ASSERT_TRUE(d.Idle());
    d.RunOnUi([&] { dropped = SendDlgItemMessageW(main, 1023, CB_GETDROPPEDSTATE, 0, 0); });
    EXPECT_FALSE(dropped);
    EXPECT_EQ(Control(d, "Tarnwick", 1023)["selected"], 27);
    for (const std::string& s : TakeLog()) // the tap landed on no other control's notice
        EXPECT_EQ(s.find("cbselchange"), std::string::npos) << s;
}

TEST(ControlsDialog, DraggingTheRowsScrollsTheList) {
    TestDesktop d(RunMain);
    ASSERT_TRUE(d.Idle());
    HWND main = FindWindowW(nullptr, u"Tarnwick");
    json lv = Control(d, "Tarnwick", 1007);
    // Low in the rows, above the bar along the bottom (the roster's columns are wider than
    // the list).
    int x = int(lv["rect"][0]) + 40, bottom = int(lv["rect"][1]) + int(lv["rect"][3]) - 24;
    Ask(d, {{"op", "drag"}, {"from", {x, bottom}}, {"to", {x, bottom - 70}}});
    ASSERT_TRUE(d.Idle());
    LRESULT top = 0;
    d.RunOnUi([&] { top = SendDlgItemMessageW(main, 1007, LVM_GETTOPINDEX, 0, 0); });
    EXPECT_EQ(top, 5); // 70 px of rows of 14 px
    Shot(d, "controls_dialog_scrolled.png");
}

TEST(ControlsDialog, CalendarArrowsMoveTheMonthAndADayTapSelects) {
    TestDesktop d(RunCalendar);
    ASSERT_TRUE(d.Idle());
    TakeLog();
    json mc = Control(d, "TWK Calendar", 1041);
    int x = mc["rect"][0], y = mc["rect"][1], w = mc["rect"][2];
    Shot(d, "controls_calendar.png");
    // The right arrow at the title's right end.
    Ask(d, {{"op", "tap"}, {"x", x + w - 12}, {"y", y + 10}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"mcselchange 2/29"}));
    EXPECT_EQ(Control(d, "TWK Calendar", 1041)["selected"], "02/29/2004");
    Ask(d, {{"op", "choose"}, {"window", "TWK Calendar"}, {"id", 1041}, {"index", 14}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"mcselchange 2/14", "mcselect 2/14"}));
    EXPECT_EQ(Control(d, "TWK Calendar", 1041)["selected"], "02/14/2004");
    Shot(d, "controls_calendar_feb.png");
}

TEST(ControlsDialog, RepaintingAThousandTimesKeepsTheObjectCount) {
    TestDesktop d(RunMain);
    ASSERT_TRUE(d.Idle());
    HWND main = FindWindowW(nullptr, u"Tarnwick");
    DWORD before = 0, after = 0;
    d.RunOnUi([&] {
        before = GetGuiResources(nullptr, GR_GDIOBJECTS);
        for (int i = 0; i < 1000; i++) {
            InvalidateRect(main, nullptr, TRUE);
            UpdateScreen();
        }
        after = GetGuiResources(nullptr, GR_GDIOBJECTS);
    });
    EXPECT_GT(before, 0u); // the dialog's font at least
    EXPECT_EQ(after, before);
}

} // namespace
