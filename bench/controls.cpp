// The list view as the program uses it: repainting the full-screen standings dialog, and
// filling a hidden table of the season's games and reading it back.
#include "platform/user/commctrl.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

LRESULT DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND MakeDialog() {
    InitCommonControls();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DialogProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"BenchDialog";
    RegisterClassW(&wc);
    return CreateWindowExW(0, u"BenchDialog", u"Tarnwick", WS_POPUP | WS_VISIBLE, 0, 26, 240, 268,
                           nullptr, nullptr, nullptr, nullptr);
}

void Column(HWND lv, int index, LPCWSTR caption, int fmt, int cx) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    c.pszText = const_cast<LPWSTR>(caption);
    c.fmt = fmt;
    c.cx = cx;
    SendMessageW(lv, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&c));
}

void Append(HWND lv, int row, const LPCWSTR* cells, int count) {
    LVITEMW it{};
    it.mask = LVIF_TEXT;
    it.iItem = row;
    it.pszText = const_cast<LPWSTR>(cells[0]);
    int at = int(SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it)));
    for (int k = 1; k < count; k++) {
        it.iSubItem = k;
        it.pszText = const_cast<LPWSTR>(cells[k]);
        SendMessageW(lv, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&it));
    }
}

void BM_RepaintStandingsDialog(benchmark::State& state) {
    HWND dialog = MakeDialog();
    HWND lv = CreateWindowExW(
        0, WC_LISTVIEWW, u"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER,
        9, 45, 219, 188, dialog, reinterpret_cast<HMENU>(1005), nullptr, nullptr);
    Column(lv, 0, u"Team", LVCFMT_LEFT, 80);
    Column(lv, 1, u"W", LVCFMT_RIGHT, 29);
    Column(lv, 2, u"L", LVCFMT_RIGHT, 29);
    Column(lv, 3, u"T", LVCFMT_RIGHT, 29);
    Column(lv, 4, u"Pct", LVCFMT_RIGHT, 40);
    SendMessageW(lv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const LPCWSTR teams[] = {u"Tampa Bay",  u"Boston",  u"Toronto",  u"Ottawa",    u"Philadelphia",
                             u"New Jersey", u"Detroit", u"San Jose", u"Vancouver", u"Colorado"};
    for (int i = 0; i < 36; i++) {
        const LPCWSTR blank[] = {u"", u"", u"", u"", u""};
        const LPCWSTR row[] = {teams[i % 10], u"46", u"22", u"8", u"106"};
        Append(lv, i, i % 6 == 0 ? blank : row, 5);
    }
    UpdateWindow(dialog);
    for (auto _ : state) {
        InvalidateRect(dialog, nullptr, TRUE);
        InvalidateRect(lv, nullptr, TRUE);
        UpdateWindow(dialog);
        UpdateWindow(lv);
    }
    DestroyWindow(dialog);
}
BENCHMARK(BM_RepaintStandingsDialog)->Unit(benchmark::kMicrosecond);

void BM_FillAndReadSeasonTable(benchmark::State& state) {
    HWND dialog = MakeDialog();
    HWND lv = CreateWindowExW(0, WC_LISTVIEWW, u"", WS_CHILD | WS_BORDER | LVS_REPORT, 9, 45, 219,
                              188, dialog, reinterpret_cast<HMENU>(1025), nullptr, nullptr);
    Column(lv, 0, u"Date", LVCFMT_LEFT, 40);
    Column(lv, 1, u"vTeam", LVCFMT_LEFT, 50);
    Column(lv, 2, u"hTeam", LVCFMT_LEFT, 50);
    const LPCWSTR row[] = {u"10/08/2003 19:30", u"8", u"25\r\n"};
    WCHAR buf[256];
    size_t total = 0;
    for (auto _ : state) {
        SendMessageW(lv, LVM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < 1300; i++)
            Append(lv, i, row, 3);
        for (int i = 0; i < 1300; i++)
            for (int k = 0; k < 3; k++) {
                LVITEMW it{};
                it.iSubItem = k;
                it.pszText = buf;
                it.cchTextMax = 256;
                total +=
                    size_t(SendMessageW(lv, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&it)));
            }
    }
    benchmark::DoNotOptimize(total);
    DestroyWindow(dialog);
}
BENCHMARK(BM_FillAndReadSeasonTable)->Unit(benchmark::kMicrosecond);

} // namespace
