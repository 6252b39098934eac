// The common-controls library's entry points: they register the control classes. Calling
// them again is harmless; a class already registered stays as it is.
#include "platform/user/controls/common.h"

void InitCommonControls() {
    tw_controls::RegisterListView();
    tw_controls::RegisterTabControl();
    tw_controls::RegisterComboBox();
    tw_controls::RegisterMonthCalendar();
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc) {
    if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX))
        return FALSE;
    InitCommonControls();
    return TRUE;
}
