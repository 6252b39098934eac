// The internet client against a real nginx and against servers that misbehave.
#include "platform/inet/inet.h"
#include "tests/support/dataserver.h"

#include <gtest/gtest.h>

#include <string>

using namespace dataserver;

namespace {

struct Fetched {
    BOOL sent = FALSE;
    DWORD sendError = 0;
    DWORD status = 0;
    std::string body;
    BOOL readOk = TRUE;
    DWORD readError = 0;
    DWORD largestPiece = 0;
};

// One GET as the program makes it, reading the body in pieces of at most `piece` bytes.
Fetched Get(const char16_t* host, int port, const char16_t* path, DWORD piece = 1024) {
    Fetched f;
    HINTERNET s = InternetOpenW(u"tarnwick", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET c = InternetConnectW(s, host, INTERNET_PORT(port), nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    EXPECT_NE(c, nullptr);
    HINTERNET r = HttpOpenRequestW(c, nullptr, path, nullptr, nullptr, nullptr,
                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION, 0);
    EXPECT_NE(r, nullptr);
    f.sent = HttpSendRequestW(r, nullptr, 0, nullptr, 0);
    if (!f.sent) {
        f.sendError = GetLastError();
    } else {
        DWORD len = sizeof f.status;
        EXPECT_TRUE(HttpQueryInfoW(r, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &f.status,
                                   &len, nullptr));
        std::vector<char> buf(piece);
        for (;;) {
            DWORD n = 0xdead;
            if (!InternetReadFile(r, buf.data(), piece, &n)) {
                f.readOk = FALSE;
                f.readError = GetLastError();
                break;
            }
            if (n == 0)
                break;
            f.largestPiece = std::max(f.largestPiece, n);
            f.body.append(buf.data(), n);
        }
    }
    InternetCloseHandle(r);
    InternetCloseHandle(c);
    InternetCloseHandle(s);
    return f;
}

std::string Bytes(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 131 + seed * 7 + (i >> 9)) & 0xff);
    return s;
}

class InetNginx : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        data = new TempDir;
        WriteFile(data->path / "Mixed.dat", std::string("100% sure\r\nzero\0byte\nend", 25));
        WriteFile(data->path / "Exact.dat", Bytes(1024, 1));
        WriteFile(data->path / "Large.dat", Bytes(1 << 20, 2));
        WriteFile(data->path / "Empty.dat", "");
        nginx = new Nginx;
        ASSERT_TRUE(nginx->Start(data->path));
    }
    static void TearDownTestSuite() {
        delete nginx;
        delete data;
    }
    static TempDir* data;
    static Nginx* nginx;
};
TempDir* InetNginx::data;
Nginx* InetNginx::nginx;

TEST_F(InetNginx, BodiesArriveByteForByteInBoundedPieces) {
    struct Case {
        const char16_t* path;
        const char* file;
        DWORD piece;
    } cases[] = {
        {u"/sports/hockey/2004/Mixed.dat", "Mixed.dat", 1024},
        {u"/sports/hockey/2004/Exact.dat", "Exact.dat", 1024},
        {u"/sports/hockey/2004/Large.dat", "Large.dat", 1024},
        {u"/sports/hockey/2004/Large.dat", "Large.dat", 7},
        {u"/sports/hockey/2004/Empty.dat", "Empty.dat", 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + std::string(" piece ") + std::to_string(c.piece));
        Fetched f = Get(u"127.0.0.1", nginx->port, c.path, c.piece);
        ASSERT_TRUE(f.sent) << f.sendError;
        EXPECT_EQ(f.status, 200u);
        EXPECT_TRUE(f.readOk) << f.readError;
        EXPECT_LE(f.largestPiece, c.piece);
        EXPECT_EQ(f.body, ReadFile(data->path / c.file));
    }
}

TEST_F(InetNginx, ExactPieceThenZero) {
    HINTERNET s = InternetOpenW(u"tarnwick", 0, nullptr, nullptr, 0);
    HINTERNET c = InternetConnectW(s, u"localhost", INTERNET_PORT(nginx->port), nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET r = HttpOpenRequestW(c, nullptr, u"/sports/hockey/2004/Exact.dat", nullptr, nullptr,
                                   nullptr, INTERNET_FLAG_RELOAD, 0);
    ASSERT_TRUE(HttpSendRequestW(r, nullptr, 0, nullptr, 0)) << GetLastError();
    char buf[1024];
    DWORD total = 0, n = 0;
    while (total < 1024 && InternetReadFile(r, buf, sizeof buf, &n) && n > 0)
        total += n;
    EXPECT_EQ(total, 1024u);
    ASSERT_TRUE(InternetReadFile(r, buf, sizeof buf, &n));
    EXPECT_EQ(n, 0u);
    ASSERT_TRUE(InternetReadFile(r, buf, sizeof buf, &n)); // the end stays the end
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(InternetCloseHandle(s)); // takes the connection and the request with it
    EXPECT_FALSE(InternetCloseHandle(r));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(InternetReadFile(r, buf, sizeof buf, &n));
}

TEST_F(InetNginx, StatusCodeAndReason) {
    HINTERNET s = InternetOpenW(u"tarnwick", 0, nullptr, nullptr, 0);
    HINTERNET c = InternetConnectW(s, u"127.0.0.1", INTERNET_PORT(nginx->port), nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET r = HttpOpenRequestW(c, nullptr, u"/sports/hockey/2004/Missing.dat", nullptr, nullptr,
                                   nullptr, INTERNET_FLAG_RELOAD, 0);
    ASSERT_TRUE(HttpSendRequestW(r, nullptr, 0, nullptr, 0));
    DWORD code = 0, len = sizeof code;
    ASSERT_TRUE(
        HttpQueryInfoW(r, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &len, nullptr));
    EXPECT_EQ(code, 404u);

    WCHAR small[4];
    len = sizeof small;
    EXPECT_FALSE(HttpQueryInfoW(r, HTTP_QUERY_STATUS_TEXT, small, &len, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(len, sizeof(u"Not Found"));
    WCHAR text[64];
    len = sizeof text;
    ASSERT_TRUE(HttpQueryInfoW(r, HTTP_QUERY_STATUS_TEXT, text, &len, nullptr));
    EXPECT_EQ(std::u16string(text), u"Not Found");
    EXPECT_EQ(len, 9 * sizeof(WCHAR));
    len = sizeof text;
    ASSERT_TRUE(HttpQueryInfoW(r, HTTP_QUERY_STATUS_CODE, text, &len, nullptr));
    EXPECT_EQ(std::u16string(text), u"404");
    InternetCloseHandle(s);
}

TEST(InetRequest, SendsAgentPathAndNoCacheHeaders) {
    FaultServer server(Answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
    Fetched f = Get(u"127.0.0.1", server.port(), u"/sports/hockey/2004/Roster.dat");
    ASSERT_TRUE(f.sent) << f.sendError;
    EXPECT_EQ(f.body, "ok");
    ASSERT_EQ(server.requests().size(), 1u);
    std::string req = server.requests()[0];
    EXPECT_EQ(req.rfind("GET /sports/hockey/2004/Roster.dat HTTP/1.1\r\n", 0), 0u) << req;
    EXPECT_NE(req.find("\r\nUser-Agent: tarnwick\r\n"), std::string::npos) << req;
    EXPECT_NE(req.find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << req;
    EXPECT_NE(req.find("\r\nPragma: no-cache\r\n"), std::string::npos) << req;
}

// Each failure, where it shows (the send or a read of the body) and the code it reports.
TEST(InetFaults, FailuresMapOntoTheClientsCodes) {
    setenv("TARNWICK_STALL_TIMEOUT_MS", "300", 1);
    const std::string head100 = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789";
    struct Case {
        const char* name;
        FaultServer::Handler handler; // null: nobody listens
        const char16_t* host;
        bool failsAtSend;
        DWORD code;
    } cases[] = {
        {"refused", nullptr, u"127.0.0.1", true, ERROR_INTERNET_CANNOT_CONNECT},
        {"unresolvable", nullptr, u"no-such-host.invalid", true, ERROR_INTERNET_NAME_NOT_RESOLVED},
        {"never answers", Silent(), u"127.0.0.1", true, ERROR_INTERNET_TIMEOUT},
        {"not http", Answer("hello there\r\n\r\n"), u"127.0.0.1", true,
         ERROR_HTTP_INVALID_SERVER_RESPONSE},
        {"garbled status", Answer("HTTP/1.1 abc\r\n\r\n"), u"127.0.0.1", true,
         ERROR_HTTP_INVALID_SERVER_RESPONSE},
        {"closes unanswered", Answer(""), u"127.0.0.1", true, ERROR_INTERNET_CONNECTION_ABORTED},
        {"closes mid-body", Answer(head100), u"127.0.0.1", false,
         ERROR_INTERNET_CONNECTION_ABORTED},
        {"resets mid-body", ResetAfter(head100), u"127.0.0.1", false,
         ERROR_INTERNET_CONNECTION_RESET},
        {"stalls mid-body", Silent(head100), u"127.0.0.1", false, ERROR_INTERNET_TIMEOUT},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        int port = FreePort();
        std::unique_ptr<FaultServer> server;
        if (c.handler) {
            server = std::make_unique<FaultServer>(c.handler);
            port = server->port();
        }
        Fetched f = Get(c.host, port, u"/sports/hockey/2004/Standings.dat");
        if (c.failsAtSend) {
            EXPECT_FALSE(f.sent);
            EXPECT_EQ(f.sendError, c.code);
        } else {
            ASSERT_TRUE(f.sent) << f.sendError;
            EXPECT_FALSE(f.readOk);
            EXPECT_EQ(f.readError, c.code);
            EXPECT_LE(f.body.size(), 10u);
        }
    }
    unsetenv("TARNWICK_STALL_TIMEOUT_MS");
}

TEST(InetConnect, NamesThatCannotBeHostsAreRefusedAtOnce) {
    HINTERNET s = InternetOpenW(u"tarnwick", 0, nullptr, nullptr, 0);
    for (const char16_t* name :
         {u"", u"a b", u"host/x", u"host:abc", u"user@host", u"[::1", u"h\u00e9te"}) {
        SCOPED_TRACE(std::string(name, name + std::char_traits<char16_t>::length(name)).size());
        EXPECT_EQ(InternetConnectW(s, name, 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
                  nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_INVALID_URL));
    }
    for (const char16_t* name :
         {u"localhost", u"data.example.org", u"127.0.0.1", u"::1", u"[::1]"}) {
        HINTERNET c = InternetConnectW(s, name, 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
        EXPECT_NE(c, nullptr);
        InternetCloseHandle(c);
    }
    // A request handle is not a connection.
    HINTERNET c =
        InternetConnectW(s, u"localhost", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET r = HttpOpenRequestW(c, nullptr, u"/", nullptr, nullptr, nullptr, 0, 0);
    EXPECT_EQ(HttpOpenRequestW(r, nullptr, u"/", nullptr, nullptr, nullptr, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
    InternetCloseHandle(s);
}

} // namespace

namespace {

// A listener whose queue is full drops further connection attempts without a word, as a
// server that is down behind a firewall does.
TEST(InetFaults, ConnectTimeOutEndsAHangingConnect) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    socklen_t len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    setenv("TARNWICK_CONNECT_TIMEOUT_MS", "300", 1);
    auto start = std::chrono::steady_clock::now();
    Fetched f = Get(u"127.0.0.1", ntohs(a.sin_port), u"/sports/hockey/2004/Standings.dat");
    auto took = std::chrono::steady_clock::now() - start;
    unsetenv("TARNWICK_CONNECT_TIMEOUT_MS");
    EXPECT_FALSE(f.sent);
    EXPECT_EQ(f.sendError, DWORD(ERROR_INTERNET_TIMEOUT));
    // The limit in force was the one asked for, not the 10 s default.
    EXPECT_LT(took, std::chrono::seconds(5));
    for (int fd : fillers)
        close(fd);
    close(listener);
}

} // namespace
