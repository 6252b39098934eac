// The main window on the headless desktop under the manual clock: which controls each tab
// shows, the start-up timer chain, commands during the chain, how the program ends, and
// where the division banners go.
#include "app/app.h"
#include "data/data.h"
#include "platform/host/host.h"
#include "platform/user/commctrl.h"
#include "res/res.h"
#include "views/views.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <thread>

namespace {

// The controls that each tab shows; the tab strip shows on every tab, the tables on none.
const std::set<int> TabShows[5] = {
    {IDC_TITLE_LABEL, IDC_STANDINGS_HEADER, IDC_STANDINGS_LIST},
    {IDC_TODAY_LIST, IDC_PREV_DAY, IDC_NEXT_DAY, IDC_CALENDAR_BUTTON, IDC_DATE_LABEL},
    {IDC_CHOOSE_TEAM_LABEL, IDC_TEAM_COMBO, IDC_TEAM_SCHEDULE_LIST},
    {IDC_CHOOSE_TEAM_LABEL, IDC_ROSTER_TEAM_COMBO, IDC_ROSTER_LIST},
    {IDC_SEASON_LIST},
};

bool IsBanner(int id) {
    return id >= IDC_BANNER_ATLANTIC && id <= IDC_BANNER_PACIFIC;
}

int Rows(int id) {
    return (int)SendDlgItemMessageW(MainDialog, id, LVM_GETITEMCOUNT, 0, 0);
}
int Selected(int id) {
    return (int)SendDlgItemMessageW(MainDialog, id, CB_GETCURSEL, 0, 0);
}
bool Visible(int id) {
    return IsWindowVisible(GetDlgItem(MainDialog, id)) != 0;
}
bool WaitCursor() {
    return GetCursor() && GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
}

RECT ScreenRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// A row's rectangle on the screen.
RECT RowOnScreen(HWND list, int row) {
    RECT r = {};
    r.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)&r);
    MapWindowPoints(list, nullptr, (LPPOINT)&r, 2);
    return r;
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-mainwindow-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        registry = dir + "/registry.reg";
        std::ofstream(registry) << "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\n"
                                   "\"Install\"=\"" TW_TEST_DATA "\"\n"
                                   "\"OffSet\"=\"0\"\n"
                                   "\"Team\"=dword:00000003\n"
                                   "\"Index\"=dword:0000000b\n";
        setenv("TARNWICK_REGISTRY", registry.c_str(), 1);
    }
    void TearDown() override {
        desktop.reset();
        unsetenv("TARNWICK_REGISTRY");
        ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }

    // The program as it starts: WinMain over the program's resources.
    void StartProgram() {
        desktop = std::make_unique<TestDesktop>([] {
            return WinMain(CreateModuleInstance(res::Resources(), res::ResourceCount()), nullptr,
                           nullptr, 0);
        });
        WaitForMainWindow();
    }
    // The main window alone, so that its own result can be seen.
    void StartMainWindow() {
        desktop = std::make_unique<TestDesktop>([] {
            AppInstance = CreateModuleInstance(res::Resources(), res::ResourceCount());
            InitCommonControls();
            ReadInstallPaths();
            return (int)RunTemplate(IDD_MAIN, MainDialogProc);
        });
        WaitForMainWindow();
    }
    void WaitForMainWindow() {
        // The first task runs once the main window's loop runs, after its initialisation.
        bool up = false;
        desktop->RunOnUi([&] { up = MainDialog && IsWindow(MainDialog); });
        ASSERT_TRUE(up);
    }

    void Ui(const std::function<void()>& fn) { desktop->RunOnUi(fn); }

    nlohmann::json Request(const nlohmann::json& request) {
        nlohmann::json reply = nlohmann::json::parse(desktop->Request(request.dump()));
        EXPECT_TRUE(reply.value("ok", false)) << reply.dump();
        return reply;
    }

    // A stylus tap on a tab of the tab strip, then the time for it to be handled.
    void ChooseTab(int tab) {
        POINT centre = {};
        Ui([&] {
            HWND strip = GetDlgItem(MainDialog, IDC_TAB_STRIP);
            RECT r = {};
            SendMessageW(strip, TCM_GETITEMRECT, tab, (LPARAM)&r);
            MapWindowPoints(strip, nullptr, (LPPOINT)&r, 2);
            // The middle of the part of the tab that shows.
            RECT shown = ScreenRect(strip);
            centre = {(r.left + std::min(r.right, shown.right)) / 2, (r.top + r.bottom) / 2};
        });
        Request({{"op", "tap"}, {"x", centre.x}, {"y", centre.y}});
        desktop->Advance(0);
    }

    bool WaitUntilFinished() {
        for (int i = 0; i < 5000 && !desktop->Finished(); i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return desktop->Finished();
    }

    std::string dir, registry;
    std::unique_ptr<TestDesktop> desktop;
};

TEST_F(MainWindow, EachTabShowsExactlyItsControls) {
    StartProgram();
    ASSERT_TRUE(desktop->Idle());
    // Standings twice in a row leaves the same controls and places the banners again.
    for (int tab : {1, 2, 3, 4, 0, 0}) {
        SCOPED_TRACE("tab " + std::to_string(tab));
        ChooseTab(tab);
        Ui([&] {
            EXPECT_EQ(SendDlgItemMessageW(MainDialog, IDC_TAB_STRIP, TCM_GETCURSEL, 0, 0), tab);
            for (HWND c = GetWindow(MainDialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                int id = GetDlgCtrlID(c);
                if (IsBanner(id) && tab == 0) {
                    continue; // placement decides; see the banner tests
                }
                bool expected = id == IDC_TAB_STRIP || TabShows[tab].count(id) > 0;
                EXPECT_EQ(IsWindowVisible(c) != 0, expected) << "control " << id;
            }
        });
    }
    // At the top of the standings the first two divisions' rows are in view above the
    // threshold; the others are not.
    Ui([] {
        for (int id = IDC_BANNER_ATLANTIC; id <= IDC_BANNER_PACIFIC; id++) {
            EXPECT_EQ(Visible(id), id <= IDC_BANNER_NORTHEAST) << "banner " << id;
        }
    });
}

TEST_F(MainWindow, TimerChainLoadsInOrderUnderTheWaitCursor) {
    StartProgram();
    struct Step {
        uint64_t advanceMs;
        int rosterTable, seasonTable, seasonList;
        bool wait;
        int selected; // both drop-downs
    };
    // Only the standings are read before the window shows; then the roster 100 ms
    // later, the season 1 ms after that, and the views 1 ms after that.
    const Step steps[] = {
        {0, 0, 0, 0, true, -1},         {99, 0, 0, 0, true, -1},        {1, 720, 0, 0, true, -1},
        {1, 720, 1231, 1231, true, -1}, {1, 720, 1231, 1231, false, 3},
    };
    uint64_t at = 0;
    for (const Step& s : steps) {
        desktop->Advance(s.advanceMs);
        at += s.advanceMs;
        SCOPED_TRACE("at " + std::to_string(at) + " ms");
        Ui([&] {
            EXPECT_EQ(Rows(IDC_STANDINGS_LIST), 36);
            EXPECT_EQ(Rows(IDC_ROSTER_TABLE), s.rosterTable);
            EXPECT_EQ(Rows(IDC_SEASON_TABLE), s.seasonTable);
            EXPECT_EQ(Rows(IDC_SEASON_LIST), s.seasonList);
            EXPECT_EQ(WaitCursor(), s.wait);
            EXPECT_EQ(Selected(IDC_TEAM_COMBO), s.selected);
            EXPECT_EQ(Selected(IDC_ROSTER_TEAM_COMBO), s.selected);
        });
    }
    Ui([] {
        // The favourite team (3, the Blues) fills the Team and Roster tabs.
        EXPECT_GT(Rows(IDC_TEAM_SCHEDULE_LIST), 0);
        EXPECT_GT(Rows(IDC_ROSTER_LIST), 0);
        EXPECT_EQ(GetForegroundWindow(), MainDialog);
    });
    EXPECT_TRUE(desktop->Idle(1000)) << "a timer is left after the chain";
}

TEST_F(MainWindow, OtherTimerIdsAreIgnored) {
    StartProgram();
    Ui([] {
        for (UINT_PTR id : {0, 4, 100}) {
            EXPECT_EQ(MainDialogProc(MainDialog, WM_TIMER, id, 0), FALSE);
        }
        EXPECT_EQ(Rows(IDC_ROSTER_TABLE), 0);
        EXPECT_EQ(Rows(IDC_SEASON_TABLE), 0);
        EXPECT_TRUE(WaitCursor());
    });
    desktop->Advance(100);
    Ui([] { EXPECT_EQ(Rows(IDC_ROSTER_TABLE), 720); });
}

TEST_F(MainWindow, CommandsDuringTheChainActOnWhatIsLoaded) {
    StartProgram();
    // Before the roster is read, the Roster tab's team shows nobody; before the season
    // is read the Season tab is empty.
    ChooseTab(4);
    Ui([] {
        EXPECT_TRUE(Visible(IDC_SEASON_LIST));
        EXPECT_EQ(Rows(IDC_SEASON_LIST), 0);
    });
    ChooseTab(3);
    HWND main = nullptr;
    Ui([&] { main = MainDialog; });
    Request({{"op", "choose"},
             {"window", (uintptr_t)main},
             {"id", IDC_ROSTER_TEAM_COMBO},
             {"index", 4}});
    desktop->Advance(0);
    Ui([] {
        EXPECT_EQ(Rows(IDC_ROSTER_LIST), 0);
        EXPECT_TRUE(WaitCursor());
    });
    // Once the roster is read, the same choice shows the Bruins.
    desktop->Advance(100);
    Request({{"op", "choose"},
             {"window", (uintptr_t)main},
             {"id", IDC_ROSTER_TEAM_COMBO},
             {"index", 4}});
    desktop->Advance(0);
    Ui([] {
        EXPECT_GT(Rows(IDC_ROSTER_LIST), 0);
        EXPECT_EQ(Rows(IDC_SEASON_LIST), 0);
    });
    desktop->Advance(1);
    Ui([] { EXPECT_EQ(Rows(IDC_SEASON_LIST), 1231); });
}

struct Ending {
    const char* what;
    nlohmann::json (*request)(uintptr_t main);
};
const Ending Endings[] = {
    {"OK",
     [](uintptr_t w) {
         return nlohmann::json{{"op", "command"}, {"window", w}, {"id", 1}};
     }},
    {"Cancel",
     [](uintptr_t w) {
         return nlohmann::json{{"op", "command"}, {"window", w}, {"id", 2}};
     }},
    {"minimising",
     [](uintptr_t w) {
         return nlohmann::json{{"op", "minimize"}, {"window", w}};
     }},
};

TEST_F(MainWindow, OkCancelAndMinimisingEndTheProgramAfterTheCleanUp) {
    for (const Ending& e : Endings) {
        SCOPED_TRACE(e.what);
        StartMainWindow();
        ASSERT_TRUE(desktop->Idle());
        uintptr_t main = 0;
        Ui([&] { main = (uintptr_t)MainDialog; });
        // An auxiliary dialog runs its own loop inside the main window's command
        // handler; the clean-up ends it so that the main window's loop can return.
        Request({{"op", "command"}, {"window", main}, {"id", IDM_OPTIONS}});
        desktop->Advance(0);
        ASSERT_FALSE(Request({{"op", "find"}, {"title", "TWK Options"}})["hwnd"].is_null());
        Request(e.request(main));
        ASSERT_TRUE(WaitUntilFinished());
        EXPECT_EQ(desktop->Result(), 1);
        desktop.reset();
    }
}

// The screen as the user sees it: each shown banner's name in its colours over its row,
// the standings title in black in its label. The screens are kept beside the build.
TEST_F(MainWindow, StandingsScreenShowsBannersAndTitle) {
    StartProgram();
    ASSERT_TRUE(desktop->Idle());
    Ui([] {
        UpdateScreen();
        Surface* screen = ScreenSurface();
        const uint32_t* pixels = SurfacePixels(screen);
        int width = SurfaceWidth(screen);
        // Text is smoothed: count pixels close to the colour.
        auto count = [&](RECT r, uint32_t colour) {
            int n = 0;
            for (int y = r.top; y < r.bottom; y++) {
                for (int x = r.left; x < r.right; x++) {
                    uint32_t p = pixels[y * width + x];
                    int d = 0;
                    for (int shift : {0, 8, 16}) {
                        d += abs((int)((p >> shift) & 0xFF) - (int)((colour >> shift) & 0xFF));
                    }
                    n += d < 90;
                }
            }
            return n;
        };
        const uint32_t orange = 0xE06000, black = 0x000000;
        for (int banner = 0; banner < 6; banner++) {
            HWND picture = GetDlgItem(MainDialog, IDC_BANNER_ATLANTIC + banner);
            if (!IsWindowVisible(picture)) {
                continue;
            }
            RECT r = ScreenRect(picture);
            EXPECT_GT(count(r, orange), 20) << "banner " << banner;
            EXPECT_GT(count(r, black), 20) << "banner " << banner;
        }
        EXPECT_GT(count(ScreenRect(GetDlgItem(MainDialog, IDC_TITLE_LABEL)), black), 50);
        SaveSurfacePng(screen, TW_BINARY_DIR "/standings.png");
    });
    ChooseTab(4);
    Ui([] {
        UpdateScreen();
        SaveSurfacePng(ScreenSurface(), TW_BINARY_DIR "/season.png");
    });
}

// ---- Banners --------------------------------------------------------------------------------
class Banners : public MainWindow {
  protected:
    void SetUp() override {
        MainWindow::SetUp();
        StartProgram();
        ASSERT_TRUE(desktop->Idle());
    }
};

TEST_F(Banners, EachShownBannerSitsOverItsRow) {
    for (int scrolledRows : {0, 1, 8, 14, 20}) {
        SCOPED_TRACE("scrolled by " + std::to_string(scrolledRows) + " rows");
        Ui([&] {
            HWND list = GetDlgItem(MainDialog, IDC_STANDINGS_LIST);
            int top = (int)SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
            RECT row0 = RowOnScreen(list, 0);
            int rowHeight = row0.bottom - row0.top;
            SendMessageW(list, LVM_SCROLL, 0, (scrolledRows - top) * rowHeight);
            // Any message that the window does not handle itself places the banners.
            SendMessageW(MainDialog, WM_NULL, 0, 0);
            RECT listRect = ScreenRect(list);
            int shown = 0;
            for (int banner = 0; banner < 6; banner++) {
                HWND picture = GetDlgItem(MainDialog, IDC_BANNER_ATLANTIC + banner);
                RECT row = RowOnScreen(list, banner * 6);
                if (row.top < listRect.top) {
                    EXPECT_FALSE(IsWindowVisible(picture)) << "banner " << banner;
                }
                if (!IsWindowVisible(picture)) {
                    continue;
                }
                shown++;
                RECT r = ScreenRect(picture);
                EXPECT_EQ(r.left, listRect.left + 30) << "banner " << banner;
                EXPECT_GE(r.top, row.top) << "banner " << banner;
                EXPECT_LE(r.bottom, row.bottom) << "banner " << banner;
            }
            EXPECT_GT(shown, 0);
        });
    }
}

struct ThresholdCase {
    int banner;
    bool byBottom; // the row's bottom (else its top) is put at threshold + offset
    int offset;
    bool shown;
};

const ThresholdCase ThresholdCases[] = {
    {0, true, 0, false},  {0, true, -1, true},  {1, true, 0, false},  {1, true, -1, true},
    {2, true, 0, true},   {2, true, 1, false},  {3, false, -1, true}, {3, false, 0, false},
    {4, false, -1, true}, {4, false, 0, false}, {5, false, -1, true}, {5, false, 0, false},
};

TEST_F(Banners, ThresholdNearTheListBottom) {
    for (const ThresholdCase& c : ThresholdCases) {
        SCOPED_TRACE("banner " + std::to_string(c.banner) + (c.byBottom ? " bottom" : " top") +
                     " at threshold " + std::to_string(c.offset));
        Ui([&] {
            HWND list = GetDlgItem(MainDialog, IDC_STANDINGS_LIST);
            RECT row = {};
            row.left = LVIR_BOUNDS;
            SendMessageW(list, LVM_GETITEMRECT, c.banner * 6, (LPARAM)&row);
            // The threshold is 80 pixels above the list's bottom on the screen, compared
            // with the row's place in the list: size the list so that they meet.
            int edge = c.byBottom ? row.bottom : row.top;
            RECT listRect = ScreenRect(list);
            POINT corner = {listRect.left, listRect.top};
            ScreenToClient(MainDialog, &corner);
            int height = edge - c.offset + 80 - listRect.top;
            MoveWindow(list, corner.x, corner.y, listRect.right - listRect.left, height, FALSE);
            ASSERT_EQ(ScreenRect(list).bottom - 80, edge - c.offset);
            TrackBanners(MainDialog);
            EXPECT_EQ(Visible(IDC_BANNER_ATLANTIC + c.banner), c.shown);
        });
    }
}

} // namespace
