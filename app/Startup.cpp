// The program's entry: one running copy only, the controls prepared, the data directory
// found and the season checked, then the main window until it ends.
#include "app/app.h"
#include "platform/shell/shell.h"
#include "platform/user/commctrl.h"
#include "res/resource.h"

HINSTANCE AppInstance = nullptr;

int ActivateWindowByTitle(LPCWSTR title) {
    HWND window = FindWindowW(nullptr, title);
    if (!window) {
        return 0;
    }
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    return 1;
}

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    // A window of this title is a copy that already runs: bring it forward and leave.
    if (ActivateWindowByTitle(u"Tarnwick")) {
        return 0;
    }
    AppInstance = instance;

    SHInitExtraControls();
    InitCommonControls();
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES;
    InitCommonControlsEx(&controls);

    if (!ReadInstallPaths()) {
        MessageBoxW(nullptr,
                    u"Tarnwick does not appear to be installed properly.\n\n"
                    u"Please run install again.",
                    u"Tarnwick", MB_OK | MB_ICONERROR);
        return 0;
    }
    if (!CheckSeasonFile(SeasonPath)) {
        MessageBoxW(nullptr,
                    u"Tarnwick version does not match schedule.\n\n"
                    u"Please install the most current version.",
                    u"Tarnwick", MB_OK | MB_ICONERROR);
        return 0;
    }

    RunTemplate(IDD_MAIN, MainDialogProc);
    return 0;
}

INT_PTR RunTemplate(int id, DLGPROC proc) {
    HRSRC found = FindResourceW(AppInstance, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(AppInstance, found) : nullptr;
    LPCDLGTEMPLATEW dialogTemplate = loaded ? (LPCDLGTEMPLATEW)LockResource(loaded) : nullptr;
    if (!dialogTemplate) {
        return -1;
    }
    return DialogBoxIndirectParamW(AppInstance, dialogTemplate, nullptr, proc, 0);
}
