// Fetching the standings and roster files from the data server into the data
// directory.
#include "app/app.h"
#include "net/net.h"
#include "platform/registry/registry.h"
#include "tests/support/dataserver.h"

#include <gtest/gtest.h>

#include <string>

using namespace dataserver;

namespace {

std::u16string Wide(const std::string& s) {
    std::u16string w(s.size() + 1, u'\0');
    w.resize(WidenUtf8(w.data(), w.size(), s.c_str()));
    return w;
}

std::string Narrow(LPCWSTR s) {
    std::string n(WcsLen(s) * 3 + 1, '\0');
    n.resize(NarrowUtf8(n.data(), n.size(), s));
    return n;
}

void SetServer(const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::u16string w = Wide(value);
    ASSERT_EQ(RegSetValueExW(key, u"Server", 0, REG_SZ, (const BYTE*)w.c_str(),
                             DWORD((w.size() + 1) * sizeof(WCHAR))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::string Bytes(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 131 + seed * 7 + (i >> 9)) & 0xff);
    return s;
}

const std::string StoredStandings = "stored standings\r\n";
const std::string StoredRoster = "stored roster\r\n";

// A data directory holding stored copies of both files, with the program's
// paths on them, and a registry of its own naming the data server.
class Fetch : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        served = new TempDir;
        nginx = new Nginx;
        ASSERT_TRUE(nginx->Start(served->path));
    }
    static void TearDownTestSuite() {
        delete nginx;
        delete served;
    }
    void SetUp() override {
        setenv("TARNWICK_REGISTRY", (local.path / "registry.reg").c_str(), 1);
        setenv("TARNWICK_STALL_TIMEOUT_MS", "500", 1);
        WriteFile(local.path / "Standings.dat", StoredStandings);
        WriteFile(local.path / "Roster.dat", StoredRoster);
        WcsCopy(StandingsPath, MAX_PATH, Wide((local.path / "Standings.dat").string()).c_str());
        WcsCopy(RosterPath, MAX_PATH, Wide((local.path / "Roster.dat").string()).c_str());
        fs::remove(served->path / "Standings.dat");
        fs::remove(served->path / "Roster.dat");
        SetServer("127.0.0.1:" + std::to_string(nginx->port));
        WcsCopy(DownloadError, 256, u"");
    }
    void TearDown() override {
        unsetenv("TARNWICK_STALL_TIMEOUT_MS");
        EXPECT_EQ(SessionHandle, nullptr);
        EXPECT_EQ(ConnectHandle, nullptr);
        EXPECT_EQ(RequestHandle, nullptr);
        // No temporary file is left beside the data files, whatever happened.
        EXPECT_FALSE(fs::exists(local.path / "Standings.dat.part"));
        EXPECT_FALSE(fs::exists(local.path / "Roster.dat.part"));
    }
    // Both stored files as they were before the fetch.
    void ExpectStoredUnchanged() {
        EXPECT_EQ(ReadFile(local.path / "Standings.dat"), StoredStandings);
        EXPECT_EQ(ReadFile(local.path / "Roster.dat"), StoredRoster);
    }

    static TempDir* served;
    static Nginx* nginx;
    TempDir local;
};
TempDir* Fetch::served;
Nginx* Fetch::nginx;

TEST_F(Fetch, BodiesReplaceTheStoredFilesByteForByte) {
    struct Case {
        const char* name;
        bool standings;
        std::string body;
    } cases[] = {
        {"percent, zero bytes, both line ends", true,
         std::string("As of 03/02/2004 100%\r\nA\0B\nC\r\n%d%s%n\n", 35)},
        {"exactly one piece", false, Bytes(1024, 3)},
        {"one piece and one byte", true, Bytes(1025, 4)},
        {"1 MB", false, Bytes(1 << 20, 5)},
        {"empty", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const char* file = c.standings ? "Standings.dat" : "Roster.dat";
        WriteFile(served->path / file, c.body);
        int ok = c.standings ? FetchStandings(nullptr) : FetchRosters(nullptr);
        EXPECT_EQ(ok, 1) << Narrow(DownloadError);
        EXPECT_EQ(ReadFile(local.path / file), c.body);
        // The other file is not touched.
        const char* other = c.standings ? "Roster.dat" : "Standings.dat";
        EXPECT_EQ(ReadFile(local.path / other), c.standings ? StoredRoster : StoredStandings);
        WriteFile(local.path / file, c.standings ? StoredStandings : StoredRoster);
    }
}

TEST_F(Fetch, SuccessLeavesTheLastFailureText) {
    WcsCopy(DownloadError, 256, u"earlier");
    WriteFile(served->path / "Standings.dat", "new\r\n");
    EXPECT_EQ(FetchStandings(nullptr), 1);
    EXPECT_EQ(std::u16string(DownloadError), u"earlier");
}

// Every failure: its text, and both stored files exactly as they were.
TEST_F(Fetch, FailuresKeepTheStoredFilesAndSayWhy) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n";
    FaultServer midBody(Answer(head + std::string(2048, 'x')));
    FaultServer resetBody(ResetAfter(head + std::string(2048, 'x')));
    FaultServer notHttp(Answer("SSH-2.0-OpenSSH\r\n"));
    FaultServer error500(
        Answer("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 5\r\n\r\noops!"));
    FaultServer silent(Silent());
    auto at = [](int port) { return "127.0.0.1:" + std::to_string(port); };
    struct Case {
        const char* name;
        std::string server;
        bool standings;
        std::u16string text;
    } cases[] = {
        {"missing on the server", at(nginx->port), true, u"HTTP Error 404\nNot Found"},
        {"server error", at(error500.port()), false, u"HTTP Error 500\nInternal Server Error"},
        {"nobody listening", at(FreePort()), true,
         u"Send Request Error 12029\nThe attempt to connect to the server "
         u"failed."},
        {"name does not resolve", "no-such-host.invalid", false,
         u"Send Request Error 12007\nThe server name could not be resolved."},
        {"not an HTTP server", at(notHttp.port()), true,
         u"Send Request Error 12152\nThe server response could not be parsed."},
        {"never answers", at(silent.port()), false,
         u"Send Request Error 12002\nThe request has timed out."},
        {"closes mid-body", at(midBody.port()), true,
         u"Receive Error 12030\nThe connection with the server has been "
         u"terminated."},
        {"resets mid-body", at(resetBody.port()), false,
         u"Receive Error 12031\nThe connection with the server has been reset."},
        {"port is not a number", "127.0.0.1:http", true,
         u"Connect Error 12005\nThe URL is invalid."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetServer(c.server);
        int ok = c.standings ? FetchStandings(nullptr) : FetchRosters(nullptr);
        EXPECT_EQ(ok, 0);
        EXPECT_EQ(std::u16string(DownloadError), c.text) << Narrow(DownloadError);
        ExpectStoredUnchanged();
        EXPECT_EQ(SessionHandle, nullptr);
    }
}

TEST_F(Fetch, UnwritableDataFolderIsAFileError) {
    WriteFile(served->path / "Standings.dat", "new\r\n");
    WcsCopy(StandingsPath, MAX_PATH,
            Wide((local.path / "gone" / "Standings.dat").string()).c_str());
    EXPECT_EQ(FetchStandings(nullptr), 0);
    EXPECT_EQ(std::u16string(DownloadError), u"File Error 2\nError");
    ExpectStoredUnchanged();
}

// Where the value Server sends the request (the request's Host line says).
TEST_F(Fetch, ServerValueNamesHostAndPort) {
    FaultServer server(Answer("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nnew"));
    std::string port = std::to_string(server.port());
    struct Case {
        std::string value;
        std::string host;
    } cases[] = {
        {"127.0.0.1:" + port, "127.0.0.1:" + port},
        {"localhost:" + port, "localhost:" + port},
        {"  127.0.0.1:" + port + "\t", "127.0.0.1:" + port},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        SetServer(c.value);
        size_t before = server.requests().size();
        ASSERT_EQ(FetchRosters(nullptr), 1) << Narrow(DownloadError);
        ASSERT_EQ(server.requests().size(), before + 1);
        std::string req = server.requests().back();
        EXPECT_NE(req.find("\r\nHost: " + c.host + "\r\n"), std::string::npos) << req;
        EXPECT_EQ(req.rfind("GET /sports/hockey/2004/Roster.dat HTTP/1.1\r\n", 0), 0u) << req;
        EXPECT_EQ(ReadFile(local.path / "Roster.dat"), "new");
    }
}

TEST(InternetErrorText, AppendsCodeAndMessage) {
    struct Case {
        DWORD code;
        std::u16string text;
    } cases[] = {
        {12001, u"X 12001\nNo more handles could be generated at this time."},
        {12029, u"X 12029\nThe attempt to connect to the server failed."},
        {12036, u"X 12036\nThe request failed because the handle already exists."},
        {12150, u"X 12150\nThe requested header could not be located."},
        {12156, u"X 12156\nThe redirection failed because either the scheme "
                u"changed or all "
                u"attempts made to redirect failed."},
        {12009, u"X 12009\nError"},
        {12010, u"X 12010\nError"},
        {12034, u"X 12034\nError"},
        {12035, u"X 12035\nError"},
        {12037, u"X 12037\nError"},
        {12149, u"X 12149\nError"},
        {12157, u"X 12157\nError"},
        {12000, u"X 12000\nError"},
        {0, u"X 0\nError"},
        {DWORD(-5), u"X -5\nError"},
        {DWORD(-2147483647 - 1), u"X -2147483648\nError"},
    };
    for (const Case& c : cases) {
        WCHAR text[256] = u"X";
        EXPECT_EQ(InternetErrorText(c.code, text, 256), text);
        EXPECT_EQ(std::u16string(text), c.text);
    }
    // The longest prefix with the longest message still fits.
    WCHAR text[256] = u"Open Request Error";
    InternetErrorText(DWORD(-2147483647 - 1), text, 256);
    InternetErrorText(12017, text, 256);
    EXPECT_LT(WcsLen(text), 256u);
}

TEST(CloseInternetHandles, ClosesOnceAndToleratesNone) {
    CloseInternetHandles();
    SessionHandle = InternetOpenW(u"tarnwick", 0, nullptr, nullptr, 0);
    ConnectHandle = InternetConnectW(SessionHandle, u"localhost", 80, nullptr, nullptr,
                                     INTERNET_SERVICE_HTTP, 0, 0);
    RequestHandle = HttpOpenRequestW(ConnectHandle, nullptr, u"/", nullptr, nullptr, nullptr, 0, 0);
    HINTERNET session = SessionHandle;
    CloseInternetHandles();
    EXPECT_EQ(SessionHandle, nullptr);
    EXPECT_EQ(ConnectHandle, nullptr);
    EXPECT_EQ(RequestHandle, nullptr);
    EXPECT_FALSE(InternetCloseHandle(session)); // it was closed, once
    CloseInternetHandles();
}

} // namespace
