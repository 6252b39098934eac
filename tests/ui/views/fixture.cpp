#include "fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/app.h"
#include "platform/user/commctrl.h"
#include "res/res.h"
#include "res/resource.h"
#include "views/views.h"

namespace viewstest {

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

SYSTEMTIME Evening(WORD year, WORD month, WORD day) {
    SYSTEMTIME start = {};
    start.wYear = year;
    start.wMonth = month;
    start.wDay = day;
    start.wHour = 20; // the day counts, not the hour
    return start;
}

} // namespace

std::string Utf8(LPCWSTR text) {
    char narrow[1024];
    NarrowUtf8(narrow, sizeof(narrow), text);
    return narrow;
}

long long Handle(HWND window) {
    return (long long)(uintptr_t)window;
}

Program::Program(const Files& files, WORD year, WORD month, WORD day) {
    char pattern[] = "/tmp/tw-views-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::filesystem::path dir(dir_);
    WriteFile(dir / "Season.dat", files.season);
    WriteFile(dir / "Roster.dat", files.roster);
    std::filesystem::copy_file(std::filesystem::path(TW_TEST_DATA) / "Standings.dat",
                               dir / "Standings.dat");
    char team[16];
    std::snprintf(team, sizeof(team), "%08x", files.favoriteTeam);
    WriteFile(dir / "registry.reg", "Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\r\n"
                                    "\"Install\"=\"" +
                                        dir_ + "\"\r\n\"OffSet\"=\"0\"\r\n\"Team\"=dword:" + team +
                                        "\r\n\"Index\"=dword:0000000b\r\n");
    setenv("TARNWICK_REGISTRY", (dir / "registry.reg").c_str(), 1);

    // The sort state as a fresh start of the program has it.
    LastSortColumn = -1;
    SortDescending = 0;

    desktop_ = std::make_unique<TestDesktop>(
        [] {
            HINSTANCE instance = CreateModuleInstance(res::Resources(), res::ResourceCount());
            return WinMain(instance, nullptr, nullptr, SW_SHOW);
        },
        Evening(year, month, day));
    desktop_->Idle();
}

Program::~Program() {
    desktop_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string Program::Act(const std::string& request) {
    std::string reply = desktop_->Request(request);
    desktop_->Idle();
    return reply;
}

Rows Program::Cells(int listId) {
    Rows rows;
    OnUi([&] {
        HWND list = GetDlgItem(MainDialog, listId);
        int count = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        int columns = (int)SendMessageW(list, LVM_GETCOLUMNCOUNT_TW, 0, 0);
        for (int row = 0; row < count; row++) {
            std::vector<std::string> cells;
            for (int column = 0; column < columns; column++) {
                WCHAR text[256] = {};
                LVITEMW item = {};
                item.iSubItem = column;
                item.pszText = text;
                item.cchTextMax = 256;
                SendMessageW(list, LVM_GETITEMTEXTW, (WPARAM)row, (LPARAM)&item);
                cells.push_back(Utf8(text));
            }
            rows.push_back(cells);
        }
    });
    return rows;
}

void Program::ChooseTab(int tab) {
    Act(R"({"op":"choose","window":"Tarnwick","id":1001,"index":)" + std::to_string(tab) + "}");
}

void Program::Choose(int comboId, int index) {
    Act(R"({"op":"choose","window":"Tarnwick","id":)" + std::to_string(comboId) + R"(,"index":)" +
        std::to_string(index) + "}");
}

void Program::ChooseDay(HWND window, int day) {
    Act(R"({"op":"choose","window":)" + std::to_string(Handle(window)) + R"(,"id":)" +
        std::to_string(IDC_MONTH_CALENDAR) + R"(,"index":)" + std::to_string(day) + "}");
}

void Program::TapColumn(int listId, int column) {
    POINT at = {};
    OnUi([&] {
        HWND list = GetDlgItem(MainDialog, listId);
        RECT box = {};
        GetWindowRect(list, &box);
        int left = 0;
        for (int c = 0; c < column; c++) {
            left += (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, (WPARAM)c, 0);
        }
        int width = (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, (WPARAM)column, 0);
        // The header is the list's first line, inside its border.
        at.x = box.left + 1 + left + width / 2;
        at.y = box.top + 6;
    });
    Act(R"({"op":"tap","x":)" + std::to_string(at.x) + R"(,"y":)" + std::to_string(at.y) + "}");
}

void Program::Command(int id) {
    Act(R"({"op":"command","window":"Tarnwick","id":)" + std::to_string(id) + "}");
}

void Program::Screenshot(const std::string& path) {
    desktop_->Request(R"({"op":"screenshot","path":")" + path + "\"}");
}

} // namespace viewstest
