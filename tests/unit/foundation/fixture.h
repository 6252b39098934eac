// A private registry file and data folder for each test.
#pragma once

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "platform/base/base.h"

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::u16string Wide(const std::string& s) {
    std::u16string w(WidenUtf8(nullptr, 0, s.c_str()), u'\0');
    WidenUtf8(w.data(), w.size() + 1, s.c_str());
    return w;
}

class TempHome : public ::testing::Test {
  protected:
    std::string dir, registry;
    void SetUp() override {
        char tmpl[] = "/tmp/tw-found-XXXXXX";
        dir = mkdtemp(tmpl);
        registry = dir + "/registry.reg";
        setenv("TARNWICK_REGISTRY", registry.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TARNWICK_REGISTRY");
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    // A registry file holding the program's key with the given value lines.
    void WriteKey(const std::string& values) {
        WriteAll(registry, "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellmore\\tarnwick]\r\n" +
                               values);
    }
};
