// The program's main window on the test desktop, over small data files written to a
// fresh data directory, on a chosen "today".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/host/host.h"

namespace viewstest {

struct Files {
    std::string season;
    std::string roster;
    int favoriteTeam = 11; // Flyers
};

using Rows = std::vector<std::vector<std::string>>;

// Runs WinMain with the registry's Install naming the files' directory, and waits until
// the start-up chain has filled the views. Ends the program when destroyed.
class Program {
  public:
    Program(const Files& files, WORD year, WORD month, WORD day);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TestDesktop& Desktop() { return *desktop_; }
    void OnUi(const std::function<void()>& work) { desktop_->RunOnUi(work); }
    // Sends an automation request and waits until its effects have come about.
    std::string Act(const std::string& request);

    Rows Cells(int listId);
    // As the user does it: a tab, a drop-down entry, a day of a month calendar.
    void ChooseTab(int tab);
    void Choose(int comboId, int index);
    void ChooseDay(HWND window, int day);
    // A tap on a column header of a list of the main window.
    void TapColumn(int listId, int column);
    // A command to the main window, as its buttons and menu send them.
    void Command(int id);
    void Screenshot(const std::string& path);

  private:
    std::string dir_;
    std::unique_ptr<TestDesktop> desktop_;
};

std::string Utf8(LPCWSTR text);
long long Handle(HWND window);

} // namespace viewstest
