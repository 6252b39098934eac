// The headless desktop: the process entry without a display, and the desktop of ui tests.
#include "platform/host/host.h"
#include "platform/host/desktop.h"

#include <chrono>
#include <future>

void HeadlessDesktop::Wait(uint64_t dueMs) {
    uint64_t wakeAt = UINT64_MAX;
    if (ServeIdleRequests(dueMs, &wakeAt))
        return;
    // A manual clock moves only when asked to: until then the loop waits for work.
    if (dynamic_cast<ManualClock*>(CurrentClock())) {
        DesktopHooks::Wait(UINT64_MAX);
        return;
    }
    DesktopHooks::Wait(std::min(dueMs, wakeAt));
}

int HostMain(int argc, char** argv, WINMAINPROC winMain, const RESOURCEENTRY* resources,
             int resourceCount) {
    (void)argc;
    (void)argv;
    if (!winMain)
        return 1;
    HINSTANCE instance = CreateModuleInstance(resources, resourceCount);
    SetUiThread();
    static HeadlessDesktop headless;
    SetDesktopHooks(&headless);
    OpenDesktop(); // the desktop window and socket take over from the headless hooks
    WCHAR commandLine[1] = {0};
    int rc = winMain(instance, nullptr, commandLine, SW_SHOW);
    CloseDesktop();
    SetDesktopHooks(nullptr);
    return rc;
}

SYSTEMTIME TestDesktop::DefaultStart() {
    SYSTEMTIME st{};
    st.wYear = 2004;
    st.wMonth = 1;
    st.wDay = 15;
    st.wDayOfWeek = 4;
    st.wHour = 12;
    return st;
}

TestDesktop::TestDesktop(std::function<int()> body, const SYSTEMTIME& start) : clock_(start) {
    std::promise<void> started;
    auto ready = started.get_future();
    ui_ = std::thread([this, body = std::move(body), &started] {
        ResetWindowSystem();
        SetUiThread();
        SetClock(&clock_);
        SetDesktopHooks(&hooks_);
        started.set_value();
        int r = body ? body() : 0;
        result_.store(r);
        finished_.store(true);
        // Requests are still answered after body has returned, until the desktop ends.
        while (!stop_.load()) {
            MSG m;
            if (GetMessageW(&m, nullptr, 0, 0))
                DispatchMessageW(&m);
        }
        ResetWindowSystem();
        SetDesktopHooks(nullptr);
        SetClock(nullptr);
    });
    ready.wait();
}

TestDesktop::~TestDesktop() {
    stop_.store(true);
    RunOnUiThread([] {
        AbortModalLoops();
        PostQuitMessage(0);
    });
    if (ui_.joinable())
        ui_.join();
}

std::string TestDesktop::Request(const std::string& jsonLine) {
    auto promise = std::make_shared<std::promise<std::string>>();
    auto reply = promise->get_future();
    RunOnUiThread([promise, jsonLine] {
        HandleAutomationRequest(jsonLine,
                                [promise](const std::string& r) { promise->set_value(r); });
    });
    if (reply.wait_for(std::chrono::seconds(60)) != std::future_status::ready)
        return R"({"ok":false,"error":"no reply within 60 s"})";
    return reply.get();
}

bool TestDesktop::Idle(int timeoutMs) {
    std::string r = Request("{\"op\":\"idle\",\"timeout_ms\":" + std::to_string(timeoutMs) + "}");
    return r.rfind("{\"ok\":true", 0) == 0;
}

void TestDesktop::Advance(uint64_t ms) {
    auto promise = std::make_shared<std::promise<std::string>>();
    auto reply = promise->get_future();
    RunOnUiThread([this, promise, ms] {
        RequestClockStep(clock_.NowMs() + ms,
                         [promise](const std::string& r) { promise->set_value(r); });
    });
    reply.wait_for(std::chrono::seconds(60));
}

void TestDesktop::RunOnUi(const std::function<void()>& fn) {
    auto promise = std::make_shared<std::promise<void>>();
    auto done = promise->get_future();
    RunOnUiThread([promise, &fn] {
        fn();
        promise->set_value();
    });
    done.wait();
}
