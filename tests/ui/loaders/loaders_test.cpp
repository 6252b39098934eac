// The three data-file readers over small files: line ends, empty lines, repeated commas,
// over-long lines, missing fields, reloads and read errors.
#include "data/data.h"
#include "tests/support/loader_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using loaders::Row;
using loaders::Rows;

namespace {

std::u16string Wide(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

class Loaders : public ::testing::Test {
  protected:
    void SetUp() override {
        window = loaders::MakeLoaderWindow();
        ASSERT_NE(window, nullptr);
        char pattern[] = "/tmp/tw-loaders-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        DestroyWindow(window);
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(system(command.c_str()), 0);
    }
    // Writes the bytes to a file of the folder and gives its path as the program names it.
    std::u16string Write(const std::string& name, const std::string& bytes) {
        std::ofstream out(dir + "/" + name, std::ios::binary);
        out << bytes;
        return Wide(dir + "/" + name);
    }
    std::u16string Path(const std::string& name) { return Wide(dir + "/" + name); }

    HWND window = nullptr;
    std::string dir;
};

std::string Repeat(char c, size_t n) {
    return std::string(n, c);
}

// ---- Season ---------------------------------------------------------------------------------
struct SeasonCase {
    const char* what;
    std::string file;
    std::vector<Row> table;
    std::vector<Row> list;
};

const Row Game1Table = {u"10/08/2003 19:30", u"8", u"25"};
const Row Game1List = {u"10/08", u"Coyotes @ Senators", u"7:30p"};
const Row Game2Table = {u"10/09/2003 19:00", u"5", u"16"};
const Row Game2List = {u"10/09", u"Canadiens @ Maple Leafs", u"7:00p"};

std::string LongSeasonLine() {
    std::string head = "10/08/2003 19:30,8,25,";
    std::string tail = "10/09/2003 19:00,5,16,";
    return head + Repeat('x', 1023 - head.size()) + tail + Repeat('y', 77 - tail.size()) + "\n";
}

const SeasonCase SeasonCases[] = {
    {"last line without a line break",
     "10/08/2003 19:30,8,25\n10/09/2003 19:00,5,16",
     {Game1Table, Game2Table},
     {Game1List, Game2List}},
    {"last line with a line feed",
     "10/08/2003 19:30,8,25\n10/09/2003 19:00,5,16\n",
     {Game1Table, Game2Table},
     {Game1List, Game2List}},
    {"CRLF line ends",
     "10/08/2003 19:30,8,25\r\n10/09/2003 19:00,5,16\r\n",
     {Game1Table, Game2Table},
     {Game1List, Game2List}},
    {"empty lines anywhere",
     "\n10/08/2003 19:30,8,25\n\n\r\n10/09/2003 19:00,5,16\n\n",
     {Game1Table, Game2Table},
     {Game1List, Game2List}},
    {"repeated and leading commas", ",10/08/2003 19:30,,8,,,25\n", {Game1Table}, {Game1List}},
    {"further fields ignored", "10/08/2003 19:30,8,25,99,x\n", {Game1Table}, {Game1List}},
    {"a missing home team",
     "10/08/2003 19:30,8\n",
     {{u"10/08/2003 19:30", u"8", u""}},
     {{u"10/08", u"Coyotes @ Avalanche", u"7:30p"}}},
    {"only a date",
     "10/08/2003 19:30\n",
     {{u"10/08/2003 19:30", u"", u""}},
     {{u"10/08", u"Avalanche @ Avalanche", u"7:30p"}}},
    {"the All-Star Game",
     "02/08/2004 15:00,-1,-1\n",
     {{u"02/08/2004 15:00", u"-1", u"-1"}},
     {{u"02/08", u"All-Star Game @ All-Star Game", u"3:00p"}}},
    {"a team index without a name",
     "10/08/2003 19:30,31,25\n",
     {{u"10/08/2003 19:30", u"31", u"25"}},
     {{u"10/08", u" @ Senators", u"7:30p"}}},
    {"a first field of one character",
     "1,8,25\n10/08/2003 19:30,8,25\n",
     {Game1Table},
     {Game1List}},
    {"a line of 1023 bytes and 77 more",
     LongSeasonLine(),
     {Game1Table, Game2Table},
     {Game1List, Game2List}},
    {"an empty file", "", {}, {}},
};

TEST_F(Loaders, SeasonFiles) {
    for (const SeasonCase& c : SeasonCases) {
        SCOPED_TRACE(c.what);
        SendDlgItemMessageW(window, IDC_SEASON_TABLE, LVM_DELETEALLITEMS, 0, 0);
        SendDlgItemMessageW(window, IDC_SEASON_LIST, LVM_DELETEALLITEMS, 0, 0);
        std::u16string path = Write("Season.dat", c.file);
        EXPECT_EQ(LoadSeason(window, path.c_str()), 1);
        EXPECT_EQ(Rows(window, IDC_SEASON_TABLE), c.table);
        EXPECT_EQ(Rows(window, IDC_SEASON_LIST), c.list);
    }
}

TEST_F(Loaders, SeasonLoadsAppendAndMissingFileAddsNothing) {
    std::u16string path = Write("Season.dat", "10/08/2003 19:30,8,25\n");
    EXPECT_EQ(LoadSeason(window, path.c_str()), 1);
    EXPECT_EQ(LoadSeason(window, path.c_str()), 1);
    EXPECT_EQ(Rows(window, IDC_SEASON_TABLE), (std::vector<Row>{Game1Table, Game1Table}));
    EXPECT_EQ(LoadSeason(window, Path("missing.dat").c_str()), 0);
    EXPECT_EQ(Rows(window, IDC_SEASON_LIST), (std::vector<Row>{Game1List, Game1List}));
}

TEST_F(Loaders, BundledSeasonListsEveryLine) {
    EXPECT_EQ(LoadSeason(window, Wide(TW_TEST_DATA "/Season.dat").c_str()), 1);
    std::vector<Row> list = Rows(window, IDC_SEASON_LIST);
    ASSERT_EQ(list.size(), 1231u);
    EXPECT_EQ(list[0], (Row{u"10/08", u"Bruins @ Red Wings", u"7:00p"}));
    EXPECT_EQ(Rows(window, IDC_SEASON_TABLE).size(), 1231u);
}

// ---- Standings ------------------------------------------------------------------------------
// Team lines "Team<i>",i,1,2,3 for i from first, count of them.
std::string TeamLines(int first, int count) {
    std::string lines;
    for (int i = first; i < first + count; i++) {
        lines += "\"Team" + std::to_string(i) + "\"," + std::to_string(i) + ",1,2,3\r\n";
    }
    return lines;
}
std::string TeamLines(int count) {
    return TeamLines(0, count);
}

Row TeamRow(int i) {
    std::u16string n = Wide(std::to_string(i));
    return {u"Team" + n, n, u"1", u"2", u"3"};
}

// The 36 rows of the list for the rows of the 30 team lines read: a separator row before
// each group of five, none after the last; a team line not read gives empty cells.
std::vector<Row> WithSeparators(std::vector<Row> teams) {
    teams.resize(30, Row(5, u""));
    std::vector<Row> rows;
    for (int i = 0; i < 30; i++) {
        if (i % 5 == 0) {
            rows.push_back(Row(5, u""));
        }
        rows.push_back(teams[i]);
    }
    return rows;
}

std::vector<Row> StandingsRows(int count) {
    std::vector<Row> teams;
    for (int i = 0; i < count; i++) {
        teams.push_back(TeamRow(i));
    }
    return WithSeparators(teams);
}

struct StandingsCase {
    const char* what;
    std::string file;
    std::u16string asOf;
    std::vector<Row> rows; // empty: the rows of StandingsRows(30)
};

std::vector<Row> FirstTeamIs(Row first) {
    std::vector<Row> teams = {first};
    for (int i = 1; i < 30; i++) {
        teams.push_back(TeamRow(i));
    }
    return WithSeparators(teams);
}

const std::string LongTeamHead = "\"Long\",1,2,3,";
std::string LongTeamLine() {
    return LongTeamHead + Repeat('x', 1023 - LongTeamHead.size()) + "\"Tail\"" + Repeat('z', 71) +
           "\n";
}
std::vector<Row> LongTeamLineRows() {
    // The line runs on into the next read: every later team moves down one place and
    // the last team line is not read.
    std::vector<Row> teams = {
        // Cells read back hold at most 255 characters.
        {u"Long", u"1", u"2", u"3", Wide(Repeat('x', 255))},
        {u"Tail", u"", u"", u"", u""}};
    for (int i = 1; i < 29; i++) {
        teams.push_back(TeamRow(i));
    }
    return WithSeparators(teams);
}

const std::string LongTitle = Repeat('t', 150);

const StandingsCase StandingsCases[] = {
    {"a title in quotes", "\"Final\"\r\n" + TeamLines(30), u"Final", {}},
    {"commas inside the quotes",
     "\"Final, as of April 4, 2004\",x,y\n" + TeamLines(30),
     u"Final, as of April 4, 2004",
     {}},
    {"a title without quotes", "Final\n" + TeamLines(30), u"Final", {}},
    {"a percent sign", "\"100% final\"\n" + TeamLines(30), u"100% final", {}},
    {"only quotes", "\"\"\n" + TeamLines(30), u"", {}},
    {"a title longer than the label holds",
     LongTitle + "\n" + TeamLines(30),
     Wide(LongTitle.substr(0, 111)),
     {}},
    {"only a title line", "\"Final\"\n", u"Final", StandingsRows(0)},
    {"an empty file", "", u"", StandingsRows(0)},
    {"fewer team lines", "\"Final\"\n" + TeamLines(12), u"Final", StandingsRows(12)},
    {"further lines ignored", "\"Final\"\n" + TeamLines(30) + "\"Extra\",1,2,3,4\n", u"Final", {}},
    {"last line without a line break",
     "\"Final\"\n" + TeamLines(29) + "\"Team29\",29,1,2,3",
     u"Final",
     {}},
    {"a name without quotes", "\"Final\"\nFlyers,40,27,15,101\n" + TeamLines(1, 29), u"Final",
     FirstTeamIs({u"Flyers", u"40", u"27", u"15", u"101"})},
    {"fewer fields", "\"Final\"\n\"Flyers\",40\n" + TeamLines(1, 29), u"Final",
     FirstTeamIs({u"Flyers", u"40", u"", u"", u""})},
    {"repeated commas", "\"Final\"\n,\"Flyers\",,40,,27,15,,101,\n" + TeamLines(1, 29), u"Final",
     FirstTeamIs({u"Flyers", u"40", u"27", u"15", u"101"})},
    {"a team line of 1023 bytes and 77 more", "\"Final\"\n" + LongTeamLine() + TeamLines(1, 29),
     u"Final", LongTeamLineRows()},
};

TEST_F(Loaders, StandingsFiles) {
    for (const StandingsCase& c : StandingsCases) {
        SCOPED_TRACE(c.what);
        std::u16string path = Write("Standings.dat", c.file);
        EXPECT_EQ(LoadStandings(window, path.c_str()), 1);
        EXPECT_EQ(std::u16string(StandingsAsOf), c.asOf);
        EXPECT_EQ(Rows(window, IDC_STANDINGS_LIST), c.rows.empty() ? StandingsRows(30) : c.rows);
    }
}

TEST_F(Loaders, StandingsReloadReplacesEveryRow) {
    std::u16string first = Write("First.dat", "\"First\"\n" + TeamLines(30));
    std::u16string second = Write("Second.dat", "\"Second\"\n\"Only\",9,9,9,9\n");
    EXPECT_EQ(LoadStandings(window, first.c_str()), 1);
    EXPECT_EQ(LoadStandings(window, second.c_str()), 1);
    EXPECT_EQ(std::u16string(StandingsAsOf), u"Second");
    EXPECT_EQ(Rows(window, IDC_STANDINGS_LIST),
              WithSeparators({{u"Only", u"9", u"9", u"9", u"9"}}));

    // A file that cannot be opened empties the list and keeps the as-of text.
    EXPECT_EQ(LoadStandings(window, Path("missing.dat").c_str()), 0);
    EXPECT_EQ(Rows(window, IDC_STANDINGS_LIST).size(), 0u);
    EXPECT_EQ(std::u16string(StandingsAsOf), u"Second");
}

TEST_F(Loaders, BundledStandings) {
    EXPECT_EQ(LoadStandings(window, Wide(TW_TEST_DATA "/Standings.dat").c_str()), 1);
    EXPECT_EQ(std::u16string(StandingsAsOf), u"Final");
    std::vector<Row> rows = Rows(window, IDC_STANDINGS_LIST);
    ASSERT_EQ(rows.size(), 36u);
    for (size_t i = 0; i < rows.size(); i++) {
        EXPECT_EQ(rows[i][0].empty(), i % 6 == 0) << "row " << i;
    }
    EXPECT_EQ(rows[1], (Row{u"Flyers", u"40", u"27", u"15", u"101"}));
}

// ---- Roster ---------------------------------------------------------------------------------
struct RosterCase {
    const char* what;
    std::string file;
    std::vector<Row> rows;
};

const Row Player1 = {u"4", u"37", u"Patrice Bergeron", u"C", u"6-2", u"194"};
const Row Player2 = {u"5", u"11", u"Saku Koivu", u"C", u"5-10", u"181"};
const std::string Line1 = "4,37,Patrice Bergeron,C,6-2,194";
const std::string Line2 = "5,11,Saku Koivu,C,5-10,181";

std::string LongRosterLine() {
    std::string head = "4,37,Patrice Bergeron,C,6-2,194,";
    std::string tail = Line2 + ",";
    return head + Repeat('x', 1023 - head.size()) + tail + Repeat('y', 77 - tail.size()) + "\n";
}

const RosterCase RosterCases[] = {
    {"last line without a line break", Line1 + "\n" + Line2, {Player1, Player2}},
    {"last line with a line feed", Line1 + "\n" + Line2 + "\n", {Player1, Player2}},
    {"CRLF line ends", Line1 + "\r\n" + Line2 + "\r\n", {Player1, Player2}},
    {"empty lines", "\n" + Line1 + "\r\n\r\n\n" + Line2 + "\n\n", {Player1, Player2}},
    {"a leading comma", "," + Line1 + "\n", {Player1}},
    {"repeated commas", "4,,37,,,Patrice Bergeron,C,6-2,,194\n", {Player1}},
    {"a missing name shifts the rest",
     "4,37,,C,6-2,194\n",
     {{u"4", u"37", u"C", u"6-2", u"194", u""}}},
    {"fewer fields", "4,37\n", {{u"4", u"37", u"", u"", u"", u""}}},
    {"further fields ignored", Line1 + ",extra,more\n", {Player1}},
    {"Windows-1252 letters",
     "0,3,S\xe9"
     "bastien Varga,C,6-3,177\n",
     {{u"0", u"3", u"S\u00e9bastien Varga", u"C", u"6-3", u"177"}}},
    {"a line of 1023 bytes and 77 more", LongRosterLine(), {Player1, Player2}},
    {"an empty file", "", {}},
};

TEST_F(Loaders, RosterFiles) {
    for (const RosterCase& c : RosterCases) {
        SCOPED_TRACE(c.what);
        std::u16string path = Write("Roster.dat", c.file);
        EXPECT_EQ(LoadRosterTable(window, path.c_str()), 1);
        EXPECT_EQ(Rows(window, IDC_ROSTER_TABLE), c.rows);
    }
}

TEST_F(Loaders, RosterReloadEmptiesTheTableFirst) {
    std::u16string first = Write("First.dat", Line1 + "\n" + Line2 + "\n");
    std::u16string second = Write("Second.dat", Line2 + "\n");
    EXPECT_EQ(LoadRosterTable(window, first.c_str()), 1);
    EXPECT_EQ(LoadRosterTable(window, second.c_str()), 1);
    EXPECT_EQ(Rows(window, IDC_ROSTER_TABLE), (std::vector<Row>{Player2}));
    EXPECT_EQ(LoadRosterTable(window, Path("missing.dat").c_str()), 0);
    EXPECT_EQ(Rows(window, IDC_ROSTER_TABLE).size(), 0u);
}

// ---- Read errors ----------------------------------------------------------------------------
struct ReaderCase {
    const char* what;
    int (*load)(HWND, LPCWSTR);
    int list;
    size_t rowsOnFirstReadError; // what a stream that fails at once leaves
    size_t rowsAfterTwoLines;    // what a stream that fails after two good lines leaves
    std::string twoLines;
};

const ReaderCase Readers[] = {
    {"season", LoadSeason, IDC_SEASON_TABLE, 0, 2,
     "10/08/2003 19:30,8,25\n10/09/2003 19:00,5,16\n"},
    // The separator row goes in before the first team line is read; the error of the
    // title line is noticed there.
    {"standings", LoadStandings, IDC_STANDINGS_LIST, 1, 2, "\"Final\"\n\"Flyers\",40,27,15,101\n"},
    {"roster", LoadRosterTable, IDC_ROSTER_TABLE, 0, 2, Line1 + "\n" + Line2 + "\n"},
};

TEST_F(Loaders, ReadErrorAtTheFirstLine) {
    // A folder opens for reading but every read of it fails.
    for (const ReaderCase& c : Readers) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.load(window, Wide(dir).c_str()), 0);
        EXPECT_EQ(Rows(window, c.list).size(), c.rowsOnFirstReadError);
    }
}

void Interrupted(int) {}

TEST_F(Loaders, ReadErrorMidFileKeepsTheRowsReadBefore) {
    // A pipe that delivers two lines and then blocks; a signal without restart interrupts
    // the blocked read, which the stream reports as a read error.
    struct sigaction action = {}, previous = {};
    action.sa_handler = Interrupted;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    pthread_t reader = pthread_self();
    for (const ReaderCase& c : Readers) {
        SCOPED_TRACE(c.what);
        std::string fifo = dir + "/" + c.what + ".fifo";
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        std::atomic<bool> done{false};
        std::thread writer([&] {
            int fd = open(fifo.c_str(), O_WRONLY);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(write(fd, c.twoLines.data(), c.twoLines.size()), (ssize_t)c.twoLines.size());
            while (!done) {
                pthread_kill(reader, SIGUSR1);
                usleep(5000);
            }
            close(fd);
        });
        int result = c.load(window, Wide(fifo).c_str());
        done = true;
        writer.join();
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Rows(window, c.list).size(), c.rowsAfterTwoLines);
    }
    sigaction(SIGUSR1, &previous, nullptr);
}

} // namespace
