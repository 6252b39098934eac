// The window system on the headless desktop: dialogs from templates, nested modal loops,
// timers on the manual clock, finding and activating windows, stylus input, the top bar,
// and automation requests that are malformed.
#include "platform/host/host.h"
#include "platform/shell/shell.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <mutex>
#include <string>
#include <vector>

using nlohmann::json;

namespace {

// What the dialog procedures saw, in order (written on the UI thread, read by the test
// after a request has been answered).
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
    return json::parse(d.Request(req.dump()));
}

const DLGITEMTEMPLATEW kButtonItems[] = {
    {u"BUTTON", u"Press", 100, WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 40, 15},
    {u"STATIC", u"Label", 101, WS_VISIBLE | SS_LEFT, 0, 10, 40, 60, 9},
};
// A full-screen template: 162 x 167 units is the whole work area.
const DLGTEMPLATEW kFull = {WS_POPUP | WS_CAPTION | DS_SETFONT,
                            0,
                            0,
                            0,
                            162,
                            167,
                            u"Full",
                            8,
                            u"MS Sans Serif",
                            kButtonItems,
                            2};

// Two small dialogs side by side, so a tap can reach either.
const DLGTEMPLATEW kLeft = {WS_POPUP | DS_SETFONT, 0, 0, 0, 70, 60, u"Left", 8, u"MS Sans Serif",
                            kButtonItems,          1};
const DLGTEMPLATEW kRight = {WS_POPUP | DS_SETFONT, 0,       80, 0, 70, 60, u"Right", 8,
                             u"MS Sans Serif",      nullptr, 0};

HWND gOuter, gInner;

INT_PTR CALLBACK_Inner(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        gInner = hwnd;
        return TRUE;
    }
    if (msg == WM_ACTIVATE)
        Log("inner activate " + std::to_string(LOWORD(wp)));
    if (msg == WM_COMMAND && LOWORD(wp) == 7) {
        EndDialog(hwnd, 70);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK_Outer(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: gOuter = hwnd; return TRUE;
        case WM_ACTIVATE: Log("outer activate " + std::to_string(LOWORD(wp))); return FALSE;
        case WM_SIZE:
            if (wp == SIZE_MINIMIZED)
                Log("outer minimized");
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case 100: Log("outer button"); return TRUE;
                case 5: {
                    INT_PTR r =
                        DialogBoxIndirectParamW(nullptr, &kRight, nullptr, CALLBACK_Inner, 0);
                    Log("inner returned " + std::to_string(r));
                    return TRUE;
                }
                case 6: EndDialog(hwnd, 60); return TRUE;
                case IDOK: Log("outer ok"); return TRUE;
            }
    }
    return FALSE;
}

int RunOuter(const DLGTEMPLATEW* t) {
    INT_PTR r = DialogBoxIndirectParamW(nullptr, t, nullptr, CALLBACK_Outer, 0);
    Log("outer returned " + std::to_string(r));
    return int(r);
}

TEST(Dialogs, FullScreenTemplateFillsTheWorkAreaAndListsItsControlsInOrder) {
    TestDesktop d([] { return RunOuter(&kFull); });
    ASSERT_TRUE(d.Idle());
    json w = Ask(d, {{"op", "windows"}});
    ASSERT_TRUE(w["ok"]);
    ASSERT_EQ(w["windows"].size(), 1u);
    EXPECT_EQ(w["windows"][0]["title"], "Full");
    EXPECT_EQ(w["windows"][0]["visible"], true); // the modal loop showed it
    EXPECT_EQ(w["windows"][0]["foreground"], true);
    EXPECT_EQ(w["windows"][0]["rect"], json::array({0, 26, 240, 268}));
    json c = Ask(d, {{"op", "controls"}, {"window", "Full"}});
    ASSERT_EQ(c["controls"].size(), 2u);
    EXPECT_EQ(c["controls"][0]["class"], "button");
    EXPECT_EQ(c["controls"][0]["id"], 100);
    EXPECT_EQ(c["controls"][1]["class"], "static");
    EXPECT_EQ(c["controls"][1]["text"], "Label");
    EXPECT_EQ(c["controls"][1]["bitmap"], nullptr);
    // 10,10 units is 15,16 px into the client area at (0, 26).
    EXPECT_EQ(c["controls"][0]["rect"], json::array({15, 42, 59, 24}));
    TakeLog();
}

TEST(Dialogs, EndingTheOuterDialogWaitsForTheInnerLoop) {
    TestDesktop d([] { return RunOuter(&kLeft); });
    ASSERT_TRUE(d.Idle());
    TakeLog();
    // The outer dialog opens a second one from its command handler.
    ASSERT_TRUE(Ask(d, {{"op", "command"}, {"window", "Left"}, {"id", 5}})["ok"]);
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(Ask(d, {{"op", "find"}, {"title", "Right"}})["hwnd"].is_number());
    // Ending the outer one while the inner one runs: it leaves the screen, but its loop
    // cannot return before the inner one has.
    ASSERT_TRUE(Ask(d, {{"op", "command"}, {"window", "Left"}, {"id", 6}})["ok"]);
    ASSERT_TRUE(d.Idle());
    EXPECT_FALSE(d.Finished());
    json w = Ask(d, {{"op", "windows"}});
    for (auto& win : w["windows"]) {
        if (win["title"] == "Left") {
            EXPECT_EQ(win["visible"], false);
        }
    }
    ASSERT_TRUE(Ask(d, {{"op", "command"}, {"window", "Right"}, {"id", 7}})["ok"]);
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(d.Finished());
    EXPECT_EQ(d.Result(), 60);
    std::vector<std::string> order;
    for (auto& s : TakeLog())
        if (s.find("returned") != std::string::npos)
            order.push_back(s);
    EXPECT_EQ(order, (std::vector<std::string>{"inner returned 70", "outer returned 60"}));
}

TEST(Activation, WindowLosingTheForegroundIsTold) {
    TestDesktop d([] { return RunOuter(&kLeft); });
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"outer activate 1"}));
    Ask(d, {{"op", "command"}, {"window", "Left"}, {"id", 5}});
    ASSERT_TRUE(d.Idle());
    // Showing the inner dialog made it foreground: the outer one lost it.
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"outer activate 0", "inner activate 1"}));
    // A tap on the outer dialog's empty part brings it back, as a click activation.
    Ask(d, {{"op", "tap"}, {"x", 50}, {"y", 100}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"inner activate 0", "outer activate 2"}));
    Ask(d, {{"op", "command"}, {"window", "Right"}, {"id", 7}});
    Ask(d, {{"op", "command"}, {"window", "Left"}, {"id", 6}});
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(d.Finished());
}

// ---- Timers --------------------------------------------------------------------------

INT_PTR CALLBACK_Timers(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SetTimer(hwnd, 3, 300, nullptr);
        SetTimer(hwnd, 1, 100, nullptr);
        SetTimer(hwnd, 2, 200, nullptr);
        SetTimer(hwnd, 9, 50, nullptr);
        KillTimer(hwnd, 9); // a killed timer never fires
        return TRUE;
    }
    if (msg == WM_TIMER) {
        KillTimer(hwnd, wp);
        Log("timer " + std::to_string(wp) + " at " + std::to_string(CurrentClock()->NowMs()));
        if (wp == 1)
            SetTimer(hwnd, 4, 1, nullptr); // a chain: due 1 ms after timer 1 ran
        return TRUE;
    }
    return FALSE;
}

TEST(Timers, FireInDueOrderOnTheManualClock) {
    TakeLog();
    TestDesktop d(
        [] { return int(DialogBoxIndirectParamW(nullptr, &kLeft, nullptr, CALLBACK_Timers, 0)); });
    d.Advance(150); // in the middle of the chain
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"timer 1 at 100", "timer 4 at 101"}));
    EXPECT_EQ(d.Clock().NowMs(), 150u);
    ASSERT_TRUE(d.Idle()); // runs the rest
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"timer 2 at 200", "timer 3 at 300"}));
}

INT_PTR CALLBACK_Ticking(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG)
        SetTimer(hwnd, 1, 1000, nullptr);
    return msg == WM_INITDIALOG;
}

TEST(Timers, IdleGivesUpWhileATimerKeepsTicking) {
    TestDesktop d(
        [] { return int(DialogBoxIndirectParamW(nullptr, &kLeft, nullptr, CALLBACK_Ticking, 0)); });
    json r = Ask(d, {{"op", "idle"}, {"timeout_ms", 5000}});
    EXPECT_EQ(r["ok"], false);
    EXPECT_EQ(d.Clock().NowMs(), 5000u);
}

// ---- Finding windows -----------------------------------------------------------------

INT_PTR CALLBACK_Hider(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
        ShowWindow(hwnd, SW_HIDE); // stays in existence, hidden
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDOK) {
        EndDialog(hwnd, 1);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

TEST(FindWindow, FindsShownAndHiddenWindowsByExactTitle) {
    TestDesktop d(
        [] { return int(DialogBoxIndirectParamW(nullptr, &kRight, nullptr, CALLBACK_Hider, 0)); });
    ASSERT_TRUE(d.Idle());
    HWND shown = nullptr, hidden = nullptr, other = nullptr, lower = nullptr;
    d.RunOnUi([&] {
        shown = FindWindowW(nullptr, u"Right");
        other = FindWindowW(nullptr, u"Righ");
        lower = FindWindowW(nullptr, u"right");
    });
    EXPECT_NE(shown, nullptr);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(lower, nullptr);
    Ask(d, {{"op", "command"}, {"window", "Right"}, {"id", IDCANCEL}});
    ASSERT_TRUE(d.Idle());
    BOOL visible = TRUE;
    d.RunOnUi([&] {
        hidden = FindWindowW(nullptr, u"Right");
        visible = IsWindowVisible(hidden);
    });
    EXPECT_EQ(hidden, shown);
    EXPECT_FALSE(visible);
    // Activating it by title shows it again and makes it foreground.
    ASSERT_TRUE(Ask(d, {{"op", "activate"}, {"window", "Right"}})["ok"]);
    json w = Ask(d, {{"op", "windows"}});
    EXPECT_EQ(w["windows"][0]["visible"], true);
    EXPECT_EQ(w["windows"][0]["foreground"], true);
    Ask(d, {{"op", "command"}, {"window", "Right"}, {"id", IDOK}});
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(d.Finished());
}

// ---- Stylus and the top bar ---------------------------------------------------------

TEST(Stylus, ButtonLooksPressedWhileHeldAndClicksOnRelease) {
    TestDesktop d([] { return RunOuter(&kFull); });
    ASSERT_TRUE(d.Idle());
    TakeLog();
    HWND button = nullptr;
    d.RunOnUi([&] { button = GetDlgItem(gOuter, 100); });
    RECT r{};
    d.RunOnUi([&] { GetWindowRect(button, &r); });
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    d.RunOnUi([&] { StylusDown(x, y); });
    ASSERT_TRUE(d.Idle());
    LRESULT state = 0;
    d.RunOnUi([&] { state = SendMessageW(button, BM_GETSTATE, 0, 0); });
    EXPECT_EQ(state, BST_PUSHED);
    EXPECT_TRUE(TakeLog().empty()); // nothing until the stylus lifts
    // Dragged off the button and lifted there: no click.
    d.RunOnUi([&] {
        StylusMove(x, y + 100);
        StylusUp(x, y + 100);
    });
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(TakeLog().empty());
    Ask(d, {{"op", "tap"}, {"x", x}, {"y", y}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"outer button"}));
    d.RunOnUi([&] { state = SendMessageW(button, BM_GETSTATE, 0, 0); });
    EXPECT_EQ(state, 0);
}

TEST(Stylus, TopBarButtonMinimisesOrSaysOk) {
    TestDesktop d([] { return RunOuter(&kFull); });
    ASSERT_TRUE(d.Idle());
    TakeLog();
    Ask(d, {{"op", "tap"}, {"x", 228}, {"y", 12}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"outer minimized"}));
    EXPECT_FALSE(d.Finished()); // a dialog that does not act on it stays
    Ask(d, {{"op", "minimize"}, {"window", "Full"}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"outer minimized"}));
    d.RunOnUi([] { SHDoneButton(gOuter, SHDB_SHOW); });
    Ask(d, {{"op", "tap"}, {"x", 228}, {"y", 12}});
    ASSERT_TRUE(d.Idle());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"outer ok"}));
    // The title part of the bar does nothing.
    Ask(d, {{"op", "tap"}, {"x", 40}, {"y", 12}});
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(TakeLog().empty());
}

TEST(Handles, DestroyedAndUnknownWindowsAreHarmless) {
    TestDesktop d([] { return RunOuter(&kLeft); });
    ASSERT_TRUE(d.Idle());
    d.RunOnUi([] {
        HWND gone = GetDlgItem(gOuter, 100);
        ASSERT_TRUE(DestroyWindow(gone));
        HWND unknown = reinterpret_cast<HWND>(uintptr_t(987654));
        for (HWND h : {gone, unknown, static_cast<HWND>(nullptr)}) {
            EXPECT_FALSE(IsWindow(h));
            EXPECT_EQ(SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"x")), 0);
            EXPECT_FALSE(ShowWindow(h, SW_SHOW));
            EXPECT_FALSE(SetWindowPos(h, HWND_TOP, 0, 0, 1, 1, 0));
            EXPECT_FALSE(DestroyWindow(h));
            EXPECT_FALSE(EndDialog(h, 1));
            EXPECT_FALSE(SetForegroundWindow(h));
            if (h) {
                EXPECT_FALSE(PostMessageW(h, WM_COMMAND, 1, 0));
                EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
                EXPECT_EQ(SetTimer(h, 1, 10, nullptr), 0u);
            }
            RECT r;
            EXPECT_FALSE(GetWindowRect(h, &r));
        }
        EXPECT_EQ(GetDlgItem(gOuter, 100), nullptr);
    });
    EXPECT_TRUE(d.Idle());
}

// ---- Requests that are wrong -----------------------------------------------------------

TEST(Automation, BadRequestsAreAnsweredWithAnError) {
    TestDesktop d([] { return RunOuter(&kLeft); });
    ASSERT_TRUE(d.Idle());
    const char* bad[] = {
        "",
        "{",
        "[1,2]",
        "\"windows\"",
        "{\"op\":42}",
        "{\"op\":\"fly\"}",
        "{\"op\":\"controls\"}",
        "{\"op\":\"controls\",\"window\":123456}",
        "{\"op\":\"controls\",\"window\":-5}",
        "{\"op\":\"controls\",\"window\":\"No such title\"}",
        "{\"op\":\"controls\",\"window\":true}",
        "{\"op\":\"cells\",\"window\":\"Left\",\"id\":\"100\"}",
        "{\"op\":\"cells\",\"window\":\"Left\",\"id\":100}",
        "{\"op\":\"cells\",\"window\":\"Left\",\"id\":5555}",
        "{\"op\":\"tap\",\"x\":1.5,\"y\":2}",
        "{\"op\":\"tap\",\"x\":1}",
        "{\"op\":\"drag\",\"from\":[1],\"to\":[2,3]}",
        "{\"op\":\"choose\",\"window\":\"Left\",\"id\":100,\"index\":0}",
        "{\"op\":\"command\",\"window\":\"Left\",\"id\":70000}",
        "{\"op\":\"find\",\"title\":5}",
        "{\"op\":\"idle\",\"timeout_ms\":-1}",
        "{\"op\":\"screenshot\",\"path\":\"/nonexistent/dir/x.png\"}",
        "{\"op\":\"windows\"} trailing",
    };
    for (const char* line : bad) {
        json r = json::parse(d.Request(line));
        EXPECT_EQ(r["ok"], false) << line;
        EXPECT_TRUE(r["error"].is_string()) << line;
    }
    // Still answering.
    EXPECT_EQ(Ask(d, {{"op", "cursor"}})["cursor"], "none");
    EXPECT_EQ(Ask(d, {{"op", "find"}, {"title", "Nobody"}})["hwnd"], nullptr);
}

} // namespace

namespace {

int MessageBoxBody() {
    return MessageBoxW(
        nullptr,
        u"Tarnwick version does not match schedule.\n\nPlease install the most current version.",
        u"Tarnwick", MB_OK | MB_ICONERROR);
}

TEST(Screens, MessageBoxShowsCaptionTextAndOkAndEndsWithIt) {
    TestDesktop d(MessageBoxBody);
    ASSERT_TRUE(d.Idle());
    std::string path = std::string(TW_BINARY_DIR) + "/windowing_messagebox.png";
    ASSERT_TRUE(Ask(d, {{"op", "screenshot"}, {"path", path}})["ok"]);
    json w = Ask(d, {{"op", "windows"}});
    ASSERT_EQ(w["windows"].size(), 1u);
    EXPECT_EQ(w["windows"][0]["title"], "Tarnwick");
    json c = Ask(d, {{"op", "controls"}, {"window", "Tarnwick"}});
    ASSERT_EQ(c["controls"].size(), 2u);
    EXPECT_EQ(
        c["controls"][0]["text"],
        "Tarnwick version does not match schedule.\n\nPlease install the most current version.");
    EXPECT_EQ(c["controls"][1]["text"], "OK");
    auto r = c["controls"][1]["rect"];
    Ask(d, {{"op", "tap"}, {"x", int(r[0]) + int(r[2]) / 2}, {"y", int(r[1]) + int(r[3]) / 2}});
    ASSERT_TRUE(d.Idle());
    EXPECT_TRUE(d.Finished());
    EXPECT_EQ(d.Result(), IDOK);
}

} // namespace

// ---- Command bar and its menus --------------------------------------------------------

namespace {

enum { kStandings = 40024, kRosters = 40025, kOptions = 40010, kCalendar = 40011 };
const MENUITEMTEMPLATEW kDownload[] = {
    {MF_STRING, kStandings, u"Standings", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, kRosters, u"Rosters", nullptr, 0},
};
const MENUITEMTEMPLATEW kFile[] = {
    {MF_POPUP, 0, u"Download", kDownload, 3},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
};
const MENUITEMTEMPLATEW kTools[] = {
    {MF_STRING, kOptions, u"Options", nullptr, 0},
    {MF_SEPARATOR, 0, nullptr, nullptr, 0},
    {MF_STRING, kCalendar, u"Calendar", nullptr, 0},
};
const MENUITEMTEMPLATEW kTop[] = {
    {MF_POPUP, 0, u"File", kFile, 2},
    {MF_POPUP, 0, u"Tools", kTools, 3},
};
const MENUTEMPLATEW kMenu = {kTop, 2};
const MENUBARBUTTON kButtons[] = {
    {I_IMAGENONE, 40018, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, 40023, 0},
    {I_IMAGENONE, 40009, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE, 40021, 1},
};
const MENUBARRESOURCE kBar = {102, kButtons, 2};
const STRINGRESOURCE kFileCaption = {u"File"}, kToolsCaption = {u"Tools"};
const RESOURCEENTRY kBarResources[] = {
    {RT_MENU, 102, &kMenu},
    {RT_RCDATA, 102, &kBar},
    {RT_STRING, 40023, &kFileCaption},
    {RT_STRING, 40021, &kToolsCaption},
};
HINSTANCE gBarInstance;
HWND gBarWindow;

INT_PTR CALLBACK_WithBar(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SHINITDLGINFO init{SHIDIM_FLAGS, hwnd, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
        SHInitDialog(&init);
        SHMENUBARINFO mb{};
        mb.cbSize = sizeof mb;
        mb.hwndParent = hwnd;
        mb.nToolBarId = 102;
        mb.hInstRes = gBarInstance;
        gBarWindow = SHCreateMenuBar(&mb) ? mb.hwndMB : nullptr;
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        Log("command " + std::to_string(LOWORD(wp)));
        return TRUE;
    }
    return FALSE;
}

int RunWithBar() {
    gBarInstance = CreateModuleInstance(kBarResources, 4);
    return int(DialogBoxIndirectParamW(gBarInstance, &kLeft, nullptr, CALLBACK_WithBar, 0));
}

// The open menus, lowest first (menus are the windows without a title above the dialog).
std::vector<json> OpenMenus(TestDesktop& d) {
    std::vector<json> menus;
    json all = Ask(d, {{"op", "windows"}});
    for (auto& w : all["windows"])
        if (w["title"] == "" && w["visible"] == true)
            menus.insert(menus.begin(), w["rect"]);
    return menus;
}

void Tap(TestDesktop& d, int x, int y) {
    Ask(d, {{"op", "tap"}, {"x", x}, {"y", y}});
    ASSERT_TRUE(d.Idle());
}

TEST(CommandBar, ButtonsOpenMenusWhosePicksReachTheOwner) {
    TestDesktop d(RunWithBar);
    ASSERT_TRUE(d.Idle());
    TakeLog();
    RECT bar{};
    d.RunOnUi([&] { GetWindowRect(gBarWindow, &bar); });
    EXPECT_EQ(bar.top, 294);
    EXPECT_EQ(bar.bottom, 320);
    // Tools, Calendar: the second button, the third item (after a separator).
    Tap(d, 60, 307);
    auto menus = OpenMenus(d);
    ASSERT_EQ(menus.size(), 1u);
    int top = menus[0][1], left = menus[0][0];
    EXPECT_EQ(int(menus[0][1]) + int(menus[0][3]), 294); // it rests on the bar
    Tap(d, left + 10, top + 1 + 22 + 3);                 // the separator: nothing happens
    EXPECT_EQ(OpenMenus(d).size(), 1u);
    Tap(d, left + 10, top + 1 + 22 + 7 + 11);
    EXPECT_TRUE(OpenMenus(d).empty());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"command 40011"}));
    // File, Download, Rosters: a nested menu opens beside its item.
    Tap(d, 10, 307);
    menus = OpenMenus(d);
    ASSERT_EQ(menus.size(), 1u);
    Tap(d, int(menus[0][0]) + 10, int(menus[0][1]) + 12);
    menus = OpenMenus(d);
    ASSERT_EQ(menus.size(), 2u);
    std::string shot = std::string(TW_BINARY_DIR) + "/windowing_menu.png";
    EXPECT_TRUE(Ask(d, {{"op", "screenshot"}, {"path", shot}})["ok"]);
    EXPECT_GE(int(menus[1][0]), int(menus[0][0]) + int(menus[0][2]) - 8);
    Tap(d, int(menus[1][0]) + 10, int(menus[1][1]) + 1 + 22 + 7 + 11);
    EXPECT_TRUE(OpenMenus(d).empty());
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"command 40025"}));
    // A tap outside an open menu closes it and picks nothing.
    Tap(d, 10, 307);
    ASSERT_EQ(OpenMenus(d).size(), 1u);
    Tap(d, 200, 100);
    EXPECT_TRUE(OpenMenus(d).empty());
    EXPECT_TRUE(TakeLog().empty());
}

} // namespace

namespace {

TEST(Cursor, WaitCursorShowsABusySignUntilCleared) {
    TestDesktop d([] { return RunOuter(&kFull); });
    ASSERT_TRUE(d.Idle());
    auto topBarRight = [&] {
        // The part of the top bar between the title and the X, where the busy sign sits.
        int white = 0;
        d.RunOnUi([&] {
            UpdateScreen();
            uint32_t* px = SurfacePixels(ScreenSurface());
            for (int y = 0; y < 26; ++y)
                for (int x = 180; x < 200; ++x)
                    white += px[y * 240 + x] == 0x00FFFFFFu;
        });
        return white;
    };
    EXPECT_EQ(Ask(d, {{"op", "cursor"}})["cursor"], "none");
    EXPECT_EQ(topBarRight(), 0);
    d.RunOnUi([] { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); });
    EXPECT_EQ(Ask(d, {{"op", "cursor"}})["cursor"], "wait");
    EXPECT_GT(topBarRight(), 20);
    std::string shot = std::string(TW_BINARY_DIR) + "/windowing_busy.png";
    EXPECT_TRUE(Ask(d, {{"op", "screenshot"}, {"path", shot}})["ok"]);
    d.RunOnUi([] { SetCursor(nullptr); });
    EXPECT_EQ(Ask(d, {{"op", "cursor"}})["cursor"], "none");
    EXPECT_EQ(topBarRight(), 0);
}

} // namespace
