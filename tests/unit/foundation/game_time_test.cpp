#include "settings/settings.h"
#include "views/views.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(FormatGameTime, ConvertsEasternTimesToTheChosenZone) {
    struct Case {
        LPCWSTR text;
        int zone;
        int offset;
        std::u16string date;
        std::u16string time;
    } cases[] = {
        // The worked examples.
        {u"10/08/2003 19:30", 4, -3, u"10/08", u"4:30p"},
        {u"10/15/2003 19:30", 6, -2, u"10/15", u"4:30p"},
        {u"11/15/2003 19:30", 6, -2, u"11/15", u"5:30p"},
        {u"04/03/2004 13:00", 2, -5, u"04/03", u"8:00a"},
        {u"04/04/2004 13:00", 2, -5, u"04/04", u"7:00a"},
        {u"03/20/2004 19:00", 24, 5, u"03/20", u"12:00a"},
        {u"01/10/2004 22:30", 59, 14, u"01/10", u"12:30p"},
        {u"12/01/2003 19:00", 69, 18, u"12/01", u"1:00p"},
        {u"12/01/2003 12:05", 11, 0, u"12/01", u"12:05p"},
        // The edges of the daylight-saving window, in the three zones that keep their clocks.
        {u"10/25/2003 19:30", 6, -2, u"10/25", u"4:30p"},
        {u"10/26/2003 19:30", 6, -2, u"10/26", u"5:30p"},
        {u"03/31/2004 19:00", 12, 0, u"03/31", u"7:00p"},
        {u"05/01/2004 19:00", 12, 0, u"05/01", u"6:00p"},
        {u"09/30/2003 19:00", 2, -5, u"09/30", u"1:00p"},
        {u"11/01/2003 19:00", 2, -5, u"11/01", u"2:00p"},
        // Every other zone moves by its offset alone, all year.
        {u"07/01/2004 19:00", 13, 0, u"07/01", u"7:00p"},
        {u"10/08/2003 19:00", 4, -3, u"10/08", u"4:00p"},
        {u"01/08/2004 19:00", 4, -3, u"01/08", u"4:00p"},
        // The wrap, noon, midnight; the date stays Eastern; the minute passes through.
        {u"01/10/2004 20:00", 24, 5, u"01/10", u"1:00a"},
        {u"12/01/2003 23:00", 69, 18, u"12/01", u"5:00p"},
        {u"12/01/2003 12:00", 11, 0, u"12/01", u"12:00p"},
        {u"12/01/2003 00:00", 11, 0, u"12/01", u"12:00a"},
        {u"12/01/2003 11:59", 11, 0, u"12/01", u"11:59a"},
        {u"12/01/2003 19:05", 59, 14, u"12/01", u"9:05a"},
        {u"12/01/2003 19:05", 2, -5, u"12/01", u"2:05p"},
        // West of Eastern time an early game falls on the evening before.
        {u"12/01/2003 06:59", 0, -7, u"12/01", u"11:59p"},
        {u"12/01/2003 00:30", 0, -7, u"12/01", u"5:30p"},
        {u"07/01/2004 03:00", 2, -5, u"07/01", u"9:00p"},
        // Texts the schedule never holds still give some time and never fail.
        {u"12/01/2003 25:00", 11, 0, u"12/01", u"1:00a"},
        {u"12/01/2003 19:75", 11, 0, u"12/01", u"7:15p"},
        {u"12/01/2003 19:00", 99, 1000, u"12/01", u"11:00a"},
        {u"12/01/2003 19:00", -1, INT_MIN, u"12/01", u"11:00a"},
        {u"12/01/2003 19:00", 11, INT_MAX, u"12/01", u"2:00a"},
        {u"00/08/2003 19:00", 11, 0, u"", u"7:00p"},
        {u"02/30/2004 19:00", 11, 0, u"", u"7:00p"},
        {u"12/01/2003", 11, 0, u"12/01", u"12:00a"},
        {u"Date", 11, 0, u"", u"12:00a"},
        {u"", 11, 0, u"", u"12:00a"},
        {nullptr, 11, 0, u"", u"12:00a"},
    };
    for (const Case& c : cases) {
        HourOffset = c.offset;
        ZoneIndex = c.zone;
        FormatGameTime(c.text);
        std::string label = c.text ? std::string(c.text, c.text + WcsLen(c.text)) : "(null)";
        EXPECT_EQ(std::u16string(GameDateText), c.date) << label << " zone " << c.zone;
        EXPECT_EQ(std::u16string(GameTimeText), c.time) << label << " zone " << c.zone;
    }
    HourOffset = 0;
    ZoneIndex = 11;
}

} // namespace
