// The download dialog on a headless desktop, driven as a user drives it: the File menu's
// two Download commands against nginx and against servers that fail.
#include "app/app.h"
#include "data/data.h"
#include "net/net.h"
#include "platform/host/host.h"
#include "platform/registry/registry.h"
#include "res/res.h"
#include "tests/support/dataserver.h"
#include "views/views.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

using namespace dataserver;
using nlohmann::json;

namespace {

std::u16string Wide(const std::string& s) {
    std::u16string w(s.size() + 1, u'\0');
    w.resize(WidenUtf8(w.data(), w.size(), s.c_str()));
    return w;
}

void SetValue(LPCWSTR name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::u16string w = Wide(value);
    ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)w.c_str(),
                             DWORD((w.size() + 1) * sizeof(WCHAR))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// What the screen showed of the download dialog at one presentation: which of its three
// progress pictures were visible.
struct Frame {
    bool connecting, rosters, standings;
    bool operator==(const Frame& o) const {
        return connecting == o.connecting && rosters == o.rosters && standings == o.standings;
    }
};

std::string Describe(const std::vector<Frame>& frames) {
    std::string s;
    for (const Frame& f : frames) {
        s += "[";
        s += f.connecting ? "Connecting " : "";
        s += f.rosters ? "Rosters " : "";
        s += f.standings ? "Standings " : "";
        s += "] ";
    }
    return s;
}

// The headless desktop's presenter, watched: every time the screen is presented while the
// download dialog is on it, the pictures it shows are written down (consecutive repeats
// once).
class WatchingDesktop : public HeadlessDesktop {
  public:
    void Present(Surface* screen) override {
        HWND dialog = FindWindowW(nullptr, u"TWK Download");
        if (dialog && IsWindowVisible(dialog)) {
            Frame f{IsWindowVisible(GetDlgItem(dialog, 1002)) != 0,
                    IsWindowVisible(GetDlgItem(dialog, 1043)) != 0,
                    IsWindowVisible(GetDlgItem(dialog, 1003)) != 0};
            if (frames.empty() || !(frames.back() == f))
                frames.push_back(f);
            if (!shotPath.empty() && f.standings + f.rosters + f.connecting > 0)
                SaveSurfacePng(screen, (shotPath + std::to_string(frames.size()) + ".png").c_str());
        }
        HeadlessDesktop::Present(screen);
    }
    std::vector<Frame> frames;
    std::string shotPath;
};

const char* const NewAsOf = "03/02/2004";

// The stored data of an installed program, a data server with newer files, and the
// program itself running on a test desktop.
class DownloadUi : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(installed());
        fs::create_directories(served());
        for (const char* f : {"Season.dat", "Standings.dat", "Roster.dat"})
            fs::copy_file(fs::path(TW_TEST_DATA) / f, installed() / f);
        // The server's standings: a new as-of text and other numbers for the first team.
        std::string standings = ReadFile(installed() / "Standings.dat");
        size_t eol = standings.find("\r\n");
        std::string rest = standings.substr(eol);
        size_t flyers = rest.find("\"Flyers\",40,27,15,101");
        ASSERT_NE(flyers, std::string::npos);
        rest.replace(flyers, 21, "\"Flyers\",41,27,15,103");
        WriteFile(served() / "Standings.dat", "\"" + std::string(NewAsOf) + "\"" + rest);
        // The server's rosters: every player of team 5 renamed, one traded away.
        std::string roster = ReadFile(installed() / "Roster.dat"), out;
        size_t pos = 0;
        int kept = 0;
        while (pos < roster.size()) {
            size_t end = roster.find("\r\n", pos);
            std::string line = roster.substr(pos, end - pos);
            pos = end + 2;
            if (line.rfind("5,", 0) == 0) {
                if (kept++ == 0)
                    continue; // traded
                size_t c1 = line.find(',', 2);
                size_t c2 = line.find(',', c1 + 1);
                line = line.substr(0, c1 + 1) + "New " + line.substr(c1 + 1, c2 - c1 - 1) +
                       line.substr(c2);
            }
            out += line + "\r\n";
        }
        WriteFile(served() / "Roster.dat", out);

        setenv("TARNWICK_REGISTRY", (dir.path / "registry.reg").c_str(), 1);
        setenv("TARNWICK_STALL_TIMEOUT_MS", "500", 1);
        SetValue(u"Install", installed().string());
    }
    void TearDown() override {
        if (desk) {
            desk->RunOnUi([] { SetDesktopHooks(nullptr); });
            desk.reset();
        }
        unsetenv("TARNWICK_STALL_TIMEOUT_MS");
        EXPECT_FALSE(fs::exists(installed() / "Standings.dat.part"));
        EXPECT_FALSE(fs::exists(installed() / "Roster.dat.part"));
    }

    fs::path installed() const { return dir.path / "installed"; }
    fs::path served() const { return dir.path / "served"; }

    void ServeFrom(int port) { SetValue(u"Server", "127.0.0.1:" + std::to_string(port)); }

    // The program, started and through its loading chain.
    void Start() {
        desk = std::make_unique<TestDesktop>([] {
            return WinMain(CreateModuleInstance(res::Resources(), res::ResourceCount()), nullptr,
                           nullptr, 0);
        });
        desk->RunOnUi([this] { SetDesktopHooks(&watch); });
        ASSERT_TRUE(desk->Idle());
        main = Find(u"Tarnwick");
        ASSERT_NE(main, nullptr);
    }

    json Request(const json& request) {
        json reply = json::parse(desk->Request(request.dump()));
        EXPECT_TRUE(reply.value("ok", false)) << request.dump() << " -> " << reply.dump();
        return reply;
    }
    HWND Find(LPCWSTR title) {
        HWND found = nullptr;
        desk->RunOnUi([&] { found = FindWindowW(nullptr, title); });
        return found;
    }
    // The windows titled title, topmost first.
    std::vector<json> WindowsTitled(const std::string& title) {
        std::vector<json> out;
        json reply = Request({{"op", "windows"}});
        for (const json& w : reply["windows"])
            if (w["title"] == title)
                out.push_back(w);
        return out;
    }
    void Command(HWND window, int id) {
        Request({{"op", "command"}, {"window", uintptr_t(window)}, {"id", id}});
    }
    json Cells(int id) {
        return Request({{"op", "cells"}, {"window", uintptr_t(main)}, {"id", id}})["rows"];
    }
    // Everything the main window's lists hold, to compare before and after.
    json Lists() {
        return json{{"standings", Cells(1005)},
                    {"rosterTable", Cells(1009)},
                    {"roster", Cells(1007)},
                    {"title", StandingsAsOfText()}};
    }
    std::string StandingsAsOfText() {
        std::string text;
        desk->RunOnUi([&] {
            char buf[400];
            NarrowUtf8(buf, sizeof buf, StandingsAsOf);
            text = buf;
        });
        return text;
    }
    // The one message box over the main window: its text; closed with its OK button.
    std::string CloseMessageBox() {
        std::vector<json> boxes;
        for (const json& w : WindowsTitled("Tarnwick"))
            if (HWND(uintptr_t(w["hwnd"])) != main)
                boxes.push_back(w);
        EXPECT_EQ(boxes.size(), 1u);
        if (boxes.empty())
            return {};
        HWND box = HWND(uintptr_t(boxes[0]["hwnd"]));
        HWND owner = nullptr;
        desk->RunOnUi([&] { owner = GetWindow(box, GW_OWNER); });
        EXPECT_EQ(owner, main);
        std::string text;
        json controls = Request({{"op", "controls"}, {"window", uintptr_t(box)}});
        for (const json& c : controls["controls"])
            if (c["class"] == "static")
                text += c["text"].get<std::string>();
        Command(box, IDOK);
        EXPECT_TRUE(desk->Idle());
        return text;
    }
    int FetchCount(FaultServer& s) { return int(s.requests().size()); }

    TempDir dir;
    WatchingDesktop watch;
    std::unique_ptr<TestDesktop> desk;
    HWND main = nullptr;
};

TEST_F(DownloadUi, StandingsDownloadShowsConnectingThenDownloadingAndReloads) {
    Nginx nginx;
    ASSERT_TRUE(nginx.Start(served()));
    ServeFrom(nginx.port);
    Start();
    json before = Cells(1005);
    watch.shotPath = (fs::path(TW_BINARY_DIR) / "download-standings-").string();

    Command(main, 40024);
    ASSERT_TRUE(desk->Idle());

    EXPECT_EQ(Find(u"TWK Download"), nullptr);
    EXPECT_EQ(ReadFile(installed() / "Standings.dat"), ReadFile(served() / "Standings.dat"));
    const std::vector<Frame> expected = {
        {false, false, false}, {true, false, false}, {false, false, true}};
    EXPECT_EQ(watch.frames, expected) << Describe(watch.frames);
    EXPECT_EQ(StandingsAsOfText(), NewAsOf);
    json after = Cells(1005);
    EXPECT_NE(after, before);
    EXPECT_NE(after.dump().find("103"), std::string::npos) << after.dump();
    EXPECT_TRUE(WindowsTitled("Tarnwick").size() == 1u); // no message box
    EXPECT_EQ(Request({{"op", "cursor"}})["cursor"], "none");
}

TEST_F(DownloadUi, RosterDownloadShowsDownloadingRostersAndRebuildsTheSameTeam) {
    Nginx nginx;
    ASSERT_TRUE(nginx.Start(served()));
    ServeFrom(nginx.port);
    Start();
    // The Roster tab on team 5, sorted by a column.
    Request({{"op", "choose"}, {"window", uintptr_t(main)}, {"id", 1001}, {"index", 3}});
    ASSERT_TRUE(desk->Idle());
    Request({{"op", "choose"}, {"window", uintptr_t(main)}, {"id", 1023}, {"index", 5}});
    ASSERT_TRUE(desk->Idle());
    desk->RunOnUi([] { LastSortColumn = 2; });
    json before = Cells(1007);
    ASSERT_FALSE(before.empty());

    Command(main, 40025);
    ASSERT_TRUE(desk->Idle());

    EXPECT_EQ(Find(u"TWK Download"), nullptr);
    EXPECT_EQ(ReadFile(installed() / "Roster.dat"), ReadFile(served() / "Roster.dat"));
    const std::vector<Frame> expected = {{false, false, false}, {false, true, false}};
    EXPECT_EQ(watch.frames, expected) << Describe(watch.frames);
    int sortColumn = 0, pending = 0;
    desk->RunOnUi([&] {
        sortColumn = LastSortColumn;
        pending = PendingRosterTeam;
    });
    EXPECT_EQ(sortColumn, -1);
    EXPECT_EQ(pending, 5);
    json after = Cells(1007);
    EXPECT_EQ(after.size() + 1, before.size()); // one player traded away
    for (const json& row : after)
        EXPECT_NE(row.dump().find("New "), std::string::npos) << row.dump();
    json combo;
    json controls = Request({{"op", "controls"}, {"window", uintptr_t(main)}});
    for (const json& c : controls["controls"])
        if (c["id"] == 1023)
            combo = c;
    EXPECT_EQ(combo["selected"], 5);
}

// Every failure: one message box over the main window with the failure's text, and every
// list as it was.
TEST_F(DownloadUi, FailuresShowOneMessageBoxAndChangeNothing) {
    FaultServer broken(
        Answer("HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n\"Half\"\r\n\"Flyers\",1,"));
    FaultServer error500(Answer("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n"));
    Nginx nginx; // serves nothing: every file is missing
    TempDir empty;
    ASSERT_TRUE(nginx.Start(empty.path));
    int refused = FreePort();
    struct Case {
        const char* name;
        int port;
        int command;
        std::string text;
    } cases[] = {
        {"refused", refused, 40024,
         "Send Request Error 12029\nThe attempt to connect to the server failed."},
        {"refused, rosters", refused, 40025,
         "Send Request Error 12029\nThe attempt to connect to the server failed."},
        {"missing", nginx.port, 40024, "HTTP Error 404\nNot Found"},
        {"server error", error500.port(), 40025, "HTTP Error 500\nInternal Server Error"},
        {"breaks off", broken.port(), 40024,
         "Receive Error 12030\nThe connection with the server has been terminated."},
    };
    Start();
    json before = Lists();
    std::string storedStandings = ReadFile(installed() / "Standings.dat");
    std::string storedRoster = ReadFile(installed() / "Roster.dat");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServeFrom(c.port);
        Command(main, c.command);
        ASSERT_TRUE(desk->Idle());
        if (&c == &cases[0])
            Request({{"op", "screenshot"},
                     {"path", (fs::path(TW_BINARY_DIR) / "download-failure.png").string()}});
        EXPECT_EQ(CloseMessageBox(), c.text);
        EXPECT_EQ(Find(u"TWK Download"), nullptr);
        EXPECT_EQ(WindowsTitled("Tarnwick").size(), 1u); // no second box
        EXPECT_EQ(Lists(), before);
        EXPECT_EQ(ReadFile(installed() / "Standings.dat"), storedStandings);
        EXPECT_EQ(ReadFile(installed() / "Roster.dat"), storedRoster);
        EXPECT_EQ(Request({{"op", "cursor"}})["cursor"], "none");
    }
}

TEST_F(DownloadUi, OkOrCancelBeforeTheFetchEndsTheDialogWithoutNetwork) {
    FaultServer server(Answer("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
    ServeFrom(server.port());
    Start();
    for (int button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button);
        Command(main, 40024);
        desk->Advance(10); // the dialog is up; its 100 ms timer has not fired
        HWND dialog = Find(u"TWK Download");
        ASSERT_NE(dialog, nullptr);
        Command(dialog, button);
        desk->Advance(10);
        EXPECT_EQ(Find(u"TWK Download"), nullptr);
        desk->Advance(500);
        ASSERT_TRUE(desk->Idle());
        EXPECT_EQ(FetchCount(server), 0);
    }
    const std::vector<Frame> none = {{false, false, false}};
    EXPECT_TRUE(watch.frames.empty() || watch.frames == none) << Describe(watch.frames);
}

TEST_F(DownloadUi, ASecondDownloadCommandOnlyRaisesTheOpenDialog) {
    FaultServer server(Answer("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n"));
    ServeFrom(server.port());
    Start();
    Command(main, 40024);
    desk->Advance(10);
    HWND dialog = Find(u"TWK Download");
    ASSERT_NE(dialog, nullptr);
    Command(main, 40025); // Rosters, while the standings dialog is open
    desk->Advance(10);
    EXPECT_EQ(WindowsTitled("TWK Download").size(), 1u);
    EXPECT_EQ(Find(u"TWK Download"), dialog);
    int kind = -1;
    desk->RunOnUi([&] { kind = DownloadKind; });
    EXPECT_EQ(kind, 1);
    ASSERT_TRUE(desk->Idle());
    CloseMessageBox();
    ASSERT_EQ(FetchCount(server), 1);
    EXPECT_NE(server.requests()[0].find("GET /sports/hockey/2004/Standings.dat "),
              std::string::npos);
}

} // namespace
