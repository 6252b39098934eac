// Files, the last error, memory, sleeping and the clock.
#include "platform/base/base.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <sched.h>
#include <string>

static thread_local DWORD lastError = ERROR_SUCCESS;

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD code) {
    lastError = code;
}

DWORD ErrorFromErrno(int err) {
    switch (err) {
        case 0: return ERROR_SUCCESS;
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST: return ERROR_ACCESS_DENIED;
        case EBADF: return ERROR_INVALID_HANDLE;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        case ENOSPC:
        case EFBIG:
        case EDQUOT: return ERROR_WRITE_FAULT;
        case EIO: return ERROR_READ_FAULT;
        case EAGAIN:
        case EDEADLK: return ERROR_LOCK_VIOLATION;
        default: return ERROR_INVALID_DATA;
    }
}

size_t PathToNative(char* dst, size_t cap, LPCWSTR path) {
    size_t n = NarrowUtf8(dst, cap, path);
    if (dst)
        for (size_t i = 0; i < n; ++i)
            if (dst[i] == '\\')
                dst[i] = '/';
    return n;
}

FILE* _wfopen(LPCWSTR path, LPCWSTR mode) {
    static const char* const modes[] = {"r", "w", "rb", "wb", "a", "ab", "r+", "w+"};
    const char* cmode = nullptr;
    if (mode) {
        char m[4] = {};
        size_t len = WcsLen(mode);
        for (size_t i = 0; i < len && i < 3; ++i)
            m[i] = mode[i] < 0x80 ? (char)mode[i] : '?';
        if (len < 4)
            for (const char* known : modes)
                if (strcmp(m, known) == 0)
                    cmode = known;
    }
    if (!path || !cmode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string native(PathToNative(nullptr, 0, path), '\0');
    PathToNative(native.data(), native.size() + 1, path);
    FILE* f = fopen(native.c_str(), cmode);
    if (!f)
        SetLastError(ErrorFromErrno(errno));
    return f;
}

int _heapmin() {
    malloc_trim(0);
    return 0;
}

void Sleep(DWORD ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    timespec ts{(time_t)(ms / 1000), (long)(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

namespace {

struct SystemClockImpl : Clock {
    uint64_t NowMs() override {
        timespec ts;
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return (uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u;
    }
    // The local date and time in the system's time zone.
    void LocalTime(SYSTEMTIME* out) override {
        if (!out)
            return;
        timespec ts;
        clock_gettime(CLOCK_REALTIME, &ts);
        tm local{};
        time_t secs = ts.tv_sec;
        localtime_r(&secs, &local);
        out->wYear = (WORD)(local.tm_year + 1900);
        out->wMonth = (WORD)(local.tm_mon + 1);
        out->wDayOfWeek = (WORD)local.tm_wday;
        out->wDay = (WORD)local.tm_mday;
        out->wHour = (WORD)local.tm_hour;
        out->wMinute = (WORD)local.tm_min;
        out->wSecond = (WORD)(local.tm_sec > 59 ? 59 : local.tm_sec); // leap second
        out->wMilliseconds = (WORD)(ts.tv_nsec / 1000000);
    }
};

SystemClockImpl systemClock;
std::atomic<Clock*> currentClock{&systemClock};

} // namespace

Clock* SystemClock() {
    return &systemClock;
}
Clock* CurrentClock() {
    return currentClock.load();
}
void SetClock(Clock* clock) {
    currentClock.store(clock ? clock : &systemClock);
}
