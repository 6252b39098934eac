// The per-row and per-start costs of the foundation: converting every game time of the
// season, reading the settings, and the start-up checks.
#include "app/app.h"
#include "platform/registry/registry.h"
#include "settings/settings.h"
#include "views/views.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::u16string> SeasonTimes() {
    std::vector<std::u16string> times;
    FILE* f = fopen(TW_TEST_DATA "/Season.dat", "rb");
    char line[1024];
    while (f && fgets(line, sizeof line, f)) {
        WCHAR wide[1024];
        WidenHs(wide, 1024, line);
        WCHAR* ctx = nullptr;
        if (WCHAR* first = WcsTok(wide, u",", &ctx))
            times.push_back(first);
    }
    if (f)
        fclose(f);
    return times;
}

// One pass over the whole season, as the season list makes at start.
void BM_FormatGameTimeSeason(benchmark::State& state) {
    std::vector<std::u16string> times = SeasonTimes();
    HourOffset = -2;
    ZoneIndex = 6;
    for (auto _ : state) {
        for (const std::u16string& t : times) {
            FormatGameTime(t.c_str());
            benchmark::DoNotOptimize(GameTimeText[0]);
        }
    }
    state.counters["games"] = (double)times.size();
}
BENCHMARK(BM_FormatGameTimeSeason)->Unit(benchmark::kMicrosecond);

struct Registry {
    std::string path = "/tmp/tw-bench-" + std::to_string(getpid()) + ".reg";
    Registry() {
        setenv("TARNWICK_REGISTRY", path.c_str(), 1);
        HKEY key;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, nullptr, 0, 0,
                        nullptr, &key, nullptr);
        RegSetValueExW(key, u"Install", 0, REG_SZ, (const BYTE*)TW_TEST_DATA_W,
                       (DWORD)(WcsLen(TW_TEST_DATA_W) + 1) * 2);
        RegCloseKey(key);
        WriteSettings();
    }
    ~Registry() {
        unlink(path.c_str());
        unlink((path + ".lock").c_str());
    }
    static constexpr LPCWSTR TW_TEST_DATA_W = u"" TW_TEST_DATA;
};

void BM_ReadSettings(benchmark::State& state) {
    Registry registry;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSettings());
}
BENCHMARK(BM_ReadSettings)->Unit(benchmark::kMicrosecond);

void BM_WriteSettings(benchmark::State& state) {
    Registry registry;
    for (auto _ : state) {
        HourOffset = HourOffset == 0 ? -7 : 0; // a real change, so the file is rewritten
        WriteSettings();
    }
}
BENCHMARK(BM_WriteSettings)->Unit(benchmark::kMicrosecond);

void BM_StartupChecks(benchmark::State& state) {
    Registry registry;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadInstallPaths());
        benchmark::DoNotOptimize(CheckSeasonFile(SeasonPath));
    }
}
BENCHMARK(BM_StartupChecks)->Unit(benchmark::kMicrosecond);

} // namespace
