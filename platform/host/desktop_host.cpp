// The desktop of a real run: the SDL window as the presenter, the desktop socket served on
// the UI thread, and the windows of an already running instance.
#include "platform/host/host.h"

#include "platform/host/desktop_server.h"
#include "platform/host/desktop_socket.h"
#include "platform/host/instance.h"
#include "platform/host/sdl_desktop.h"
#include "platform/user/desktop_hooks.h"

#include <SDL.h>
#include <nlohmann/json.hpp>

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

struct Desktop;
Desktop* TheDesktop = nullptr;

struct Desktop : Presenter, desktop::DesktopEvents {
    desktop::SdlDesktop window;
    desktop::Server server;
    std::string socketPath;
    bool serving = false;
    bool windowFailed = false;
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

    void Present(Surface* screen) override {
        lastScreen = screen;
        if (screen && EnsureWindow())
            window.Present(SurfacePixels(screen), SurfaceWidth(screen), SurfaceHeight(screen));
    }
    void ForegroundTitle(LPCWSTR text) override {
        title = text && *text ? Utf8(text) : "Tarnwick";
        window.SetTitle(title);
    }
    void WaitCursor(bool wait) override {
        waitCursor = wait;
        window.SetWaitCursor(wait);
    }
    void Wait(int timeoutMs) override { window.Wait(timeoutMs, this); }
    void Wake() override { desktop::SdlDesktop::Wake(); }

    void StylusDown(int x, int y) override { ::StylusDown(x, y); }
    void StylusMove(int x, int y) override { ::StylusMove(x, y); }
    void StylusUp(int x, int y) override { ::StylusUp(x, y); }
    void CloseRequested() override { QuitDesktop(); }
    void Exposed() override { Present(lastScreen); }

    // UI thread: answers what the socket's helper threads have read.
    void ServeRequests() {
        server.RunPending([](const std::string& line, desktop::Reply reply) {
            nlohmann::json request = nlohmann::json::parse(line, nullptr, false);
            bool activate =
                request.is_object() && request.contains("op") && request["op"] == "activate";
            HandleAutomationRequest(line, [activate, reply](const std::string& answer) {
                // Making a window foreground from outside is the user switching to us:
                // the desktop window comes to the front too.
                if (activate) {
                    nlohmann::json r = nlohmann::json::parse(answer, nullptr, false);
                    if (r.is_object() && r.value("ok", false) == true && TheDesktop)
                        TheDesktop->window.Raise();
                }
                reply(answer);
            });
        });
    }
};

HWND FindInRunningInstance(LPCWSTR title) {
    return TheDesktop ? desktop::FindRemoteWindow(TheDesktop->socketPath, title) : nullptr;
}

BOOL ActivateInRunningInstance(HWND hwnd) {
    return TheDesktop ? desktop::ActivateRemoteWindow(TheDesktop->socketPath, hwnd) : FALSE;
}

const RemoteWindows kRunningInstance = {FindInRunningInstance, ActivateInRunningInstance};

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
            d.serving = true;
            d.server.Start([] {
                PostUiTask([] {
                    if (TheDesktop)
                        TheDesktop->ServeRequests();
                });
            });
            break;
        case desktop::OpenResult::kOtherInstance: SetRemoteWindows(&kRunningInstance); break;
        case desktop::OpenResult::kFailed:
            // The program works without the socket; only other processes cannot reach it.
            std::fprintf(stderr, "tarnwick: no desktop socket: %s\n", error.c_str());
            break;
    }
    SetPresenter(TheDesktop);
}

void CloseDesktop() {
    if (!TheDesktop)
        return;
    SetPresenter(nullptr);
    SetRemoteWindows(nullptr);
    TheDesktop->server.Close();
    TheDesktop->window.Close();
    delete TheDesktop;
    TheDesktop = nullptr;
}
