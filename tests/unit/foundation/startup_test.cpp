#include "app/app.h"
#include "data/data.h"
#include "fixture.h"

namespace {

class StartupChecks : public TempHome {
  protected:
    void SetUp() override {
        TempHome::SetUp();
        StandingsPath[0] = RosterPath[0] = SeasonPath[0] = 0;
    }
};

TEST_F(StartupChecks, SeasonFileMustStartIn2003) {
    struct Case {
        const char* name;
        std::string bytes;
        int result;
    } cases[] = {
        {"date and time", "10/08/2003 19:00,4,23\r\n10/08/2003 19:00,9,12\r\n", 1},
        {"next season", "10/08/2004 19:00,4,23\r\n", 0},
        {"date alone", "10/08/2003,4,23\r\n", 1},
        {"no date", "Date,Visitor,Home\r\n10/08/2003 19:00,4,23\r\n", 0},
        {"no comma", "10/08/2003 19:00\r\n", 1},
        {"no line end", "10/08/2003 19:00", 1},
        {"leading commas", ",,10/08/2003 19:00,4,23\r\n", 1},
        {"empty file", "", 0},
        {"commas only", ",,,\r\n10/08/2003 19:00,4,23\r\n", 0},
        {"no such day", "02/30/2003 19:00,4,23\r\n", 0},
        {"a century later", "10/08/2103 19:00,4,23\r\n", 1},
        {"first line too long for the buffer", "10/08/2003 19:00," + std::string(2000, 'x'), 1},
        {"high bytes", "\xe9\xff\x81,1\r\n", 0},
    };
    std::u16string path = Wide(dir) + u"\\Season.dat";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(dir + "/Season.dat", c.bytes);
        EXPECT_EQ(CheckSeasonFile(path.c_str()), c.result);
    }
    EXPECT_EQ(CheckSeasonFile((Wide(dir) + u"\\Missing.dat").c_str()), 0);
    EXPECT_EQ(CheckSeasonFile(Wide(dir).c_str()), 0); // a folder, not a file
    EXPECT_EQ(CheckSeasonFile(u"" TW_TEST_DATA "/Season.dat"), 1);
}

TEST_F(StartupChecks, InstallValueBuildsTheThreePaths) {
    WriteKey("\"Install\"=\"/opt/tw\"\r\n");
    ASSERT_EQ(ReadInstallPaths(), 1);
    EXPECT_EQ(std::u16string(StandingsPath), u"/opt/tw\\Standings.dat");
    EXPECT_EQ(std::u16string(RosterPath), u"/opt/tw\\Roster.dat");
    EXPECT_EQ(std::u16string(SeasonPath), u"/opt/tw\\Season.dat");

    WriteKey("\"Install\"=\"C:\\\\Data\\\\\"\r\n"); // a trailing backslash is kept
    ASSERT_EQ(ReadInstallPaths(), 1);
    EXPECT_EQ(std::u16string(SeasonPath), u"C:\\Data\\\\Season.dat");

    WriteKey("\"Install\"=hex(1):2f,00,74,00\r\n"); // stored without its terminator
    ASSERT_EQ(ReadInstallPaths(), 1);
    EXPECT_EQ(std::u16string(RosterPath), u"/t\\Roster.dat");
}

TEST_F(StartupChecks, InstallLookupFailsWithoutCuttingAPath) {
    struct Case {
        const char* name;
        std::string values;
        int result;
    } cases[] = {
        {"longest that fits", "\"Install\"=\"/" + std::string(244, 'd') + "\"\r\n", 1},
        {"one too long for Standings.dat", "\"Install\"=\"/" + std::string(245, 'd') + "\"\r\n", 0},
        {"fills the buffer", "\"Install\"=\"/" + std::string(258, 'd') + "\"\r\n", 0},
        {"larger than the buffer", "\"Install\"=\"/" + std::string(259, 'd') + "\"\r\n", 0},
        {"260 characters, no terminator",
         "\"Install\"=hex(1):" +
             [] {
                 std::string h;
                 for (int i = 0; i < 260; ++i)
                     h += i ? ",64,00" : "64,00";
                 return h;
             }() +
             "\r\n",
         0},
        {"no Install", "\"OffSet\"=\"0\"\r\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandingsPath[0] = RosterPath[0] = SeasonPath[0] = 0;
        WriteKey(c.values);
        EXPECT_EQ(ReadInstallPaths(), c.result);
        if (c.result) {
            EXPECT_EQ(WcsLen(StandingsPath), 259u);
        } else {
            EXPECT_EQ(StandingsPath[0], 0);
            EXPECT_EQ(SeasonPath[0], 0);
        }
    }
    unlink(registry.c_str());
    EXPECT_EQ(ReadInstallPaths(), 0);
    WriteAll(registry, "not a registry\r\n");
    EXPECT_EQ(ReadInstallPaths(), 0);
}

TEST(TeamTable, NamesByIndex) {
    struct Case {
        int index;
        LPCWSTR name;
    } cases[] = {{-1, u"All-Star Game"}, {0, u"Avalanche"}, {2, u"Blue Jackets"}, {3, u"Blues"},
                 {7, u"Capitals"},       {10, u"Flames"},   {29, u"Wild"},        {30, nullptr},
                 {-2, nullptr},          {1000, nullptr},   {INT32_MIN, nullptr}};
    for (const Case& c : cases) {
        LPCWSTR name = TeamName(c.index);
        if (c.name) {
            ASSERT_NE(name, nullptr) << c.index;
            EXPECT_EQ(std::u16string(name), c.name);
        } else {
            EXPECT_EQ(name, nullptr) << c.index;
        }
    }
    // A team field read with _wtol names the team as the files store it.
    struct Field {
        LPCWSTR text;
        LPCWSTR name;
    } fields[] = {{u"7", u"Capitals"}, {u"  7", u"Capitals"}, {u"7\r\n", u"Capitals"},
                  {u"", u"Avalanche"}, {u"x", u"Avalanche"},  {u"-1", u"All-Star Game"}};
    for (const Field& f : fields)
        EXPECT_EQ(std::u16string(TeamName(_wtol(f.text))), f.name);
}

} // namespace
