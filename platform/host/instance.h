// Windows of the running instance, seen from a second process. Such a window's handle
// carries kRemoteWindowBit over the first process' own handle value, so it can never be
// taken for a window of this process.
#pragma once

#include "platform/user/user.h"

#include <string>

namespace desktop {

constexpr uintptr_t kRemoteWindowBit = REMOTE_HWND_BIT;

inline bool IsRemoteWindow(HWND hwnd) {
    return (reinterpret_cast<uintptr_t>(hwnd) & kRemoteWindowBit) != 0;
}

// Asks the process at the socket for the top-level window with that exact title; null
// when it has none or does not answer.
HWND FindRemoteWindow(const std::string& socketPath, LPCWSTR title);

// Shows the remote window and makes it the foreground window there (its desktop window
// comes to the front). FALSE when the process does not answer or has no such window.
BOOL ActivateRemoteWindow(const std::string& socketPath, HWND hwnd);

} // namespace desktop
