// The Options dialog, the About box and the help command, driven through the running
// program on the headless desktop as a user would: menu commands, picks in the drop-downs,
// taps; what they leave in memory, in the registry file and on the screen.
#include "app/app.h"
#include "platform/host/host.h"
#include "platform/registry/registry.h"
#include "platform/user/commctrl.h"
#include "res/res.h"
#include "settings/settings.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

using nlohmann::json;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Narrow(const std::u16string& s) {
    return std::string(s.begin(), s.end());
}

// Minutes after midnight of a shown time such as "7:30p"; -1 for anything else.
int Minutes(const std::string& text) {
    int h = 0, m = 0;
    char half = 0;
    if (std::sscanf(text.c_str(), "%d:%2d%c", &h, &m, &half) != 3 || h < 1 || h > 12)
        return -1;
    if (half != 'a' && half != 'p')
        return -1;
    return (h % 12 + (half == 'p' ? 12 : 0)) * 60 + m;
}

// What the registry key holds, as the program reads it back.
struct Stored {
    bool hasOffset = false;
    std::string offset;
    bool hasIndex = false;
    DWORD index = 0;
    bool hasTeam = false;
    DWORD team = 0;
};

Stored ReadStored() {
    Stored s;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Vellmore\\tarnwick", 0, 0, &key) !=
        ERROR_SUCCESS)
        return s;
    WCHAR text[256] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    if (RegQueryValueExW(key, u"OffSet", nullptr, &type, (LPBYTE)text, &size) == ERROR_SUCCESS) {
        s.hasOffset = true;
        s.offset = Narrow(text);
    }
    size = 4;
    s.hasIndex =
        RegQueryValueExW(key, u"Index", nullptr, &type, (LPBYTE)&s.index, &size) == ERROR_SUCCESS;
    size = 4;
    s.hasTeam =
        RegQueryValueExW(key, u"Team", nullptr, &type, (LPBYTE)&s.team, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return s;
}

class Options : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-options-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        // An installed data directory: the bundled data and the help file side by side.
        install = dir + "/share/tarnwick";
        ASSERT_EQ(system(("mkdir -p '" + install + "' && cp '" TW_TEST_DATA "'/*.dat '" + install +
                          "' && cp '" TW_SOURCE_DIR "/res/help/tarnwick.html' '" + install + "'")
                             .c_str()),
                  0);
        registry = dir + "/registry.reg";
        setenv("TARNWICK_REGISTRY", registry.c_str(), 1);
        // The settings live for the whole process; each run of the program starts from the
        // defaults, as a fresh process would.
        HourOffset = 0;
        FavoriteTeam = 0;
        ZoneIndex = 11;
    }
    void TearDown() override {
        desktop.reset();
        unsetenv("TARNWICK_REGISTRY");
        unsetenv("TARNWICK_HELP_VIEWER");
        ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }

    // The registry as the installer leaves it, plus the given lines of settings.
    void WriteRegistry(const std::string& settings = "") {
        std::ofstream(registry) << "Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\n"
                                   "\"Install\"=\""
                                << install << "\"\n"
                                << settings;
    }

    // The program as it starts, until its start-up chain has run.
    void StartProgram() {
        desktop = std::make_unique<TestDesktop>([] {
            return WinMain(CreateModuleInstance(res::Resources(), res::ResourceCount()), nullptr,
                           nullptr, 0);
        });
        bool up = false;
        for (int i = 0; i < 100 && !up; i++) {
            desktop->RunOnUi([&] { up = MainDialog && IsWindow(MainDialog); });
            if (!up)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(up);
        ASSERT_TRUE(desktop->Idle());
    }

    // The body starts on the UI thread of its own: wait until its window exists.
    bool WaitForWindow(const std::string& title) {
        std::u16string wide(title.begin(), title.end());
        for (int i = 0; i < 200; i++) {
            bool found = false;
            desktop->RunOnUi([&] { found = FindWindowW(nullptr, wide.c_str()) != nullptr; });
            if (found)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    json Request(const json& request) {
        json reply = json::parse(desktop->Request(request.dump()));
        EXPECT_TRUE(reply.value("ok", false)) << request.dump() << " -> " << reply.dump();
        return reply;
    }
    void Command(const std::string& window, int id) {
        Request({{"op", "command"}, {"window", window}, {"id", id}});
        ASSERT_TRUE(desktop->Idle());
    }
    void Choose(const std::string& window, int id, int index) {
        Request({{"op", "choose"}, {"window", window}, {"id", id}, {"index", index}});
        ASSERT_TRUE(desktop->Idle());
    }
    json Control(const std::string& window, int id) {
        json reply = Request({{"op", "controls"}, {"window", window}});
        for (const json& c : reply["controls"])
            if (c["id"] == id)
                return c;
        ADD_FAILURE() << "no control " << id << " in " << window;
        return json::object();
    }
    // The position of an item's text in a drop-down.
    int ItemIndex(const std::string& window, int id, const std::string& text) {
        json items = Control(window, id)["items"];
        for (size_t i = 0; i < items.size(); i++)
            if (items[i] == text)
                return (int)i;
        ADD_FAILURE() << "no item " << text;
        return -1;
    }
    std::vector<std::vector<std::string>> Cells(int id) {
        return Request({{"op", "cells"}, {"window", "Tarnwick"}, {"id", id}})["rows"]
            .get<std::vector<std::vector<std::string>>>();
    }
    std::vector<json> Windows(const std::string& title) {
        std::vector<json> found;
        json reply = Request({{"op", "windows"}});
        for (const json& w : reply["windows"])
            if (w["title"] == title)
                found.push_back(w);
        return found;
    }
    std::string Foreground() {
        json reply = Request({{"op", "windows"}});
        for (const json& w : reply["windows"])
            if (w["foreground"] == true)
                return w["title"];
        return "";
    }
    void InUi(const std::function<void()>& fn) { desktop->RunOnUi(fn); }

    std::string dir, install, registry;
    std::unique_ptr<TestDesktop> desktop;
};

// ---- The zone table -------------------------------------------------------------------------
TEST(TimeZoneTable, EachOffsetIsTheLabelsHourFromEasternTime) {
    for (int i = 0; i < 70; i++) {
        std::string label = Narrow(TimeZoneTable[i].label);
        int hour = 0;
        ASSERT_EQ(std::sscanf(label.c_str(), "GMT%d", &hour), 1) << label;
        EXPECT_EQ(TimeZoneTable[i].offset, hour + 5) << i << " " << label;
        for (int j = 0; j < i; j++)
            EXPECT_NE(label, Narrow(TimeZoneTable[j].label)) << "twice: " << label;
    }
    // The time conversion singles out these positions.
    EXPECT_EQ(Narrow(TimeZoneTable[2].label), "GMT-10 Hawaii");
    EXPECT_EQ(Narrow(TimeZoneTable[6].label), "GMT-7 Arizona");
    EXPECT_EQ(Narrow(TimeZoneTable[11].label), "GMT-5 Eastern US");
    EXPECT_EQ(Narrow(TimeZoneTable[12].label), "GMT-5 Indiana");
}

// ---- Options --------------------------------------------------------------------------------
TEST_F(Options, OpensFullScreenWithTheDefaultsSelected) {
    WriteRegistry();
    StartProgram();
    Command("Tarnwick", IDM_OPTIONS);
    ASSERT_EQ(Windows("TWK Options").size(), 1u);
    EXPECT_EQ(Foreground(), "TWK Options");
    EXPECT_EQ(Windows("TWK Options")[0]["rect"], Windows("Tarnwick")[0]["rect"]);

    json teams = Control("TWK Options", IDC_FAVORITE_TEAM_COMBO);
    EXPECT_EQ(teams["items"], Control("Tarnwick", IDC_TEAM_COMBO)["items"]);
    ASSERT_EQ(teams["items"].size(), 30u);
    EXPECT_EQ(teams["selected"], 0);
    EXPECT_EQ(teams["items"][0], "Avalanche");

    json zones = Control("TWK Options", IDC_TIME_ZONE_COMBO);
    ASSERT_EQ(zones["items"].size(), 70u);
    for (int i = 0; i < 70; i++)
        EXPECT_EQ(zones["items"][i], Narrow(TimeZoneTable[i].label));
    EXPECT_EQ(zones["selected"], 11);
    EXPECT_EQ(zones["items"][11], "GMT-5 Eastern US");
}

struct ZoneCase {
    const char* label;
    int index;
    int offset;
};
const ZoneCase ZoneCases[] = {
    {"GMT+9 Yakutsk", 60, 14},    {"GMT-12 Kwajalein", 0, -7}, {"GMT+13 Tonga", 69, 18},
    {"GMT-7 Mountain US", 5, -2}, {"GMT-7 Arizona", 6, -2},
};

TEST_F(Options, SaveStoresTheChosenZonesPositionAndOffset) {
    WriteRegistry();
    StartProgram();
    for (const ZoneCase& c : ZoneCases) {
        SCOPED_TRACE(c.label);
        Command("Tarnwick", IDM_OPTIONS);
        int index = ItemIndex("TWK Options", IDC_TIME_ZONE_COMBO, c.label);
        Choose("TWK Options", IDC_TIME_ZONE_COMBO, index);
        Command("TWK Options", IDC_SAVE);
        EXPECT_TRUE(Windows("TWK Options").empty());

        int zone = -1, offset = 99, team = -1;
        Stored stored;
        InUi([&] {
            zone = ZoneIndex;
            offset = HourOffset;
            team = FavoriteTeam;
            stored = ReadStored();
        });
        EXPECT_EQ(zone, c.index);
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(team, 0);
        EXPECT_TRUE(stored.hasIndex && stored.hasOffset && stored.hasTeam);
        EXPECT_EQ(stored.index, (DWORD)c.index);
        EXPECT_EQ(stored.offset, std::to_string(c.offset));
        EXPECT_EQ(stored.team, 0u);

        // Opening again shows what was saved.
        Command("Tarnwick", IDM_OPTIONS);
        EXPECT_EQ(Control("TWK Options", IDC_TIME_ZONE_COMBO)["selected"], c.index);
        Command("TWK Options", IDC_CANCEL_OPTIONS);
    }
}

TEST_F(Options, SaveStoresTheChosenTeam) {
    WriteRegistry();
    StartProgram();
    Command("Tarnwick", IDM_OPTIONS);
    Choose("TWK Options", IDC_FAVORITE_TEAM_COMBO,
           ItemIndex("TWK Options", IDC_FAVORITE_TEAM_COMBO, "Bruins"));
    Command("TWK Options", IDC_SAVE);
    int team = -1;
    Stored stored;
    InUi([&] {
        team = FavoriteTeam;
        stored = ReadStored();
    });
    EXPECT_EQ(team, 4);
    EXPECT_EQ(stored.team, 4u);
    // The zone was left alone: the defaults are what is stored with it.
    EXPECT_EQ(stored.index, 11u);
    EXPECT_EQ(stored.offset, "0");
}

// Cancel, and OK in the top bar, close without saving, whatever was picked meanwhile.
TEST_F(Options, CancelAndOkChangeNothing) {
    for (int command : {IDC_CANCEL_OPTIONS, IDOK}) {
        SCOPED_TRACE(command);
        WriteRegistry("\"OffSet\"=\"-3\"\n\"Index\"=dword:00000004\n\"Team\"=dword:00000004\n");
        std::string before = ReadFile(registry);
        StartProgram();
        Command("Tarnwick", IDM_OPTIONS);
        EXPECT_EQ(Control("TWK Options", IDC_FAVORITE_TEAM_COMBO)["selected"], 4);
        EXPECT_EQ(Control("TWK Options", IDC_TIME_ZONE_COMBO)["selected"], 4);
        Choose("TWK Options", IDC_FAVORITE_TEAM_COMBO, 9);
        Choose("TWK Options", IDC_TIME_ZONE_COMBO, 60);
        Command("TWK Options", command);
        EXPECT_TRUE(Windows("TWK Options").empty());
        int zone = -1, offset = 99, team = -1;
        InUi([&] {
            zone = ZoneIndex;
            offset = HourOffset;
            team = FavoriteTeam;
        });
        EXPECT_EQ(zone, 4);
        EXPECT_EQ(offset, -3);
        EXPECT_EQ(team, 4);
        EXPECT_EQ(ReadFile(registry), before);
        Command("Tarnwick", IDOK);
        EXPECT_TRUE(desktop->Finished());
        desktop.reset();
    }
}

// A stored Team or Index that names no item leaves its drop-down without a selection; Save
// then keeps that setting as it was instead of storing -1.
struct OutOfListCase {
    const char* what;
    const char* chosenZone; // null: nothing picked
    int zone, offset;       // expected after Save
};
const OutOfListCase OutOfListCases[] = {
    {"nothing picked", nullptr, 70, 2},
    {"only a zone picked", "GMT-0 London,Dublin", 24, 5},
};

TEST_F(Options, SettingsOutsideTheListsAreKeptBySave) {
    for (const OutOfListCase& c : OutOfListCases) {
        SCOPED_TRACE(c.what);
        WriteRegistry("\"OffSet\"=\"2\"\n\"Index\"=dword:00000046\n\"Team\"=dword:ffffffff\n");
        StartProgram();
        Command("Tarnwick", IDM_OPTIONS);
        EXPECT_EQ(Control("TWK Options", IDC_FAVORITE_TEAM_COMBO)["selected"], -1);
        EXPECT_EQ(Control("TWK Options", IDC_TIME_ZONE_COMBO)["selected"], -1);
        if (c.chosenZone)
            Choose("TWK Options", IDC_TIME_ZONE_COMBO,
                   ItemIndex("TWK Options", IDC_TIME_ZONE_COMBO, c.chosenZone));
        Command("TWK Options", IDC_SAVE);
        int zone = 0, offset = 0, team = 0;
        Stored stored;
        InUi([&] {
            zone = ZoneIndex;
            offset = HourOffset;
            team = FavoriteTeam;
            stored = ReadStored();
        });
        EXPECT_EQ(team, -1);
        EXPECT_EQ(stored.team, 0xffffffffu);
        EXPECT_EQ(zone, c.zone);
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(stored.index, (DWORD)c.zone);
        EXPECT_EQ(stored.offset, std::to_string(c.offset));
        Command("Tarnwick", IDOK);
        desktop.reset();
    }
}

// Saving rebuilds nothing: the lists keep the times they show until they are filled again,
// and then show the new zone.
TEST_F(Options, ListsKeepTheirTimesUntilFilledAgain) {
    WriteRegistry();
    StartProgram();
    auto team = Cells(IDC_TEAM_SCHEDULE_LIST);
    auto today = Cells(IDC_TODAY_LIST);
    ASSERT_FALSE(team.empty());
    ASSERT_FALSE(today.empty());

    Command("Tarnwick", IDM_OPTIONS);
    Choose("TWK Options", IDC_TIME_ZONE_COMBO,
           ItemIndex("TWK Options", IDC_TIME_ZONE_COMBO, "GMT-8 Pacific US"));
    Command("TWK Options", IDC_SAVE);
    EXPECT_EQ(Cells(IDC_TEAM_SCHEDULE_LIST), team);
    EXPECT_EQ(Cells(IDC_TODAY_LIST), today);

    // Picking a team again fills the Team tab anew; the day buttons fill the Today tab.
    Choose("Tarnwick", IDC_TAB_STRIP, 2);
    Choose("Tarnwick", IDC_TEAM_COMBO, 1);
    Choose("Tarnwick", IDC_TEAM_COMBO, 0);
    Choose("Tarnwick", IDC_TAB_STRIP, 1);
    Command("Tarnwick", IDC_NEXT_DAY);
    Command("Tarnwick", IDC_PREV_DAY);
    struct Shown {
        std::vector<std::vector<std::string>> before, after;
        size_t timeColumn;
    };
    Shown lists[] = {
        {team, Cells(IDC_TEAM_SCHEDULE_LIST), 2},
        {today, Cells(IDC_TODAY_LIST), 1},
    };
    for (const Shown& list : lists) {
        ASSERT_EQ(list.after.size(), list.before.size());
        for (size_t r = 0; r < list.before.size(); r++) {
            const std::string& was = list.before[r][list.timeColumn];
            const std::string& now = list.after[r][list.timeColumn];
            if (Minutes(was) < 0)
                continue; // "No games scheduled." has no time
            EXPECT_EQ((Minutes(was) - Minutes(now) + 1440) % 1440, 180) << was << " -> " << now;
        }
    }
}

// ---- One of each ----------------------------------------------------------------------------
TEST_F(Options, EachDialogExistsOnce) {
    WriteRegistry();
    StartProgram();
    struct Case {
        int command;
        const char* title;
        int closeWith;
    } cases[] = {{IDM_OPTIONS, "TWK Options", IDC_CANCEL_OPTIONS},
                 {IDM_ABOUT, "About Tarnwick", IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Command("Tarnwick", c.command);
        Command("Tarnwick", c.command);
        EXPECT_EQ(Windows(c.title).size(), 1u);
        EXPECT_EQ(Foreground(), c.title);
        Command(c.title, c.closeWith);
        EXPECT_TRUE(Windows(c.title).empty());
    }

    // An Options dialog behind the main window comes back to the front.
    Command("Tarnwick", IDM_OPTIONS);
    Request({{"op", "activate"}, {"window", "Tarnwick"}});
    ASSERT_TRUE(desktop->Idle());
    EXPECT_EQ(Foreground(), "Tarnwick");
    Command("Tarnwick", IDM_OPTIONS);
    EXPECT_EQ(Windows("TWK Options").size(), 1u);
    EXPECT_EQ(Foreground(), "TWK Options");
}

TEST_F(Options, EndingTheProgramEndsOpenOptionsAndAbout) {
    WriteRegistry();
    StartProgram();
    Command("Tarnwick", IDM_OPTIONS);
    Command("Tarnwick", IDM_ABOUT);
    ASSERT_EQ(Windows("TWK Options").size(), 1u);
    ASSERT_EQ(Windows("About Tarnwick").size(), 1u);
    Command("Tarnwick", IDOK);
    EXPECT_TRUE(desktop->Finished());
    EXPECT_EQ(desktop->Result(), 0);
    EXPECT_TRUE(Windows("TWK Options").empty());
    EXPECT_TRUE(Windows("About Tarnwick").empty());
}

// ---- About ----------------------------------------------------------------------------------
TEST_F(Options, AboutEndsWithTheCodeOfHowItWasLeft) {
    WriteRegistry();
    struct Case {
        const char* how;
        int expected;
    } cases[] = {{"another window comes to the front", 0}, {"OK", 1}, {"Cancel", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        desktop = std::make_unique<TestDesktop>([] {
            AppInstance = CreateModuleInstance(res::Resources(), res::ResourceCount());
            return (int)RunTemplate(IDD_ABOUT, AboutDialogProc);
        });
        ASSERT_TRUE(WaitForWindow("About Tarnwick"));
        ASSERT_TRUE(desktop->Idle());
        auto about = Windows("About Tarnwick");
        ASSERT_EQ(about.size(), 1u);
        // Its own size, centred on the screen, not full screen.
        json rect = about[0]["rect"];
        EXPECT_LT(rect[2].get<int>(), 240);
        EXPECT_LE(std::abs(2 * rect[0].get<int>() + rect[2].get<int>() - 240), 1) << rect;
        EXPECT_FALSE(desktop->Finished());

        if (c.expected == 0) {
            InUi([] {
                HWND other = CreateWindowExW(0, u"STATIC", u"Elsewhere", WS_POPUP | WS_VISIBLE, 0,
                                             26, 240, 268, nullptr, nullptr, nullptr, nullptr);
                SetForegroundWindow(other);
            });
        } else {
            Request({{"op", "command"}, {"window", "About Tarnwick"}, {"id", c.expected}});
        }
        ASSERT_TRUE(desktop->Idle());
        EXPECT_TRUE(desktop->Finished());
        EXPECT_EQ(desktop->Result(), c.expected);
        desktop.reset();
    }
}

TEST_F(Options, TappingTheMainWindowClosesAbout) {
    WriteRegistry();
    StartProgram();
    Command("Tarnwick", IDM_ABOUT);
    ASSERT_EQ(Windows("About Tarnwick").size(), 1u);
    json rect = Windows("About Tarnwick")[0]["rect"];
    // Below the box, over the main window's list.
    int y = rect[1].get<int>() + rect[3].get<int>() + 10;
    ASSERT_LT(y, 280);
    Request({{"op", "tap"}, {"x", 120}, {"y", y}});
    ASSERT_TRUE(desktop->Idle());
    EXPECT_TRUE(Windows("About Tarnwick").empty());
    EXPECT_FALSE(desktop->Finished());
}

// ---- Help -----------------------------------------------------------------------------------
TEST_F(Options, HelpStartsTheViewerEachTimeOnTheContents) {
    std::string log = dir + "/viewer.log";
    std::string viewer = dir + "/viewer.sh";
    std::ofstream(viewer) << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" << log << "'\n";
    chmod(viewer.c_str(), 0755);
    setenv("TARNWICK_HELP_VIEWER", viewer.c_str(), 1);
    WriteRegistry();
    StartProgram();
    Command("Tarnwick", IDM_HELP_TARNWICK);
    Command("Tarnwick", IDM_HELP_TARNWICK);

    // The viewer runs as a process of its own: give it time to write.
    std::string expected = "file://" + install + "/tarnwick.html#Main_Contents\n";
    std::string got;
    for (int i = 0; i < 200 && got.size() < 2 * expected.size(); i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        got = ReadFile(log);
    }
    EXPECT_EQ(got, expected + expected);
    // The topic is there in the installed file.
    EXPECT_NE(ReadFile(install + "/tarnwick.html").find("id=\"Main_Contents\""), std::string::npos);
}

TEST_F(Options, HelpWithoutAViewerSaysNothing) {
    setenv("TARNWICK_HELP_VIEWER", (dir + "/no-such-viewer").c_str(), 1);
    WriteRegistry();
    StartProgram();
    size_t before = Request({{"op", "windows"}})["windows"].size();
    Command("Tarnwick", IDM_HELP_TARNWICK);
    EXPECT_EQ(Request({{"op", "windows"}})["windows"].size(), before);
    EXPECT_EQ(Foreground(), "Tarnwick");
    EXPECT_FALSE(desktop->Finished());
}

} // namespace
