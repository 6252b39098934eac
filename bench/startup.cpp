// Start-up of the real program: from the moment its process is made until the start-up
// timer chain has run (the desktop socket's idle request answers only once no timer is
// left), less the chain's fixed 100 + 1 + 1 ms; and the peak resident size of the
// process over that run. The program is the one built beside this benchmark, shown on
// the offscreen video driver.
#include "platform/host/desktop_socket.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ProgramPath() {
    char self[4096] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string dir = n > 0 ? std::string(self, n) : std::string(".");
    dir = dir.substr(0, dir.rfind('/')); // build/bench
    return dir.substr(0, dir.rfind('/')) + "/tarnwick";
}

// One request on a fresh connection; the reply line, or "" when nobody answers.
std::string Ask(const std::string& socket, const std::string& request, int timeoutMs) {
    std::string error;
    int fd = desktop::Connect(socket, &error);
    if (fd < 0) {
        return "";
    }
    std::string line;
    desktop::LineReader reader(fd);
    if (!desktop::WriteAll(fd, request + "\n") ||
        reader.Read(&line, 1 << 20, timeoutMs) != desktop::LineReader::kLine) {
        line.clear();
    }
    close(fd);
    return line;
}

void BM_StartUntilChainDone(benchmark::State& state) {
    char pattern[] = "/tmp/tw-startup-XXXXXX";
    std::string dir = mkdtemp(pattern);
    std::string registry = dir + "/registry.reg";
    std::string socket = dir + "/desktop.sock";
    {
        std::ofstream out(registry);
        out << "Windows Registry Editor Version 5.00\n\n"
            << "[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\n"
            << "\"Install\"=\"" << TW_TEST_DATA << "\"\n";
    }
    std::string program = ProgramPath();
    double peakKb = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) {
            setenv("TARNWICK_REGISTRY", registry.c_str(), 1);
            setenv("TARNWICK_DESKTOP", socket.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "offscreen", 1);
            execl(program.c_str(), program.c_str(), (char*)nullptr);
            _exit(127);
        }
        std::string reply;
        while (reply.empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
            reply = Ask(socket, "{\"op\":\"idle\",\"timeout_ms\":10000}", 20000);
            if (reply.empty()) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        auto done = std::chrono::steady_clock::now();
        Ask(socket, "{\"op\":\"minimize\",\"window\":\"Tarnwick\"}", 5000);
        int status = 0;
        rusage usage = {};
        wait4(child, &status, 0, &usage);
        if (reply.find("\"ok\":true") == std::string::npos &&
            reply.find("\"ok\": true") == std::string::npos) {
            state.SkipWithError(("no idle answer from " + program).c_str());
            break;
        }
        double ms = std::chrono::duration<double, std::milli>(done - start).count();
        state.SetIterationTime((ms - 102.0) / 1000.0);
        peakKb = std::max(peakKb, (double)usage.ru_maxrss);
    }
    state.counters["peak_rss_MB"] = peakKb / 1024.0;
    std::string command = "rm -rf '" + dir + "'";
    if (system(command.c_str()) != 0) {
        state.SkipWithError("cannot remove the temporary folder");
    }
}
BENCHMARK(BM_StartUntilChainDone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
