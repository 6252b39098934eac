// Servers for the download tests: the real data server (nginx through
// tools/nginx/serve.sh) on a free loopback port, and small servers that misbehave in the
// ways nginx will not (never answering, closing or resetting mid-body, not speaking HTTP).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace dataserver {

namespace fs = std::filesystem;

// A loopback port nobody listens on right now.
inline int FreePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

inline std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A fresh folder under the system's temporary folder, removed with the object.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "tw-download.XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// Whether something accepts connections on 127.0.0.1:port.
inline bool Accepts(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(uint16_t(port));
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

// nginx serving dataDir at /sports/hockey/2004/ on 127.0.0.1:port, as one child process
// of the test that dies with it, however the test ends.
struct Nginx {
    TempDir run;
    int port = 0;
    pid_t pid = -1;
    bool running = false;

    bool Start(const fs::path& dataDir) {
        port = FreePort();
        std::string script = std::string(TW_SOURCE_DIR) + "/tools/nginx/serve.sh";
        std::string portText = std::to_string(port);
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            execl("/bin/bash", "bash", script.c_str(), "--foreground", dataDir.c_str(),
                  portText.c_str(), run.path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid < 0)
            return false;
        for (int i = 0; i < 500; ++i) {
            if (Accepts(port))
                return running = true;
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Stop();
        return false;
    }
    void Stop() {
        running = false;
        if (pid <= 0)
            return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
    ~Nginx() { Stop(); }
};

// A server on a free loopback port that hands every connection, once the request's
// headers are in, to a handler of the test's choosing.
class FaultServer {
  public:
    using Handler = std::function<void(int fd, const std::string& request)>;

    explicit FaultServer(Handler handler) : handler_(std::move(handler)) {
        listen_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listen_, 8);
        socklen_t len = sizeof a;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~FaultServer() {
        stop_ = true;
        thread_.join();
        close(listen_);
    }
    int port() const { return port_; }
    // The requests received so far, as they came.
    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    bool stopping() const { return stop_; }

    static void Send(int fd, const std::string& bytes) {
        size_t off = 0;
        while (off < bytes.size()) {
            ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            off += size_t(n);
        }
    }
    // Ends the connection with a reset instead of an orderly close.
    static void Reset(int fd) {
        linger l{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }

  private:
    void Run() {
        while (!stop_) {
            pollfd p{listen_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            int fd = accept(listen_, nullptr, nullptr);
            if (fd < 0)
                continue;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos && !stop_) {
                pollfd q{fd, POLLIN, 0};
                if (poll(&q, 1, 20) <= 0)
                    continue;
                ssize_t n = recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, size_t(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            handler_(fd, request);
            close(fd);
        }
    }

    Handler handler_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// Handlers.
inline FaultServer::Handler Answer(std::string response) {
    return [response](int fd, const std::string&) { FaultServer::Send(fd, response); };
}
// Keeps the connection open, silent, until the server stops.
inline FaultServer::Handler Silent(std::string first = {}) {
    return [first](int fd, const std::string&) {
        FaultServer::Send(fd, first);
        // Wait until the client gives up (its close shows as readable with 0 bytes).
        for (int i = 0; i < 1000; ++i) {
            pollfd q{fd, POLLIN, 0};
            if (poll(&q, 1, 10) > 0) {
                char b;
                if (recv(fd, &b, 1, 0) <= 0)
                    return;
            }
        }
    };
}
inline FaultServer::Handler ResetAfter(std::string first) {
    return [first](int fd, const std::string&) {
        FaultServer::Send(fd, first);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        FaultServer::Reset(fd);
    };
}

} // namespace dataserver
