// The three data-file loads of start-up over the bundled files, together.
#include "data/data.h"
#include "tests/support/loader_window.h"

#include <benchmark/benchmark.h>

namespace {

std::u16string Wide(const char* s) {
    std::string narrow = s;
    return std::u16string(narrow.begin(), narrow.end());
}

void BM_LoadBundledFiles(benchmark::State& state) {
    HWND window = loaders::MakeLoaderWindow();
    std::u16string standings = Wide(TW_TEST_DATA "/Standings.dat");
    std::u16string roster = Wide(TW_TEST_DATA "/Roster.dat");
    std::u16string season = Wide(TW_TEST_DATA "/Season.dat");
    for (auto _ : state) {
        LoadStandings(window, standings.c_str());
        LoadRosterTable(window, roster.c_str());
        LoadSeason(window, season.c_str());
        // The season lists only grow; the window empties them once per run.
        state.PauseTiming();
        SendDlgItemMessageW(window, IDC_SEASON_TABLE, LVM_DELETEALLITEMS, 0, 0);
        SendDlgItemMessageW(window, IDC_SEASON_LIST, LVM_DELETEALLITEMS, 0, 0);
        state.ResumeTiming();
    }
    DestroyWindow(window);
}
BENCHMARK(BM_LoadBundledFiles)->Unit(benchmark::kMillisecond);

} // namespace
