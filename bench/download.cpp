// The internet client reading a body from nginx on loopback in the program's 1024-byte
// pieces: throughput, and how much the process' peak memory grows while a large body
// passes through (it stays near the client's small buffer, the body is never held whole).
#include "platform/inet/inet.h"
#include "tests/support/dataserver.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace dataserver;

namespace {

long PeakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Reads the whole body of path; returns its size.
size_t ReadBody(int port, const char16_t* path) {
    HINTERNET s = InternetOpenW(u"tarnwick", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET c = InternetConnectW(s, u"127.0.0.1", INTERNET_PORT(port), nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET r = HttpOpenRequestW(c, nullptr, path, nullptr, nullptr, nullptr,
                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION, 0);
    size_t total = 0;
    if (HttpSendRequestW(r, nullptr, 0, nullptr, 0)) {
        char buf[1024];
        DWORD n = 0;
        while (InternetReadFile(r, buf, sizeof buf, &n) && n > 0)
            total += n;
    }
    InternetCloseHandle(s);
    return total;
}

void BM_DownloadBody(benchmark::State& state) {
    static TempDir data;
    static Nginx nginx;
    const size_t size = size_t(state.range(0));
    std::string name = "Body" + std::to_string(size) + ".dat";
    {
        // Written piecewise, so that making the file does not raise the peak itself.
        std::ofstream out(data.path / name, std::ios::binary | std::ios::trunc);
        std::string chunk(64 * 1024, 'x');
        for (size_t left = size; left > 0; left -= std::min(left, chunk.size()))
            out.write(chunk.data(), std::streamsize(std::min(left, chunk.size())));
    }
    if (!nginx.running && !nginx.Start(data.path)) {
        state.SkipWithError("nginx did not start");
        return;
    }
    WCHAR path[128];
    WidenUtf8(path, 128, ("/sports/hockey/2004/" + name).c_str());
    long before = PeakRssKb();
    for (auto _ : state) {
        size_t got = ReadBody(nginx.port, path);
        if (got != size) {
            state.SkipWithError("short body");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.counters["peak_rss_growth_kb"] = double(PeakRssKb() - before);
}
BENCHMARK(BM_DownloadBody)
    ->Arg(24 * 1024)
    ->Arg(1 << 20)
    ->Arg(32 << 20)
    ->Unit(benchmark::kMillisecond);

} // namespace
