// How the desktop (platform/host) plugs into the window system. The window system calls
// the presenter and the remote-window hooks; the desktop calls the entry points below.
// Nothing is installed in ui tests unless the test harness installs it.
#pragma once

#include "platform/user/user.h"

#include <functional>
#include <string>

// What shows the screen and waits for input. Every call comes on the UI thread, except
// Wake, which may come from any thread.
struct Presenter {
    virtual ~Presenter() = default;
    // After each paint round: the whole 240 x 320 screen, top bar and command bar included.
    virtual void Present(Surface* screen) = 0;
    // The foreground window or its title changed (null or "" when there is none).
    virtual void ForegroundTitle(LPCWSTR title) = 0;
    // SetCursor: true while the wait cursor is set, false when it is cleared.
    virtual void WaitCursor(bool wait) = 0;
    // The message loop has nothing queued, no paint pending: wait up to timeoutMs (the
    // next due timer; -1 when no timer is set) for input or a Wake.
    virtual void Wait(int timeoutMs) = 0;
    // Ends a Wait in progress (or the next one) at once.
    virtual void Wake() = 0;
};
void SetPresenter(Presenter* presenter); // null: none

// Any thread: runs task on the UI thread from the message loop, soon, waking the loop.
void PostUiTask(std::function<void()> task);

// The stylus, at screen coordinates (UI thread), as the desktop window's mouse gives it.
void StylusDown(int x, int y);
void StylusMove(int x, int y);
void StylusUp(int x, int y);

// The user closed the desktop window: the first dialog the process opened gets
// WM_COMMAND IDCANCEL and an open message box is ended, so every modal loop returns.
void QuitDesktop();

// One automation request line (UTF-8 JSON); reply is called once with the reply line, on
// the UI thread, possibly after this returns (an idle request).
void HandleAutomationRequest(const std::string& line,
                             std::function<void(const std::string& replyLine)> reply);

// Windows of another process (the running instance). Their handles have
// REMOTE_WINDOW_BIT set; FindWindowW asks find when no window of this process has the
// title, ShowWindow and SetForegroundWindow hand such a handle to activate.
#define REMOTE_WINDOW_BIT (uintptr_t(1) << 62)
struct RemoteWindows {
    HWND (*find)(LPCWSTR title);
    BOOL (*activate)(HWND hwnd);
};
void SetRemoteWindows(const RemoteWindows* remote); // null: none
