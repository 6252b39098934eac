// A dialog holding every kind of control: what the automation requests read back of each
// kind, and choosing by the stylus where the item must first be brought into view.
#include "platform/host/host.h"
#include "platform/user/commctrl.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <mutex>
#include <string>
#include <vector>

using nlohmann::json;

namespace {

std::mutex gMutex;
std::vector<std::string> gSeen;
void Saw(const std::string& s) {
    std::lock_guard<std::mutex> lock(gMutex);
    gSeen.push_back(s);
}
std::vector<std::string> Seen() {
    std::lock_guard<std::mutex> lock(gMutex);
    std::vector<std::string> out;
    out.swap(gSeen);
    return out;
}

enum {
    kTab = 200,
    kCombo = 201,
    kList = 202,
    kSorted = 203,
    kCalendar = 204,
    kPicture = 205,
    kGo = 206
};
constexpr WORD kBitmapId = 500;

void DrawCaption(HDC dc, int width, int height) {
    RECT r{0, 0, width, height};
    SetTextColor(dc, RGB(224, 96, 0));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, u"Picture", -1, &r, DT_CENTER | DT_SINGLELINE);
}
const BITMAPRESOURCE kPictureRes = {60, 12, DrawCaption};
const RESOURCEENTRY kResources[] = {{RT_BITMAP, kBitmapId, &kPictureRes}};

const DLGITEMTEMPLATEW kItems[] = {
    {WC_STATICW, MAKEINTRESOURCEW(kBitmapId), kPicture, WS_VISIBLE | SS_BITMAP, 0, 6, 2, 20, 5},
    {WC_BUTTONW, u"Go", kGo, WS_VISIBLE | WS_TABSTOP, 0, 120, 2, 30, 12},
    {WC_COMBOBOXW, u"", kCombo, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 6, 16,
     77, 60},
    {WC_LISTVIEWW, u"List1", kList, WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL, 0, 6, 30,
     148, 40},
    {WC_LISTVIEWW, u"List1", kSorted, WS_BORDER | LVS_REPORT | LVS_SORTASCENDING, 0, 6, 30, 148,
     40},
    {MONTHCAL_CLASSW, u"", kCalendar, WS_VISIBLE, WS_EX_DLGMODALFRAME, 6, 72, 103, 78},
    {WC_TABCONTROLW, u"Tab1", kTab, WS_VISIBLE | TCS_FOCUSNEVER, 0, 0, 151, 160, 16},
};
const DLGTEMPLATEW kEvery = {WS_POPUP | WS_CAPTION | DS_SETFONT,
                             0,
                             0,
                             0,
                             162,
                             167,
                             u"Every control",
                             8,
                             u"MS Sans Serif",
                             kItems,
                             int(sizeof kItems / sizeof kItems[0])};

void AddColumn(HWND list, int pos, LPCWSTR caption, int width) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = LVCFMT_LEFT;
    c.cx = width;
    c.pszText = const_cast<LPWSTR>(caption);
    SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(pos), reinterpret_cast<LPARAM>(&c));
}

int AddRow(HWND list, int pos, LPCWSTR first, LPCWSTR second) {
    LVITEMW it{};
    it.mask = LVIF_TEXT;
    it.iItem = pos;
    it.pszText = const_cast<LPWSTR>(first);
    int at = int(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    LVITEMW sub{};
    sub.iSubItem = 1;
    sub.pszText = const_cast<LPWSTR>(second);
    SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(at), reinterpret_cast<LPARAM>(&sub));
    return at;
}

HWND gDialog;

INT_PTR CALLBACK_Every(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            gDialog = hwnd;
            HWND tab = GetDlgItem(hwnd, kTab);
            LPCWSTR tabs[] = {u"One", u"Two", u"Three"};
            for (int i = 0; i < 3; ++i) {
                TCITEMW t{};
                t.mask = TCIF_TEXT;
                t.iImage = -1;
                t.pszText = const_cast<LPWSTR>(tabs[i]);
                SendMessageW(tab, TCM_INSERTITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&t));
            }
            HWND combo = GetDlgItem(hwnd, kCombo);
            LPCWSTR teams[] = {u"Avalanche", u"Blackhawks", u"Blue Jackets", u"Blues",
                               u"Bruins",    u"Canadiens",  u"Canucks",      u"Capitals"};
            for (LPCWSTR t : teams)
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
            HWND list = GetDlgItem(hwnd, kList);
            AddColumn(list, 0, u"Name", 80);
            AddColumn(list, 1, u"Value", 60);
            for (int i = 0; i < 12; ++i) {
                WCHAR name[16], value[16];
                FormatDecimal(name, 16, i);
                FormatDecimal(value, 16, i * i);
                AddRow(list, i, name, value);
            }
            HWND sorted = GetDlgItem(hwnd, kSorted);
            AddColumn(sorted, 0, u"Key", 40);
            AddColumn(sorted, 1, u"Order", 40);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == kCombo)
                Saw("combo " + std::to_string(HIWORD(wp)));
            if (LOWORD(wp) == kGo)
                Saw("go " + std::to_string(HIWORD(wp)));
            return TRUE;
        case WM_NOTIFY: {
            auto* h = reinterpret_cast<NMHDR*>(lp);
            std::string from = std::to_string(h->idFrom);
            if (h->code == TCN_SELCHANGING)
                Saw(from + " selchanging");
            else if (h->code == TCN_SELCHANGE)
                Saw(from + " selchange");
            else if (h->code == LVN_COLUMNCLICK)
                Saw(from + " columnclick " +
                    std::to_string(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem));
            else if (h->code == MCN_SELECT)
                Saw(from + " select");
            else if (h->code == MCN_SELCHANGE)
                Saw(from + " calendar selchange");
            return FALSE;
        }
    }
    return FALSE;
}

int RunEvery() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    static HINSTANCE instance = CreateModuleInstance(kResources, 1);
    return int(DialogBoxIndirectParamW(instance, &kEvery, nullptr, CALLBACK_Every, 0));
}

json Ask(TestDesktop& d, const json& req) {
    return json::parse(d.Request(req.dump()));
}

json Control(TestDesktop& d, int id) {
    json c = Ask(d, {{"op", "controls"}, {"window", "Every control"}});
    for (auto& x : c["controls"])
        if (x["id"] == id)
            return x;
    return json();
}

bool Has(const std::vector<std::string>& seen, const std::string& what) {
    return std::find(seen.begin(), seen.end(), what) != seen.end();
}

class EveryControl : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(d.Idle());
        Seen();
    }
    TestDesktop d{RunEvery};
};

TEST_F(EveryControl, ReadsBackEveryKind) {
    json c = Ask(d, {{"op", "controls"}, {"window", "Every control"}});
    ASSERT_EQ(c["controls"].size(), 7u);
    std::vector<std::string> kinds;
    for (auto& x : c["controls"])
        kinds.push_back(x["class"]);
    EXPECT_EQ(kinds, (std::vector<std::string>{"static", "button", "combobox", "listview",
                                               "listview", "monthcal", "tab"}));
    json pic = Control(d, kPicture);
    EXPECT_EQ(pic["bitmap"], kBitmapId);
    EXPECT_EQ(pic["rect"][2], 60); // the picture's size, not the template's
    EXPECT_EQ(pic["rect"][3], 12);
    json list = Control(d, kList);
    EXPECT_EQ(list["columns"], json::array({"Name", "Value"}));
    EXPECT_EQ(list["rows"], 12);
    EXPECT_EQ(list["top"], 0);
    json combo = Control(d, kCombo);
    EXPECT_EQ(combo["items"].size(), 8u);
    EXPECT_EQ(combo["selected"], -1);
    json tab = Control(d, kTab);
    EXPECT_EQ(tab["items"], json::array({"One", "Two", "Three"}));
    EXPECT_EQ(tab["selected"], 0);                              // the first inserted tab is current
    EXPECT_EQ(Control(d, kCalendar)["selected"], "01/15/2004"); // today on the manual clock
    EXPECT_EQ(Control(d, kSorted)["visible"], false);
    json cells = Ask(d, {{"op", "cells"}, {"window", "Every control"}, {"id", kList}});
    ASSERT_EQ(cells["rows"].size(), 12u);
    EXPECT_EQ(cells["rows"][11], json::array({"11", "121"}));
}

TEST_F(EveryControl, ChoosingARowSelectsIt) {
    ASSERT_TRUE(Ask(
        d, {{"op", "choose"}, {"window", "Every control"}, {"id", kList}, {"index", 10}})["ok"]);
    ASSERT_TRUE(d.Idle());
    LRESULT selected = -2, top = -1;
    d.RunOnUi([&] {
        selected = SendDlgItemMessageW(gDialog, kList, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
        top = SendDlgItemMessageW(gDialog, kList, LVM_GETTOPINDEX, 0, 0);
    });
    EXPECT_EQ(selected, 10);
    EXPECT_GT(top, 0); // row 10 was scrolled into view to be tapped
    EXPECT_EQ(Control(d, kList)["top"], top);
}

TEST_F(EveryControl, CalendarDayTapSelects) {
    ASSERT_TRUE(Ask(
        d,
        {{"op", "choose"}, {"window", "Every control"}, {"id", kCalendar}, {"index", 10}})["ok"]);
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(Has(Seen(), "204 select"));
    EXPECT_EQ(Control(d, kCalendar)["selected"], "01/10/2004");
    json r =
        Ask(d, {{"op", "choose"}, {"window", "Every control"}, {"id", kCalendar}, {"index", 32}});
    EXPECT_EQ(r["ok"], false);
}

} // namespace
