// The calendars' resources: the stand-alone "TWK Calendar" (138) and the pop-up under the
// Today tab's "Calendar" button (158).
#include "platform/user/commctrl.h"
#include "res/areas.h"
#include "res/resource.h"

namespace {

// The calendar sits a little to the left of and beyond the window's edges, so that only
// its own modal-frame border shows.
const DLGITEMTEMPLATEW CalendarItems[] = {
    {MONTHCAL_CLASSW, u"", IDC_MONTH_CALENDAR, WS_CHILD | WS_VISIBLE, WS_EX_DLGMODALFRAME, -2, 0,
     103, 90},
};

const DLGTEMPLATEW CalendarTemplate = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT,
    0,
    0,
    0,
    98,
    88,
    u"TWK Calendar",
    8,
    u"MS Sans Serif",
    CalendarItems,
    1,
};

// Placed under the "Calendar" button, whose left edge is at 50 too; not centred.
const DLGTEMPLATEW CalendarPopupTemplate = {
    WS_POPUP | DS_MODALFRAME | DS_SETFONT,
    0,
    50,
    25,
    98,
    88,
    u"",
    8,
    u"MS Sans Serif",
    CalendarItems,
    1,
};

} // namespace

const RESOURCEENTRY CalendarResources[] = {
    {RT_DIALOG, IDD_CALENDAR, &CalendarTemplate},
    {RT_DIALOG, IDD_CALENDAR_POPUP, &CalendarPopupTemplate},
};
const int CalendarResourceCount = 2;
