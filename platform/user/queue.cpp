// Messages: sending, the posted queue, input and tasks from other threads, timers, and the
// one routine every message loop turns (PumpOne).
#include "platform/user/internal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tw_user {

// What other threads hand to the UI thread: tasks and stylus input, in order.
struct External {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<QueueItem> items;
    bool woken = false;
};
static External& Ext() {
    static External* e = new External;
    return *e;
}

static std::thread::id gUiThread;
static bool gUiThreadSet = false;

bool IsOnUiThread() {
    return !gUiThreadSet || std::this_thread::get_id() == gUiThread;
}

static DesktopHooks gDefaultHooks;
static DesktopHooks* gHooks = nullptr;

static void DrainExternal() {
    std::deque<QueueItem> items;
    {
        std::lock_guard<std::mutex> lock(Ext().mutex);
        items.swap(Ext().items);
        Ext().woken = false;
    }
    for (auto& it : items)
        S().posted.push_back(std::move(it));
}

static void PushExternal(QueueItem item) {
    {
        std::lock_guard<std::mutex> lock(Ext().mutex);
        Ext().items.push_back(std::move(item));
        Ext().woken = true;
    }
    Ext().wake.notify_all();
}

void RemoveTimersOf(HWND hwnd) {
    auto& t = S().timers;
    t.erase(std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd; }),
            t.end());
}

static Timer* DueTimer(uint64_t now) {
    Timer* best = nullptr;
    for (auto& t : S().timers)
        if (t.due <= now &&
            (!best || t.due < best->due || (t.due == best->due && t.seq < best->seq)))
            best = &t;
    return best;
}

bool PumpOne(MSG* msg, const std::function<bool()>& onIdle) {
    *msg = MSG{};
    DrainExternal();
    auto& s = S();
    while (!s.posted.empty()) {
        QueueItem item = std::move(s.posted.front());
        s.posted.pop_front();
        if (item.kind == QueueItem::Task) {
            if (item.task)
                item.task();
            return true; // the caller looks at its own state again
        }
        if (item.kind == QueueItem::Stylus) {
            if (TranslateStylus(item, msg))
                return true;
            *msg = MSG{};
            return true;
        }
        if (item.msg.hwnd && !Get(item.msg.hwnd))
            continue; // its window is gone
        *msg = item.msg;
        return true;
    }
    if (HasDirty()) {
        PaintRound();
        return true;
    }
    uint64_t now = CurrentClock()->NowMs();
    if (Timer* t = DueTimer(now)) {
        t->due = now + t->elapse;
        t->seq = ++s.timerSeq;
        msg->hwnd = t->hwnd;
        msg->message = WM_TIMER;
        msg->wParam = t->id;
        msg->lParam = reinterpret_cast<LPARAM>(t->proc);
        msg->time = DWORD(now);
        return true;
    }
    if (onIdle && onIdle())
        return true;
    GetDesktopHooks()->Wait(NextTimerDue());
    return true;
}

} // namespace tw_user

using namespace tw_user;

void DesktopHooks::Wait(uint64_t dueMs) {
    auto& e = Ext();
    std::unique_lock<std::mutex> lock(e.mutex);
    if (e.woken || !e.items.empty())
        return;
    if (dueMs == UINT64_MAX) {
        e.wake.wait(lock, [&] { return e.woken || !e.items.empty(); });
        return;
    }
    uint64_t now = CurrentClock()->NowMs();
    if (dueMs <= now)
        return;
    e.wake.wait_for(lock, std::chrono::milliseconds(dueMs - now),
                    [&] { return e.woken || !e.items.empty(); });
}

void SetDesktopHooks(DesktopHooks* hooks) {
    gHooks = hooks;
}
DesktopHooks* GetDesktopHooks() {
    return gHooks ? gHooks : &gDefaultHooks;
}

void SetUiThread() {
    if (gUiThreadSet && gUiThread == std::this_thread::get_id())
        return;
    if (!gUiThreadSet || S().windows.empty()) {
        gUiThread = std::this_thread::get_id();
        gUiThreadSet = true;
    }
}

void RunOnUiThread(std::function<void()> task) {
    QueueItem item;
    item.kind = QueueItem::Task;
    item.task = std::move(task);
    PushExternal(std::move(item));
}

void WakeUiLoop() {
    {
        std::lock_guard<std::mutex> lock(Ext().mutex);
        Ext().woken = true;
    }
    Ext().wake.notify_all();
}

static void PushStylus(int action, int x, int y) {
    QueueItem item;
    item.kind = QueueItem::Stylus;
    item.stylusAction = action;
    item.x = x;
    item.y = y;
    PushExternal(std::move(item));
}
void StylusDown(int x, int y) {
    PushStylus(0, x, y);
}
void StylusMove(int x, int y) {
    PushStylus(1, x, y);
}
void StylusUp(int x, int y) {
    PushStylus(2, x, y);
}

BOOL IsQueueIdle() {
    {
        std::lock_guard<std::mutex> lock(Ext().mutex);
        if (!Ext().items.empty())
            return FALSE;
    }
    return S().posted.empty() && !HasDirty();
}

uint64_t NextTimerDue() {
    uint64_t best = UINT64_MAX;
    for (auto& t : S().timers)
        best = std::min(best, t.due);
    return best;
}

// ---- Sending and posting ---------------------------------------------------------------

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowPtr w = Get(hwnd); // the window outlives the call even if it is destroyed inside
    if (!w || !w->proc)
        return 0;
    return w->proc(hwnd, msg, wp, lp);
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wp, LPARAM lp) {
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return 0;
    return SendMessageW(item, msg, wp, lp);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc)
        return 0;
    return proc(hwnd, msg, wp, lp);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd && !Get(hwnd))
        return FALSE;
    QueueItem item;
    item.msg.hwnd = hwnd;
    item.msg.message = msg;
    item.msg.wParam = wp;
    item.msg.lParam = lp;
    item.msg.time = DWORD(CurrentClock()->NowMs());
    if (IsOnUiThread()) {
        S().posted.push_back(std::move(item));
    } else {
        PushExternal(std::move(item));
    }
    return TRUE;
}

void PostQuitMessage(int code) {
    S().quit = true;
    S().quitCode = code;
    PostMessageW(nullptr, WM_QUIT, WPARAM(code), 0);
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT min, UINT max) {
    (void)hwnd;
    (void)min;
    (void)max;
    if (!msg)
        return FALSE;
    for (;;) {
        PumpOne(msg, nullptr);
        if (msg->message == WM_QUIT)
            return FALSE;
        if (msg->message != WM_NULL || msg->hwnd)
            return TRUE;
    }
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove) {
    (void)hwnd;
    (void)min;
    (void)max;
    if (!msg)
        return FALSE;
    DrainExternal();
    auto& s = S();
    // Internal work (tasks, input, painting) is done on the way, as the real loop would.
    for (int guard = 0; guard < 64; ++guard) {
        if (s.posted.empty() && !HasDirty()) {
            uint64_t now = CurrentClock()->NowMs();
            if (!DueTimer(now))
                return FALSE;
        }
        if (!s.posted.empty() && s.posted.front().kind == QueueItem::Message &&
            !(remove & PM_REMOVE)) {
            *msg = s.posted.front().msg;
            return TRUE;
        }
        PumpOne(msg, [] { return true; });
        if (msg->message != WM_NULL || msg->hwnd) {
            if (!(remove & PM_REMOVE)) {
                QueueItem back;
                back.msg = *msg;
                s.posted.push_front(back);
            }
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) {
        if (msg && msg->message == WM_TIMER && msg->lParam)
            reinterpret_cast<TIMERPROC>(msg->lParam)(nullptr, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// ---- Timers ------------------------------------------------------------------------------

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    if (hwnd && !Get(hwnd))
        return 0;
    auto& s = S();
    if (!hwnd)
        id = s.nextTimerId++;
    uint64_t now = CurrentClock()->NowMs();
    for (auto& t : s.timers)
        if (t.hwnd == hwnd && t.id == id) {
            t.elapse = elapseMs;
            t.proc = proc;
            t.due = now + elapseMs;
            t.seq = ++s.timerSeq;
            return hwnd ? 1 : id;
        }
    s.timers.push_back(Timer{hwnd, id, elapseMs, proc, now + elapseMs, ++s.timerSeq});
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& t = S().timers;
    auto it = std::find_if(t.begin(), t.end(),
                           [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
    if (it == t.end())
        return FALSE;
    t.erase(it);
    return TRUE;
}
