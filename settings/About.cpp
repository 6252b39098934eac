// The About box and the help viewer, both reached from the Help menu.
#include "app/app.h"
#include "platform/shell/shell.h"
#include "settings/settings.h"

INT_PTR AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG: {
            // The box keeps its size and stays centred; only the input panel is lowered.
            SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, SHIDIF_SIPDOWN};
            SHInitDialog(&info);
            CreateEmptyMenuBar(dialog);
            return TRUE;
        }
        case WM_ACTIVATE:
            // The box goes away by itself as soon as the user turns to another window.
            // Ending it hides it, which makes it inactive too: a box already on its way
            // out keeps the code it was ended with.
            if (LOWORD(wParam) == WA_INACTIVE && IsWindowVisible(dialog))
                EndDialog(dialog, 0);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: EndDialog(dialog, IDOK); return TRUE;
                case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

void ShowHelp() {
    WCHAR commandLine[MAX_PATH];
    WcsCopy(commandLine, MAX_PATH, u"tarnwick.html#Main_Contents");
    // Each choice starts a viewer; one that cannot be started is not reported.
    CreateProcessW(u"PegHelp.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                   nullptr, nullptr);
}
