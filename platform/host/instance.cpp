#include "platform/host/instance.h"

#include "platform/host/desktop_socket.h"

#include <nlohmann/json.hpp>

#include <unistd.h>
#include <vector>

namespace desktop {

namespace {

// A running instance busy inside a long handler answers when it is done; past this it
// counts as not answering.
constexpr int kAnswerMs = 10000;

// One request, one reply; a discarded value when there is no usable answer.
nlohmann::json Ask(const std::string& socketPath, const nlohmann::json& request) {
    std::string error;
    int fd = Connect(socketPath, &error);
    if (fd < 0)
        return nlohmann::json::value_t::discarded;
    nlohmann::json reply = nlohmann::json::value_t::discarded;
    std::string line;
    LineReader reader(fd);
    if (WriteAll(fd,
                 request.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n") &&
        reader.Read(&line, 1 << 20, kAnswerMs) == LineReader::kLine)
        reply = nlohmann::json::parse(line, nullptr, false);
    close(fd);
    if (!reply.is_object() || reply.value("ok", false) != true)
        return nlohmann::json::value_t::discarded;
    return reply;
}

} // namespace

HWND FindRemoteWindow(const std::string& socketPath, LPCWSTR title) {
    if (!title)
        return nullptr;
    std::vector<char> utf8(WcsLen(title) * 3 + 1);
    NarrowUtf8(utf8.data(), utf8.size(), title);
    nlohmann::json reply = Ask(socketPath, {{"op", "find"}, {"title", utf8.data()}});
    if (reply.is_discarded() || !reply.contains("hwnd") || !reply["hwnd"].is_number_unsigned())
        return nullptr;
    uint64_t handle = reply["hwnd"].get<uint64_t>();
    if (handle == 0 || handle >= kRemoteWindowBit)
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle) | kRemoteWindowBit);
}

BOOL ActivateRemoteWindow(const std::string& socketPath, HWND hwnd) {
    if (!IsRemoteWindow(hwnd))
        return FALSE;
    uint64_t handle = reinterpret_cast<uintptr_t>(hwnd) & ~kRemoteWindowBit;
    nlohmann::json reply = Ask(socketPath, {{"op", "activate"}, {"window", handle}});
    return reply.is_discarded() ? FALSE : TRUE;
}

} // namespace desktop
