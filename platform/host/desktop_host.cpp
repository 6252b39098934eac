// The desktop of a real run: the SDL window shows the screen and gives the stylus, the
// desktop socket is served on the UI thread, and a second process reaches the windows of
// the running one.
#include "platform/host/desktop.h"

#include "platform/host/host.h"

#include "platform/host/desktop_server.h"
#include "platform/host/desktop_socket.h"
#include "platform/host/instance.h"
#include "platform/host/sdl_desktop.h"

#include <SDL.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

std::string Utf8(LPCWSTR text) {
    if (!text)
        return {};
    std::vector<char> out(WcsLen(text) * 3 + 1);
    NarrowUtf8(out.data(), out.size(), text);
    return out.data();
}

bool IsDialog(HWND hwnd) {
    WCHAR name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return WcsCmp(name, u"Dialog") == 0;
}

// A message box is a dialog holding nothing but its text and its OK button.
bool IsMessageBox(HWND hwnd) {
    if (!IsDialog(hwnd))
        return false;
    int children = 0;
    bool ok = false;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ++children;
        WCHAR text[8] = {};
        GetWindowTextW(c, text, 8);
        ok = ok || (GetDlgCtrlID(c) == IDOK && WcsCmp(text, u"OK") == 0);
    }
    return children == 2 && ok;
}

// The user quits: the first dialog the program opened (the oldest window, handles grow)
// gets Cancel as if its Cancel had been picked, so the program's own clean-up runs and
// ends its other dialogs; message boxes, which nothing else would end, are closed too.
void QuitProgram() {
    HWND first = nullptr;
    std::vector<HWND> boxes;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsMessageBox(w))
            boxes.push_back(w);
        else if (IsDialog(w) &&
                 (!first || reinterpret_cast<uintptr_t>(w) < reinterpret_cast<uintptr_t>(first)))
            first = w;
    }
    for (HWND box : boxes)
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    if (first)
        PostMessageW(first, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    if (!first && boxes.empty())
        AbortModalLoops();
    WakeUiLoop();
}

struct Desktop;
Desktop* TheDesktop = nullptr;

struct Desktop : HeadlessDesktop, desktop::DesktopEvents {
    desktop::SdlDesktop window;
    desktop::Server server;
    std::string socketPath;
    bool windowFailed = false;
    bool quitAsked = false;
    Surface* lastScreen = nullptr;
    std::string title = "Tarnwick";
    bool waitCursor = false;

    // The window opens with the first paint, so a second start that only hands over to
    // the running copy never flashes a window of its own.
    bool EnsureWindow() {
        if (window.IsOpen() || windowFailed)
            return window.IsOpen();
        std::string error;
        int scale = desktop::DesktopScale();
        if (!window.Open(kScreenWidth, kScreenHeight, scale, &error)) {
            // No display to show it on: go on without one, as the offscreen driver does.
            std::fprintf(stderr, "tarnwick: no desktop window (%s); running offscreen\n",
                         error.c_str());
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
            if (!window.Open(kScreenWidth, kScreenHeight, scale, &error)) {
                windowFailed = true;
                return false;
            }
        }
        window.SetTitle(title);
        window.SetWaitCursor(waitCursor);
        return true;
    }

    // DesktopHooks
    void Present(Surface* screen) override {
        lastScreen = screen;
        if (screen && EnsureWindow())
            window.Present(SurfacePixels(screen), SurfaceWidth(screen), SurfaceHeight(screen));
    }
    void TitleChanged(LPCWSTR text) override {
        title = text && *text ? Utf8(text) : "Tarnwick";
        window.SetTitle(title);
    }
    void CursorChanged(BOOL wait) override {
        waitCursor = wait != FALSE;
        window.SetWaitCursor(waitCursor);
    }
    void Wait(uint64_t dueMs) override {
        // Without a display only the window system's own wake-ups can end a wait.
        if (!window.WaitsForInput()) {
            HeadlessDesktop::Wait(dueMs);
            return;
        }
        uint64_t wakeAt = UINT64_MAX;
        if (ServeIdleRequests(dueMs, &wakeAt))
            return;
        uint64_t until = std::min(dueMs, wakeAt);
        int timeoutMs = -1;
        if (until != UINT64_MAX) {
            uint64_t now = CurrentClock()->NowMs();
            timeoutMs =
                until <= now ? 0 : static_cast<int>(std::min<uint64_t>(until - now, 1 << 30));
        }
        window.Wait(timeoutMs, this);
    }

    // DesktopEvents
    void StylusDown(int x, int y) override { ::StylusDown(x, y); }
    void StylusMove(int x, int y) override { ::StylusMove(x, y); }
    void StylusUp(int x, int y) override { ::StylusUp(x, y); }
    void CloseRequested() override { Quit(); }
    void Exposed() override { Present(lastScreen); }

    // The user closed the desktop window: the program's first dialog is cancelled as its
    // Cancel would be, so its own clean-up runs, and a message box in the way is closed.
    // Closing once more ends every modal loop at once.
    void Quit() {
        if (quitAsked) {
            AbortModalLoops();
            WakeUiLoop();
            return;
        }
        quitAsked = true;
        QuitProgram();
    }

    // UI thread: answers what the socket's helper threads have read.
    void ServeRequests() {
        server.RunPending([](const std::string& line, desktop::Reply reply) {
            nlohmann::json request = nlohmann::json::parse(line, nullptr, false);
            bool activate =
                request.is_object() && request.contains("op") && request["op"] == "activate";
            HandleAutomationRequest(line, [activate, reply](const std::string& answer) {
                // A window made foreground from outside is the user switching to the
                // program: the desktop window comes to the front too.
                if (activate && TheDesktop) {
                    nlohmann::json r = nlohmann::json::parse(answer, nullptr, false);
                    if (r.is_object() && r.value("ok", false) == true)
                        TheDesktop->window.Raise();
                }
                reply(answer);
            });
        });
    }
};

// What a second process sees of the running one.
struct RunningInstance : RemoteWindowHooks {
    std::string socketPath;
    HWND Find(LPCWSTR title) override { return desktop::FindRemoteWindow(socketPath, title); }
    BOOL Show(HWND hwnd, int cmd) override {
        // Showing brings the window to the front there, as it does here; hiding another
        // program's window is not ours to do.
        if (cmd == SW_HIDE || cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED)
            return FALSE;
        return desktop::ActivateRemoteWindow(socketPath, hwnd);
    }
    BOOL SetForeground(HWND hwnd) override {
        return desktop::ActivateRemoteWindow(socketPath, hwnd);
    }
};
RunningInstance* TheRunningInstance = nullptr;

} // namespace

void OpenDesktop() {
    if (TheDesktop)
        return;
    TheDesktop = new Desktop;
    Desktop& d = *TheDesktop;
    d.socketPath = desktop::SocketPath();
    std::string error;
    switch (d.server.Open(d.socketPath, &error)) {
        case desktop::OpenResult::kListening:
            d.server.Start([] {
                RunOnUiThread([] {
                    if (TheDesktop)
                        TheDesktop->ServeRequests();
                });
                desktop::SdlDesktop::Wake();
            });
            break;
        case desktop::OpenResult::kOtherInstance:
            TheRunningInstance = new RunningInstance;
            TheRunningInstance->socketPath = d.socketPath;
            SetRemoteWindowHooks(TheRunningInstance);
            break;
        case desktop::OpenResult::kFailed:
            // The program works without the socket; only other processes cannot reach it.
            std::fprintf(stderr, "tarnwick: no desktop socket: %s\n", error.c_str());
            break;
    }
    SetDesktopHooks(TheDesktop);
}

void CloseDesktop() {
    if (!TheDesktop)
        return;
    SetDesktopHooks(nullptr);
    SetRemoteWindowHooks(nullptr);
    delete TheRunningInstance;
    TheRunningInstance = nullptr;
    TheDesktop->server.Close();
    TheDesktop->window.Close();
    delete TheDesktop;
    TheDesktop = nullptr;
}
