// The desktop socket: one Unix stream socket per user through which a running Tarnwick
// answers other processes (a second start, tarnwick-ctl, tests). Each side writes UTF-8
// JSON objects, one per line; the server answers every request line with one reply line,
// in order. This part holds what both ends need: the path and line-oriented I/O.
#pragma once

#include <cstddef>
#include <string>

namespace desktop {

// The longest request line the server accepts (without its line feed).
constexpr size_t kMaxLine = 64 * 1024;

// $TARNWICK_DESKTOP, else $XDG_RUNTIME_DIR/tarnwick/desktop.sock, else
// /tmp/tarnwick-$UID/desktop.sock.
std::string SocketPath();

// Connects to the socket at path; -1 (and the reason in error) when nobody listens.
int Connect(const std::string& path, std::string* error);

// Writes all of text; false when the peer has gone.
bool WriteAll(int fd, const std::string& text);

// Reads lines from a stream socket, keeping what follows a line for the next call.
struct LineReader {
    enum Result { kLine, kTooLong, kEnd, kTimeout };
    int fd = -1;
    std::string buffer;
    bool discarding = false; // inside a line that was too long, up to its line feed

    explicit LineReader(int f) : fd(f) {}
    // One line without its line feed (and without a carriage return before it).
    // kTooLong when the line exceeds limit bytes: the rest of it is skipped and the next
    // call reads the line after it. timeoutMs < 0 waits for ever.
    Result Read(std::string* line, size_t limit, int timeoutMs);
};

} // namespace desktop
