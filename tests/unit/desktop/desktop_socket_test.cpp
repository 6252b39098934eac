// The desktop socket: one running instance answers requests line by line, in order, and
// stays usable whatever a client sends.
#include "platform/host/desktop_server.h"
#include "platform/host/desktop_socket.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using desktop::LineReader;
using desktop::OpenResult;
using desktop::Server;
using nlohmann::json;

namespace {

struct TempDir {
    std::string path;
    TempDir() {
        char tmpl[] = "/tmp/tw-desktop-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// Stands in for the UI thread: runs waiting requests through the handler until stopped.
struct UiThread {
    Server& server;
    desktop::Handler handler;
    std::mutex mutex;
    std::condition_variable woken;
    bool stop = false;
    std::thread thread;

    UiThread(Server& s, desktop::Handler h) : server(s), handler(std::move(h)) {
        server.Start([this] { woken.notify_all(); });
        thread = std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex);
            while (!stop) {
                lock.unlock();
                server.RunPending(handler);
                lock.lock();
                woken.wait_for(lock, std::chrono::milliseconds(20),
                               [this] { return stop || server.HasPending(); });
            }
        });
    }
    ~UiThread() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        woken.notify_all();
        thread.join();
    }
};

void Echo(const std::string& line, desktop::Reply reply) {
    json r = {{"ok", true}, {"echo", line}};
    reply(r.dump());
}

struct Client {
    int fd = -1;
    LineReader reader{-1};
    explicit Client(const std::string& path) {
        std::string error;
        fd = desktop::Connect(path, &error);
        reader.fd = fd;
    }
    ~Client() {
        if (fd >= 0)
            close(fd);
    }
    std::string Ask(const std::string& lines) {
        EXPECT_TRUE(desktop::WriteAll(fd, lines));
        return Next();
    }
    std::string Next() {
        std::string line;
        EXPECT_EQ(reader.Read(&line, desktop::kMaxLine * 4, 5000), LineReader::kLine);
        return line;
    }
};

class DesktopSocket : public ::testing::Test {
  protected:
    TempDir dir;
    std::string path = dir.path + "/desktop.sock";
    void SetUp() override { setenv("TARNWICK_DESKTOP", path.c_str(), 1); }
    void TearDown() override { unsetenv("TARNWICK_DESKTOP"); }
};

TEST_F(DesktopSocket, AnswersEveryLineInOrderAndSurvivesBadLines) {
    Server server;
    std::string error;
    ASSERT_EQ(server.Open(path, &error), OpenResult::kListening) << error;
    UiThread ui(server, Echo);
    Client c(path);
    ASSERT_GE(c.fd, 0);

    // Three requests in one write come back as three replies, in order; a blank line is
    // no request.
    EXPECT_EQ(json::parse(c.Ask("{\"n\":1}\n\n{\"n\":2}\r\n{\"n\":3}\n"))["echo"], "{\"n\":1}");
    EXPECT_EQ(json::parse(c.Next())["echo"], "{\"n\":2}");
    EXPECT_EQ(json::parse(c.Next())["echo"], "{\"n\":3}");

    // A line over the limit is answered with an error without reaching the handler, and
    // the connection goes on.
    json tooLong = json::parse(c.Ask(std::string(desktop::kMaxLine + 1, 'x') + "\n"));
    EXPECT_EQ(tooLong["ok"], false);
    EXPECT_NE(tooLong["error"].get<std::string>().find("longer than 65536"), std::string::npos);
    EXPECT_EQ(json::parse(c.Ask("{\"n\":4}\n"))["echo"], "{\"n\":4}");

    // Exactly at the limit is still a request.
    std::string atLimit(desktop::kMaxLine, 'y');
    EXPECT_EQ(json::parse(c.Ask(atLimit + "\n"))["echo"], atLimit);

    // A much longer line sent in pieces is dropped as it arrives, then answered.
    std::string huge(1 << 20, 'z');
    EXPECT_EQ(json::parse(c.Ask(huge + "\n{\"n\":5}\n"))["ok"], false);
    EXPECT_EQ(json::parse(c.Next())["echo"], "{\"n\":5}");
}

TEST_F(DesktopSocket, ReplyMayComeAfterTheHandlerReturns) {
    Server server;
    std::string error;
    ASSERT_EQ(server.Open(path, &error), OpenResult::kListening) << error;
    std::vector<desktop::Reply> held; // touched only on the UI thread
    UiThread ui(server, [&](const std::string& line, desktop::Reply reply) {
        if (line == "later") {
            held.push_back(reply);
            return;
        }
        for (auto& r : held)
            r("{\"ok\":true,\"late\":true}");
        held.clear();
        reply("{\"ok\":true}");
    });
    Client waiting(path), other(path);
    ASSERT_TRUE(desktop::WriteAll(waiting.fd, "later\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(other.Ask("now\n"), "{\"ok\":true}"); // other clients are not held up
    EXPECT_EQ(waiting.Next(), "{\"ok\":true,\"late\":true}");
}

TEST_F(DesktopSocket, ClosingAnswersWaitingClients) {
    auto server = std::make_unique<Server>();
    std::string error;
    ASSERT_EQ(server->Open(path, &error), OpenResult::kListening) << error;
    // Nobody runs the requests; the wake call tells that the request is waiting.
    std::mutex m;
    std::condition_variable cv;
    bool waiting = false;
    server->Start([&] {
        std::lock_guard<std::mutex> lock(m);
        waiting = true;
        cv.notify_all();
    });
    Client c(path);
    ASSERT_TRUE(desktop::WriteAll(c.fd, "{\"op\":\"windows\"}\n"));
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(30), [&] { return waiting; }));
    }
    server->Close();
    EXPECT_EQ(json::parse(c.Next())["ok"], false);
    struct stat st;
    EXPECT_NE(lstat(path.c_str(), &st), 0) << "socket removed at close";
}

TEST_F(DesktopSocket, OneInstanceAndStaleSockets) {
    std::string error;
    {
        Server first;
        ASSERT_EQ(first.Open(path, &error), OpenResult::kListening) << error;
        first.Start([] {});
        Server second;
        EXPECT_EQ(second.Open(path, &error), OpenResult::kOtherInstance);
    }
    // A socket file left by a program that died: nobody listens, so it is replaced.
    int dead = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, path.c_str());
    ASSERT_EQ(bind(dead, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(dead);
    Server next;
    EXPECT_EQ(next.Open(path, &error), OpenResult::kListening) << error;
}

TEST_F(DesktopSocket, LeavesAFileThatIsNoSocketAlone) {
    { std::ofstream(path) << "precious"; }
    Server server;
    std::string error;
    EXPECT_EQ(server.Open(path, &error), OpenResult::kFailed);
    EXPECT_NE(error.find("not a socket"), std::string::npos);
    std::ifstream in(path);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "precious");
}

TEST_F(DesktopSocket, DefaultFolderIsPrivate) {
    unsetenv("TARNWICK_DESKTOP");
    setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
    std::string folder = dir.path + "/tarnwick";
    EXPECT_EQ(desktop::SocketPath(), folder + "/desktop.sock");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0); // left open by someone
    Server server;
    std::string error;
    EXPECT_EQ(server.Open(desktop::SocketPath(), &error), OpenResult::kListening) << error;
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(DesktopSocket, RefusesAPeerOfAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run a client as another user";
    Server server;
    std::string error;
    ASSERT_EQ(server.Open(path, &error), OpenResult::kListening) << error;
    std::atomic<int> handled{0};
    UiThread ui(server, [&](const std::string& line, desktop::Reply reply) {
        ++handled;
        Echo(line, reply);
    });
    // Let the other user reach the socket at all, so that the peer check is what stops it.
    chmod(dir.path.c_str(), 0755);
    chmod(path.c_str(), 0777);
    pid_t child = fork();
    if (child == 0) {
        if (setuid(65534) != 0)
            _exit(3);
        Client c(path);
        if (c.fd < 0)
            _exit(4);
        desktop::WriteAll(c.fd, "{\"op\":\"windows\"}\n");
        std::string line;
        if (c.reader.Read(&line, 4096, 5000) != LineReader::kLine)
            _exit(5);
        json reply = json::parse(line, nullptr, false);
        bool refused = reply.is_object() && reply["ok"] == false;
        // After the refusal the connection is closed.
        _exit(refused && c.reader.Read(&line, 4096, 5000) == LineReader::kEnd ? 0 : 6);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(handled, 0);
    Client mine(path); // our own user is still served
    EXPECT_EQ(json::parse(mine.Ask("{}\n"))["ok"], true);
}

} // namespace
