// The resources of each area of the program. Every area keeps its own table in its own
// file under res/ and names it here; Resources.cpp joins the tables into the module's one.
#pragma once

#include "platform/user/user.h"

// The main window: template 108, the menu and command bar, the banners and the icon.
extern const RESOURCEENTRY MainWindowResources[];
extern const int MainWindowResourceCount;
// The calendars: templates 138 ("TWK Calendar") and 158 (the Today tab's pop-up).
extern const RESOURCEENTRY CalendarResources[];
extern const int CalendarResourceCount;
// Options and About: templates 137 and 103, the About box's two pictures.
extern const RESOURCEENTRY SettingsResources[];
extern const int SettingsResourceCount;
// The download dialog: template 139 and the pictures 140 to 144.
extern const RESOURCEENTRY DownloadResources[];
extern const int DownloadResourceCount;
