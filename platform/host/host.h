// The desktop host: runs the program's WinMain on the UI thread, presents the device's
// screen (an SDL2 window, or nothing with SDL_VIDEODRIVER=offscreen), feeds the stylus,
// keeps one instance across processes and serves automation requests.
#pragma once

#include "platform/user/user.h"

typedef int (*WINMAINPROC)(HINSTANCE, HINSTANCE, LPWSTR, int);

// The process entry: makes the module instance over the resources and calls winMain.
int HostMain(int argc, char** argv, WINMAINPROC winMain, const RESOURCEENTRY* resources,
             int resourceCount);
