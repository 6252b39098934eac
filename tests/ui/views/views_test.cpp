// The Team, Roster and Today tabs and the calendars, driven on the running main window
// over small data files.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/app.h"
#include "fixture.h"
#include "platform/gdi/gdi.h"
#include "platform/locale/locale.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"
#include "views/views.h"

using viewstest::Files;
using viewstest::Program;
using viewstest::Rows;

namespace {

// Games of the Flyers (11) and others in date order. The All-Star Game names the Flyers
// as its home side; one line's date is no date at all.
const char SeasonFile[] = "10/08/2003 19:00,4,11\r\n"
                          "10/09/2003 19:30,11,3\r\n"
                          "10/09/2003 20:00,5,22\r\n"
                          "12/31/2003 19:00,11,4\r\n"
                          "01/01/2004 13:00,22,11\r\n"
                          "not a date,7,8\r\n"
                          "01/10/2004 19:00,12,4\r\n"
                          "02/08/2004 15:00,-1,11\r\n"
                          "02/29/2004 19:00,11,25\r\n"
                          "03/01/2004 19:30,25,11\r\n"
                          "04/04/2004 15:00,4,11\r\n";

// The Flyers' block with numbers in an order that text and numbers sort differently, a
// player whose line stops after the name, and one player listed after a higher team.
const char RosterFile[] = "3,9,Able Ames,C,6-0,190\r\n"
                          "11,10,Zed Zorn,D,6-2,200\r\n"
                          "11,1,Mo Mark,G,6-1,180\r\n"
                          "11,9,Carl Cole,LW,5-11,185\r\n"
                          "11,22,Short Line\r\n"
                          "12,5,Other Team,C,6-0,190\r\n"
                          "11,77,Late Player,C,6-0,190\r\n";

Files Fixture() {
    Files files;
    files.season = SeasonFile;
    files.roster = RosterFile;
    return files;
}

const std::vector<std::string> Zorn = {"10", "Zed Zorn", "D", "6-2", "200"};
const std::vector<std::string> Mark = {"1", "Mo Mark", "G", "6-1", "180"};
const std::vector<std::string> Cole = {"9", "Carl Cole", "LW", "5-11", "185"};
const std::vector<std::string> Short = {"22", "Short Line", "", "", ""};

const Rows NoGames = {{"No games scheduled.", ""}};

std::string DayText(Program& program) {
    std::string text;
    program.OnUi([&] { text = viewstest::Utf8(CurrentDayText); });
    return text;
}

double Day(WORD year, WORD month, WORD day) {
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    double result = 0;
    SystemTimeToVariantTime(&date, &result);
    return result;
}

} // namespace

// ---- Team schedule --------------------------------------------------------------------

TEST(TeamSchedule, ListsEachGameOnceFromTheTeamsSideInFileOrder) {
    const Rows flyers = {{"10/08", " vs Bruins", "7:00p"},  {"10/09", " @ Blues", "7:30p"},
                         {"12/31", " @ Bruins", "7:00p"},   {"01/01", " vs Rangers", "1:00p"},
                         {"02/29", " @ Senators", "7:00p"}, {"03/01", " vs Senators", "7:30p"},
                         {"04/04", " vs Bruins", "3:00p"}};
    struct Case {
        int team;
        Rows rows;
    };
    const Case cases[] = {
        {4,
         {{"10/08", " @ Flyers", "7:00p"},
          {"12/31", " vs Flyers", "7:00p"},
          {"01/10", " vs Hurricanes", "7:00p"},
          {"04/04", " @ Flyers", "3:00p"}}},
        {29, {}},
        {11, flyers}, // the same team again: the same rows
    };
    Program program(Fixture(), 2004, 1, 10);
    // The favourite team is shown once the start-up chain has run.
    EXPECT_EQ(program.Cells(IDC_TEAM_SCHEDULE_LIST), flyers);
    program.ChooseTab(2);
    for (const Case& c : cases) {
        program.Choose(IDC_TEAM_COMBO, c.team);
        EXPECT_EQ(program.Cells(IDC_TEAM_SCHEDULE_LIST), c.rows) << "team " << c.team;
    }
}

// ---- Roster and its sorting -----------------------------------------------------------

TEST(Roster, ShowsTheTeamsBlockAndStopsAtAHigherTeam) {
    struct Case {
        int team;
        Rows rows;
    };
    const Case cases[] = {
        {11, {Zorn, Mark, Cole, Short}}, // "Late Player" stands after team 12
        {3, {{"9", "Able Ames", "C", "6-0", "190"}}},
        {12, {{"5", "Other Team", "C", "6-0", "190"}}},
        {20, {}},
    };
    Program program(Fixture(), 2004, 1, 10);
    EXPECT_EQ(program.Cells(IDC_ROSTER_LIST), cases[0].rows);
    program.ChooseTab(3);
    for (const Case& c : cases) {
        program.Choose(IDC_ROSTER_TEAM_COMBO, c.team);
        EXPECT_EQ(program.Cells(IDC_ROSTER_LIST), c.rows) << "team " << c.team;
    }
}

TEST(RosterSort, HeaderTapsSortByTextAndReverseOnTheSameColumn) {
    struct Step {
        const char* what;
        int column;
        Rows rows;
    };
    // Whole rows are compared, so the columns are seen to keep their order.
    const Step steps[] = {
        {"# ascending, as text", 0, {Mark, Zorn, Short, Cole}},
        {"# again: descending", 0, {Cole, Short, Zorn, Mark}},
        {"# a third time: ascending", 0, {Mark, Zorn, Short, Cole}},
        {"# descending once more", 0, {Cole, Short, Zorn, Mark}},
        {"another column starts ascending", 1, {Cole, Mark, Short, Zorn}},
        {"Player again: descending", 1, {Zorn, Short, Mark, Cole}},
        {"an empty cell stays, last when ascending", 2, {Zorn, Mark, Cole, Short}},
        {"and first when descending", 2, {Short, Cole, Mark, Zorn}},
    };
    Program program(Fixture(), 2004, 1, 10);
    program.ChooseTab(3);
    for (const Step& step : steps) {
        program.TapColumn(IDC_ROSTER_LIST, step.column);
        EXPECT_EQ(program.Cells(IDC_ROSTER_LIST), step.rows) << step.what;
    }
}

TEST(RosterSort, ANewTeamStartsTheLastColumnAscendingAgain) {
    Program program(Fixture(), 2004, 1, 10);
    program.ChooseTab(3);
    program.TapColumn(IDC_ROSTER_LIST, 0);
    ASSERT_EQ(program.Cells(IDC_ROSTER_LIST), (Rows{Mark, Zorn, Short, Cole}));
    program.Choose(IDC_ROSTER_TEAM_COMBO, 3);
    program.Choose(IDC_ROSTER_TEAM_COMBO, 11);
    EXPECT_EQ(program.Cells(IDC_ROSTER_LIST), (Rows{Zorn, Mark, Cole, Short}));
    program.TapColumn(IDC_ROSTER_LIST, 0);
    EXPECT_EQ(program.Cells(IDC_ROSTER_LIST), (Rows{Mark, Zorn, Short, Cole}));
}

TEST(RosterSort, AnEmptyViewStaysEmpty) {
    Program program(Fixture(), 2004, 1, 10);
    program.ChooseTab(3);
    program.Choose(IDC_ROSTER_TEAM_COMBO, 20);
    program.TapColumn(IDC_ROSTER_LIST, 1);
    EXPECT_EQ(program.Cells(IDC_ROSTER_LIST), Rows{});
}

// ---- Today ----------------------------------------------------------------------------

TEST(Today, ListsTheGamesOfTheDayReachedByTheDayButtons) {
    struct Case {
        const char* what;
        WORD year, month, day;
        int taps; // negative: "<", positive: ">"
        const char* label;
        Rows rows;
    };
    const Case cases[] = {
        {"before the first game", 2003, 10, 1, 0, "10/01/2003", NoGames},
        {"two games in file order",
         2003,
         10,
         9,
         0,
         "10/09/2003",
         {{"Flyers @ Blues", "7:30p"}, {"Canadiens @ Rangers", "8:00p"}}},
        {"after a line whose date is no date",
         2004,
         1,
         10,
         0,
         "01/10/2004",
         {{"Hurricanes @ Bruins", "7:00p"}}},
        {"the All-Star Game", 2004, 2, 8, 0, "02/08/2004", {{"All-Star Game @ Flyers", "3:00p"}}},
        {"< from 1 March 2004 is the leap day",
         2004,
         3,
         1,
         -1,
         "02/29/2004",
         {{"Flyers @ Senators", "7:00p"}}},
        {"> from 31 December 2003", 2003, 12, 31, 1, "01/01/2004", {{"Rangers @ Flyers", "1:00p"}}},
        {"after the last game", 2004, 6, 1, 0, "06/01/2004", NoGames},
        {"a thousand days back", 2004, 1, 10, -1000, "04/15/2001", NoGames},
    };
    for (const Case& c : cases) {
        Program program(Fixture(), c.year, c.month, c.day);
        for (int i = 0; i < c.taps; i++) {
            program.Command(IDC_NEXT_DAY);
        }
        for (int i = 0; i > c.taps; i--) {
            program.Command(IDC_PREV_DAY);
        }
        EXPECT_EQ(DayText(program), c.label) << c.what;
        EXPECT_EQ(program.Cells(IDC_TODAY_LIST), c.rows) << c.what;
        double day = 0;
        program.OnUi([&] { day = CurrentDay; });
        EXPECT_EQ(day, Day(c.year, c.month, c.day) + c.taps) << c.what;
    }
}

TEST(Today, DateLabelHidesItselfOnOtherTabs) {
    Program program(Fixture(), 2004, 1, 10);
    HWND label = nullptr;
    program.OnUi([&] { label = GetDlgItem(MainDialog, IDC_DATE_LABEL); });
    auto visible = [&] {
        BOOL shown = FALSE;
        program.OnUi([&] { shown = IsWindowVisible(label); });
        return shown;
    };
    program.ChooseTab(1);
    EXPECT_TRUE(visible());
    program.ChooseTab(2);
    EXPECT_FALSE(visible());
    // Shown by anything else while another tab is current, it hides itself as it paints.
    program.OnUi([&] {
        ShowWindow(label, SW_SHOW);
        UpdateWindow(label);
    });
    EXPECT_FALSE(visible());
    program.ChooseTab(1);
    EXPECT_TRUE(visible());
}

TEST(Today, DateLabelDrawsOrangeAndPaintingAddsNoDrawingObjects) {
    Program program(Fixture(), 2004, 1, 10);
    program.ChooseTab(1);
    DWORD before = 0, after = 0;
    int orange = 0;
    program.OnUi([&] {
        HWND label = GetDlgItem(MainDialog, IDC_DATE_LABEL);
        InvalidateRect(label, nullptr, TRUE);
        UpdateWindow(label);
        before = GetGuiResources(0, GR_GDIOBJECTS);
        for (int i = 0; i < 1000; i++) {
            InvalidateRect(label, nullptr, TRUE);
            UpdateWindow(label);
        }
        after = GetGuiResources(0, GR_GDIOBJECTS);
        RECT box = {};
        GetWindowRect(label, &box);
        Surface* screen = ScreenSurface();
        const uint32_t* pixels = SurfacePixels(screen);
        for (int y = box.top; y < box.bottom; y++) {
            for (int x = box.left; x < box.right; x++) {
                uint32_t p = pixels[y * SurfaceWidth(screen) + x];
                int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                if (r > 220 && g > 50 && g < 110 && b < 40) {
                    orange++;
                }
            }
        }
    });
    EXPECT_EQ(after, before);
    EXPECT_GT(orange, 10) << "the date is drawn in orange (red 255, green 80, blue 0)";
}

// ---- The calendars --------------------------------------------------------------------

namespace {

// What the month calendar's arrows tell its window: another month is shown.
void ScrollMonth(HWND window, WORD year, WORD month) {
    HWND calendar = GetDlgItem(window, IDC_MONTH_CALENDAR);
    NMSELCHANGE change = {};
    change.nmhdr.hwndFrom = calendar;
    change.nmhdr.idFrom = IDC_MONTH_CALENDAR;
    change.nmhdr.code = MCN_SELCHANGE;
    change.stSelStart.wYear = year;
    change.stSelStart.wMonth = month;
    change.stSelStart.wDay = 1;
    change.stSelEnd = change.stSelStart;
    SendMessageW(window, WM_NOTIFY, IDC_MONTH_CALENDAR, (LPARAM)&change);
}

std::string Selection(Program& program, HWND window) {
    SYSTEMTIME date = {};
    program.OnUi(
        [&] { SendDlgItemMessageW(window, IDC_MONTH_CALENDAR, MCM_GETCURSEL, 0, (LPARAM)&date); });
    char text[32];
    std::snprintf(text, sizeof(text), "%02u/%02u/%04u", date.wMonth, date.wDay, date.wYear);
    return text;
}

bool Visible(Program& program, HWND window) {
    BOOL shown = FALSE;
    program.OnUi([&] { shown = IsWindowVisible(window); });
    return shown != FALSE;
}

} // namespace

TEST(CalendarPopup, ShowsTheDayPicksADayAndHidesWhenLeft) {
    Program program(Fixture(), 2004, 1, 10);
    program.ChooseTab(1);
    program.Command(IDC_PREV_DAY);
    program.Command(IDC_CALENDAR_BUTTON);
    HWND popup = nullptr;
    program.OnUi([&] { popup = CalendarPopup; });
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(Visible(program, popup));
    EXPECT_EQ(Selection(program, popup), "01/09/2004") << "it comes up on the Today tab's day";

    // Scrolling to another month changes nothing.
    program.OnUi([&] { ScrollMonth(popup, 2004, 2); });
    EXPECT_EQ(DayText(program), "01/09/2004");
    EXPECT_EQ(program.Cells(IDC_TODAY_LIST), NoGames);
    EXPECT_TRUE(Visible(program, popup));

    // A tapped day becomes the day, and the pop-up goes away.
    program.ChooseDay(popup, 1);
    EXPECT_EQ(DayText(program), "01/01/2004");
    EXPECT_EQ(program.Cells(IDC_TODAY_LIST), (Rows{{"Rangers @ Flyers", "1:00p"}}));
    EXPECT_FALSE(Visible(program, popup));

    // The next "Calendar" brings the same window back, on the day moved since.
    program.Command(IDC_PREV_DAY);
    program.Command(IDC_CALENDAR_BUTTON);
    HWND again = nullptr;
    program.OnUi([&] { again = CalendarPopup; });
    EXPECT_EQ(again, popup);
    EXPECT_TRUE(Visible(program, popup));
    EXPECT_EQ(Selection(program, popup), "12/31/2003");

    // Another window becoming active puts it away without a change.
    program.OnUi([&] { SetForegroundWindow(MainDialog); });
    program.Desktop().Idle();
    EXPECT_FALSE(Visible(program, popup));
    EXPECT_EQ(DayText(program), "12/31/2003");
    EXPECT_EQ(program.Cells(IDC_TODAY_LIST), (Rows{{"Flyers @ Bruins", "7:00p"}}));

    // Cancel ends it; the next "Calendar" opens a new one.
    program.OnUi([&] { PostMessageW(popup, WM_COMMAND, IDCANCEL, 0); });
    program.Desktop().Idle();
    program.OnUi([&] { again = CalendarPopup; });
    EXPECT_EQ(again, nullptr);
    program.Command(IDC_CALENDAR_BUTTON);
    program.OnUi([&] { again = CalendarPopup; });
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Selection(program, again), "12/31/2003");
}

TEST(ToolsCalendar, NothingInItChangesTheTodayTab) {
    Program program(Fixture(), 2004, 1, 10);
    program.ChooseTab(1);
    const Rows today = {{"Hurricanes @ Bruins", "7:00p"}};
    ASSERT_EQ(program.Cells(IDC_TODAY_LIST), today);

    program.Command(IDM_CALENDAR);
    HWND calendar = nullptr;
    program.OnUi([&] { calendar = FindWindowW(nullptr, u"TWK Calendar"); });
    ASSERT_NE(calendar, nullptr);
    program.OnUi([&] { ScrollMonth(calendar, 2004, 2); });
    program.ChooseDay(calendar, 8);
    EXPECT_EQ(DayText(program), "01/10/2004");
    EXPECT_EQ(program.Cells(IDC_TODAY_LIST), today);

    // Cancel only puts it away; Tools Calendar shows the same window again.
    program.OnUi([&] { SendMessageW(calendar, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(Visible(program, calendar));
    program.Command(IDM_CALENDAR);
    HWND again = nullptr;
    program.OnUi([&] { again = FindWindowW(nullptr, u"TWK Calendar"); });
    EXPECT_EQ(again, calendar);
    EXPECT_TRUE(Visible(program, calendar));

    // OK ends it.
    program.OnUi([&] { PostMessageW(calendar, WM_COMMAND, IDOK, 0); });
    program.Desktop().Idle();
    program.OnUi([&] { again = FindWindowW(nullptr, u"TWK Calendar"); });
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(DayText(program), "01/10/2004");
    EXPECT_EQ(program.Cells(IDC_TODAY_LIST), today);
}
