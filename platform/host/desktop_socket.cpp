#include "platform/host/desktop_socket.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace desktop {

std::string SocketPath() {
    const char* explicitPath = std::getenv("TARNWICK_DESKTOP");
    if (explicitPath && *explicitPath)
        return explicitPath;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/tarnwick/desktop.sock";
    return "/tmp/tarnwick-" + std::to_string(getuid()) + "/desktop.sock";
}

int Connect(const std::string& path, std::string* error) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        *error = "socket path too long: " + path;
        return -1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        *error = "cannot connect to " + path + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

LineReader::Result LineReader::Read(std::string* line, size_t limit, int timeoutMs) {
    for (;;) {
        size_t end = buffer.find('\n');
        if (end != std::string::npos) {
            bool tooLong = discarding || end > limit;
            if (!tooLong) {
                line->assign(buffer, 0, end);
                if (!line->empty() && line->back() == '\r')
                    line->pop_back();
            }
            buffer.erase(0, end + 1);
            discarding = false;
            return tooLong ? kTooLong : kLine;
        }
        // No line feed yet: a line already past the limit is dropped as it arrives so
        // that a client cannot make us hold more than one limit's worth of it.
        if (buffer.size() > limit) {
            discarding = true;
            buffer.clear();
        }
        pollfd p{fd, POLLIN, 0};
        int ready = poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return kTimeout;
        if (ready < 0)
            return kEnd;
        char chunk[8192];
        ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return kEnd;
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

} // namespace desktop
