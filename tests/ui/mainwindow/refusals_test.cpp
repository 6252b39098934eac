// The two start-up refusals, seen as the user sees them: a message box over no window,
// with its caption and text; the program ends once it is closed.
#include "app/app.h"
#include "platform/host/host.h"
#include "res/res.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

namespace {

struct Refusal {
    const char* what;
    bool install;            // the registry names the data directory
    const char* seasonFirst; // the season file's first line
    const char* text;
};

const Refusal Refusals[] = {
    {"no Install value", false, "10/08/2003 19:00,4,23\n",
     "Tarnwick does not appear to be installed properly.\n\nPlease run install again."},
    {"a season of 2004", true, "10/08/2004 19:00,4,23\n",
     "Tarnwick version does not match schedule.\n\nPlease install the most current version."},
    {"no season file", true, nullptr,
     "Tarnwick version does not match schedule.\n\nPlease install the most current version."},
};

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-startup-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("TARNWICK_REGISTRY", (dir + "/registry.reg").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TARNWICK_REGISTRY");
        ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
    }
    std::string dir;
};

TEST_F(Startup, RefusalsShowTheirMessageAndEnd) {
    for (const Refusal& r : Refusals) {
        SCOPED_TRACE(r.what);
        std::ofstream registry(dir + "/registry.reg");
        registry << "Windows Registry Editor Version 5.00\n\n"
                    "[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\n";
        if (r.install) {
            registry << "\"Install\"=\"" << dir << "\"\n";
        }
        registry << "\"Team\"=dword:00000003\n";
        registry.close();
        std::remove((dir + "/Season.dat").c_str());
        if (r.seasonFirst) {
            std::ofstream(dir + "/Season.dat") << r.seasonFirst;
        }

        TestDesktop desktop([] {
            return WinMain(CreateModuleInstance(res::Resources(), res::ResourceCount()), nullptr,
                           nullptr, 0);
        });
        ASSERT_TRUE(desktop.Idle());
        nlohmann::json windows = nlohmann::json::parse(desktop.Request(R"({"op":"windows"})"));
        ASSERT_EQ(windows["windows"].size(), 1u) << windows.dump();
        nlohmann::json box = windows["windows"][0];
        EXPECT_EQ(box["title"], "Tarnwick");
        nlohmann::json controls = nlohmann::json::parse(
            desktop.Request(nlohmann::json{{"op", "controls"}, {"window", box["hwnd"]}}.dump()));
        bool shown = false;
        for (const auto& c : controls["controls"]) {
            shown = shown || c["text"] == r.text;
        }
        EXPECT_TRUE(shown) << controls.dump();
        EXPECT_FALSE(desktop.Finished());

        desktop.Request(
            nlohmann::json{{"op", "command"}, {"window", box["hwnd"]}, {"id", 1}}.dump());
        for (int i = 0; i < 5000 && !desktop.Finished(); i++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(desktop.Finished());
        EXPECT_EQ(desktop.Result(), 0);
    }
}

} // namespace
