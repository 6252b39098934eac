#include "platform/host/desktop_server.h"

#include "platform/host/desktop_socket.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace desktop {

namespace {

// More clients than this at once are turned away; a handful is all tests and tools use.
constexpr int kMaxConnections = 16;

struct Request {
    std::string line;
    std::string reply;
    bool done = false;
};

std::string Errno(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// The folder holding the socket. Our own default folders must be private: made 0700,
// owned by us and not a symbolic link, so nobody else can put a socket of theirs there.
bool EnsureFolder(const std::string& dir, bool ours, std::string* error) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = Errno(("cannot make " + dir).c_str());
        return false;
    }
    struct stat st {};
    if ((ours ? lstat(dir.c_str(), &st) : stat(dir.c_str(), &st)) != 0) {
        *error = Errno(("cannot read " + dir).c_str());
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = dir + " is not a folder";
        return false;
    }
    if (!ours)
        return true;
    if (st.st_uid != geteuid()) {
        *error = dir + " belongs to another user";
        return false;
    }
    if ((st.st_mode & 0777) != 0700 && chmod(dir.c_str(), 0700) != 0) {
        *error = Errno(("cannot make " + dir + " private").c_str());
        return false;
    }
    return true;
}

} // namespace

std::string ErrorReply(const std::string& text) {
    nlohmann::json reply = {{"ok", false}, {"error", text}};
    return reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

struct ServerState {
    std::string path;
    int listenFd = -1;
    int stopPipe[2] = {-1, -1};
    dev_t dev = 0;
    ino_t ino = 0;
    std::function<void()> wake;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Request>> pending;
    bool closing = false;
    std::thread acceptThread;
    struct Connection {
        int fd;
        std::thread thread;
        bool finished = false;
    };
    std::map<int, Connection> connections; // by a serial number
    int nextSerial = 0;

    void AcceptLoop();
    void Serve(int serial, int fd);
    void ReapFinished(); // joins the threads of connections that have ended (mutex held)
};

void ServerState::ReapFinished() {
    for (auto it = connections.begin(); it != connections.end();) {
        if (it->second.finished) {
            it->second.thread.join();
            close(it->second.fd);
            it = connections.erase(it);
        } else {
            ++it;
        }
    }
}

void ServerState::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ucred peer{};
        socklen_t len = sizeof peer;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &len) != 0 || peer.uid != geteuid()) {
            WriteAll(fd, ErrorReply("refused: the client runs as another user") + "\n");
            close(fd);
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex);
        ReapFinished();
        if (closing) {
            close(fd);
            return;
        }
        if (static_cast<int>(connections.size()) >= kMaxConnections) {
            WriteAll(fd, ErrorReply("refused: too many connections") + "\n");
            close(fd);
            continue;
        }
        int serial = nextSerial++;
        Connection& c = connections[serial];
        c.fd = fd;
        c.thread = std::thread(&ServerState::Serve, this, serial, fd);
    }
}

void ServerState::Serve(int serial, int fd) {
    LineReader reader(fd);
    std::string line;
    for (;;) {
        LineReader::Result got = reader.Read(&line, kMaxLine, -1);
        if (got == LineReader::kEnd || got == LineReader::kTimeout)
            break;
        std::string reply;
        if (got == LineReader::kTooLong) {
            reply = ErrorReply("request line longer than " + std::to_string(kMaxLine) + " bytes");
        } else if (line.find_first_not_of(" \t") == std::string::npos) {
            continue; // a blank line is no request
        } else {
            auto request = std::make_shared<Request>();
            request->line = line;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (closing)
                    break;
                pending.push_back(request);
            }
            if (wake)
                wake();
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return request->done || closing; });
            reply = request->done ? request->reply : ErrorReply("the program is closing");
        }
        if (!WriteAll(fd, reply + "\n"))
            break;
    }
    std::lock_guard<std::mutex> lock(mutex);
    auto self = connections.find(serial);
    if (self != connections.end())
        self->second.finished = true;
}

Server::Server() : state_(std::make_shared<ServerState>()) {}

Server::~Server() {
    Close();
}

OpenResult Server::Open(const std::string& path, std::string* error) {
    ServerState& s = *state_;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        *error = "unusable socket path: " + path;
        return OpenResult::kFailed;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const char* explicitPath = std::getenv("TARNWICK_DESKTOP");
    bool ours = !(explicitPath && *explicitPath);
    if (!EnsureFolder(dir, ours, error))
        return OpenResult::kFailed;

    // Two programs starting at once must not both find the socket stale and both bind:
    // the check and the bind happen under a lock beside the socket.
    std::string lockPath = path + ".lock";
    int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) {
        *error = Errno(("cannot open " + lockPath).c_str());
        return OpenResult::kFailed;
    }
    flock(lockFd, LOCK_EX);
    auto finish = [&](OpenResult r) {
        close(lockFd);
        return r;
    };

    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            *error = path + " exists and is not a socket; left alone";
            return finish(OpenResult::kFailed);
        }
        std::string why;
        int probe = Connect(path, &why);
        if (probe >= 0) {
            close(probe);
            return finish(OpenResult::kOtherInstance);
        }
        // Nobody listens: the socket of a program that has died.
        if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            *error = Errno(("cannot remove stale " + path).c_str());
            return finish(OpenResult::kFailed);
        }
    }

    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = Errno("socket");
        return finish(OpenResult::kFailed);
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        chmod(path.c_str(), 0600) != 0 || listen(fd, 16) != 0 || stat(path.c_str(), &st) != 0) {
        *error = Errno(("cannot listen at " + path).c_str());
        close(fd);
        return finish(OpenResult::kFailed);
    }
    if (pipe2(s.stopPipe, O_CLOEXEC) != 0) {
        *error = Errno("pipe");
        close(fd);
        unlink(path.c_str());
        return finish(OpenResult::kFailed);
    }
    s.path = path;
    s.listenFd = fd;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    return finish(OpenResult::kListening);
}

void Server::Start(std::function<void()> wake) {
    ServerState& s = *state_;
    if (s.listenFd < 0 || s.acceptThread.joinable())
        return;
    s.wake = std::move(wake);
    s.acceptThread = std::thread(&ServerState::AcceptLoop, &s);
}

bool Server::HasPending() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return !state_->pending.empty();
}

void Server::RunPending(const Handler& handler) {
    std::deque<std::shared_ptr<Request>> batch;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        batch.swap(state_->pending);
    }
    std::weak_ptr<ServerState> weak = state_;
    for (auto& request : batch) {
        auto replied = std::make_shared<bool>(false);
        Reply reply = [weak, request, replied](const std::string& line) {
            auto state = weak.lock();
            if (!state || *replied)
                return;
            *replied = true;
            std::lock_guard<std::mutex> lock(state->mutex);
            request->reply = line;
            request->done = true;
            state->changed.notify_all();
        };
        handler(request->line, reply);
    }
}

void Server::Close() {
    ServerState& s = *state_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.closing || s.listenFd < 0)
            return;
        s.closing = true;
        s.changed.notify_all();
    }
    if (s.acceptThread.joinable()) {
        char stop = 1;
        (void)!write(s.stopPipe[1], &stop, 1);
        s.acceptThread.join();
    }
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        // Only the reading side: a client whose request was waiting still gets its
        // "closing" answer before its connection ends.
        for (auto& [serial, c] : s.connections)
            shutdown(c.fd, SHUT_RD);
    }
    for (;;) {
        std::unique_lock<std::mutex> lock(s.mutex);
        if (s.connections.empty())
            break;
        auto it = s.connections.begin();
        std::thread t = std::move(it->second.thread);
        int fd = it->second.fd;
        s.connections.erase(it);
        lock.unlock();
        if (t.joinable())
            t.join();
        close(fd);
    }
    struct stat st {};
    if (stat(s.path.c_str(), &st) == 0 && st.st_dev == s.dev && st.st_ino == s.ino)
        unlink(s.path.c_str());
    close(s.listenFd);
    close(s.stopPipe[0]);
    close(s.stopPipe[1]);
    s.listenFd = -1;
    s.pending.clear();
}

} // namespace desktop
