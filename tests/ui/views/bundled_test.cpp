// The bundled 2003-04 season and rosters on a game day, 10 January 2004, looked at through
// the tabs as a user sees them; screenshots of the tabs go to the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "fixture.h"
#include "res/resource.h"

using viewstest::Files;
using viewstest::Program;
using viewstest::Rows;

namespace {

std::string Bundled(const char* name) {
    std::ifstream in(std::string(TW_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Files BundledFiles() {
    Files files;
    files.season = Bundled("Season.dat");
    files.roster = Bundled("Roster.dat");
    files.favoriteTeam = 0; // Avalanche
    return files;
}

std::string Shot(const char* name) {
    return std::string(TW_BINARY_DIR) + "/" + name;
}

} // namespace

TEST(BundledSeason, GameDayTodayTeamAndRosterTabs) {
    Program program(BundledFiles(), 2004, 1, 10);

    program.ChooseTab(1);
    EXPECT_EQ(program.Cells(IDC_TODAY_LIST), (Rows{{"Blackhawks @ Blues", "2:00p"},
                                                   {"Senators @ Predators", "2:00p"},
                                                   {"Hurricanes @ Bruins", "7:00p"},
                                                   {"Islanders @ Canadiens", "7:00p"},
                                                   {"Devils @ Panthers", "7:30p"},
                                                   {"Penguins @ Rangers", "7:30p"},
                                                   {"Flames @ Coyotes", "9:30p"}}));
    program.Screenshot(Shot("views-today.png"));

    program.ChooseTab(2);
    Rows team = program.Cells(IDC_TEAM_SCHEDULE_LIST);
    EXPECT_EQ(team.size(), 82u);
    for (const auto& row : team) {
        EXPECT_TRUE(row[1].rfind(" @ ", 0) == 0 || row[1].rfind(" vs ", 0) == 0) << row[1];
    }
    program.Screenshot(Shot("views-team.png"));

    program.ChooseTab(3);
    Rows shown = program.Cells(IDC_ROSTER_LIST);
    ASSERT_EQ(shown.size(), 24u);
    program.TapColumn(IDC_ROSTER_LIST, 1);
    Rows ascending = program.Cells(IDC_ROSTER_LIST);
    program.TapColumn(IDC_ROSTER_LIST, 1);
    Rows descending = program.Cells(IDC_ROSTER_LIST);
    ASSERT_EQ(ascending.size(), 24u);
    EXPECT_NE(ascending, shown);
    EXPECT_TRUE(std::is_sorted(ascending.begin(), ascending.end(),
                               [](const auto& a, const auto& b) { return a[1] < b[1]; }));
    EXPECT_EQ(descending, Rows(ascending.rbegin(), ascending.rend()));
    program.Screenshot(Shot("views-roster.png"));
}
