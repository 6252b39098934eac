// The desktop host: runs the program's WinMain on the UI thread, presents the device's
// screen (an SDL2 window, or nothing with SDL_VIDEODRIVER=offscreen), feeds the stylus,
// keeps one instance across processes and serves automation requests.
//
// Seams for a desktop host (see also the desktop's seams in user.h):
// - DesktopHooks (user.h): Present after each paint round, TitleChanged, CursorChanged,
//   and Wait, which the message loop calls when it has nothing to do. HeadlessDesktop below
//   implements them without a display; a windowed host derives from it, presents the
//   surface, waits on its own events too, and calls ServeIdleRequests from its Wait.
// - RunOnUiThread / WakeUiLoop (user.h): hand work to the UI thread from any thread.
// - StylusDown / StylusMove / StylusUp (user.h): input at screen coordinates.
// - HandleAutomationRequest: one JSON request line in, one reply line out.
#pragma once

#include "platform/user/user.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

typedef int (*WINMAINPROC)(HINSTANCE, HINSTANCE, LPWSTR, int);

// The process entry: makes the module instance over the resources and calls winMain.
int HostMain(int argc, char** argv, WINMAINPROC winMain, const RESOURCEENTRY* resources,
             int resourceCount);

// ---- Automation ---------------------------------------------------------------------------
// Serves one request (a JSON object on one line) on the UI thread. reply receives the reply
// line (no line end) exactly once: at once for most requests; for "idle" once the desktop
// is idle or the time is up, from whichever message loop then runs. Requests that act
// (tap, drag, choose, command, minimize) reply once the action is queued: follow them
// with "idle" to see their effects.
void HandleAutomationRequest(const std::string& jsonLine,
                             std::function<void(const std::string&)> reply);

// A host's Wait calls this first. It answers the idle requests whose condition holds (or
// whose time is up) and, under a ManualClock, moves that clock on to the next due timer.
// Returns true when the loop should look again at once; otherwise *wakeAtMs is the time on
// CurrentClock() by which Wait must return (UINT64_MAX: none).
bool ServeIdleRequests(uint64_t nextTimerDue, uint64_t* wakeAtMs);
// Asks for a reply once the desktop is idle with CurrentClock() at untilMs or later, moving a
// manual clock no further than that (timers due up to then fire in order). Used to step
// through a timer chain.
void RequestClockStep(uint64_t untilMs, std::function<void(const std::string&)> reply);

// ---- Clocks -------------------------------------------------------------------------------
// Time that moves only when told: ui tests advance it instead of sleeping.
class ManualClock : public Clock {
  public:
    // The local date and time at the clock's start (its NowMs() starts at 0).
    explicit ManualClock(const SYSTEMTIME& start);
    uint64_t NowMs() override { return now_.load(); }
    void LocalTime(SYSTEMTIME* out) override;
    void Set(uint64_t ms) { now_.store(ms); }
    void Advance(uint64_t ms) { now_.fetch_add(ms); }

  private:
    std::atomic<uint64_t> now_{0};
    int64_t startSeconds_; // the start as seconds since 1970 in local time
    int startMs_;
};

// ---- The headless desktop -----------------------------------------------------------------
// Hooks without a display: the screen stays in memory; Wait serves idle requests and
// sleeps on the loop's condition variable (a manual clock moves only for idle requests).
class HeadlessDesktop : public DesktopHooks {
  public:
    void Wait(uint64_t dueMs) override;
};

// A desktop for ui tests: a UI thread of its own runs body (a test's dialog, or the
// program's WinMain) under a ManualClock; the test thread talks to it with the automation
// requests. The window system starts over for each TestDesktop; one exists at a time.
class TestDesktop {
  public:
    static SYSTEMTIME DefaultStart(); // 15 January 2004, 12:00
    explicit TestDesktop(std::function<int()> body, const SYSTEMTIME& start = DefaultStart());
    ~TestDesktop(); // ends every loop still running and joins the UI thread
    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    // Sends one request and waits for its reply (a reply of ok:false after 60 s).
    std::string Request(const std::string& jsonLine);
    // The "idle" request: true once nothing is queued, nothing to paint and no timer set
    // (the manual clock is moved to each due timer on the way).
    bool Idle(int timeoutMs = 10000);
    // Moves the manual clock on by ms, firing the timers due up to then in due order, and
    // waits until the desktop is idle at that time.
    void Advance(uint64_t ms);
    // Runs fn on the UI thread and waits for it.
    void RunOnUi(const std::function<void()>& fn);
    ManualClock& Clock() { return clock_; }
    // Whether body has returned, and what it returned.
    bool Finished() const { return finished_.load(); }
    int Result() const { return result_.load(); }

  private:
    ManualClock clock_;
    HeadlessDesktop hooks_;
    std::thread ui_;
    std::atomic<bool> finished_{false};
    std::atomic<bool> stop_{false};
    std::atomic<int> result_{0};
};
