#include "platform/registry/registry.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class Registry : public ::testing::Test {
  protected:
    std::string dir, file;
    void SetUp() override {
        char tmpl[] = "/tmp/tw-reg-XXXXXX";
        dir = mkdtemp(tmpl);
        file = dir + "/sub/registry.reg";
        setenv("TARNWICK_REGISTRY", file.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("TARNWICK_REGISTRY");
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    HKEY Create(LPCWSTR path) {
        HKEY key = nullptr;
        DWORD disp = 0;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, 0, nullptr, &key, &disp),
                  ERROR_SUCCESS);
        return key;
    }
    void Set(HKEY key, LPCWSTR name, DWORD type, const void* data, DWORD size) {
        EXPECT_EQ(RegSetValueExW(key, name, 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
    }
    LONG Open(LPCWSTR path, HKEY* key) {
        return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, 0, key);
    }
};

TEST_F(Registry, WritesAFileThatReadsAsARegistryExport) {
    HKEY key = Create(u"SOFTWARE\\Vellmore\\tarnwick");
    ASSERT_NE(key, nullptr);
    LPCWSTR install = u"/opt/tw \"data\"\\share";
    Set(key, u"Install", REG_SZ, install, (DWORD)(WcsLen(install) + 1) * 2);
    DWORD eleven = 11;
    Set(key, u"Index", REG_DWORD, &eleven, 4);
    Set(key, u"OffSet", REG_SZ, u"-7", 6);
    BYTE five[5] = {1, 0, 0, 0, 0};
    Set(key, u"Team", REG_DWORD, five, 5);
    Set(key, u"Short", REG_SZ, u"ab", 3); // a size that no quoted text gives back
    Set(key, u"Bin", REG_BINARY, "\x01\xff", 2);
    RegCloseKey(key);
    EXPECT_EQ(ReadAll(file), "Windows Registry Editor Version 5.00\n"
                             "\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
                             "\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellmore]\n"
                             "\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellmore\\tarnwick]\n"
                             "\"Install\"=\"/opt/tw \\\"data\\\"\\\\share\"\n"
                             "\"Index\"=dword:0000000b\n"
                             "\"OffSet\"=\"-7\"\n"
                             "\"Team\"=hex(4):01,00,00,00,00\n"
                             "\"Short\"=hex(1):61,00,62\n"
                             "\"Bin\"=hex:01,ff\n"
                             "\n");
}

TEST_F(Registry, TypesAndSizesComeBackExactly) {
    HKEY key = Create(u"SOFTWARE\\Vellmore\\tarnwick");
    std::vector<BYTE> longBinary(300);
    for (size_t i = 0; i < longBinary.size(); ++i)
        longBinary[i] = (BYTE)i;
    struct Case {
        LPCWSTR name;
        DWORD type;
        std::vector<BYTE> data;
    } cases[] = {
        {u"OffSet", REG_SZ, {'-', 0, '7', 0, 0, 0}},
        {u"Zero", REG_SZ, {'0', 0, 0, 0}},
        {u"NoEnd", REG_SZ, {'a', 0, 'b', 0}},
        {u"Odd", REG_SZ, {'a', 0, 0}},
        {u"Tab", REG_SZ, {'a', 0, '\t', 0, 0, 0}},
        {u"Team", REG_DWORD, {5, 0, 0, 0, 0}},
        {u"Word", REG_DWORD, {5, 0}},
        {u"Index", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {u"Empty", REG_BINARY, {}},
        {u"Long", REG_BINARY, longBinary},
        {u"Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}},
        {u"Accent", REG_SZ, {0xe9, 0, 0xac, 0x20, 0, 0}},
        {u"", REG_SZ, {'d', 0, 0, 0}},
    };
    for (const Case& c : cases)
        Set(key, c.name, c.type, c.data.data(), (DWORD)c.data.size());
    RegCloseKey(key);
    ASSERT_EQ(Open(u"software\\VELLMORE\\Tarnwick", &key), ERROR_SUCCESS);
    for (const Case& c : cases) {
        BYTE buf[512];
        DWORD type = 0, size = sizeof buf;
        ASSERT_EQ(RegQueryValueExW(key, c.name, nullptr, &type, buf, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(std::vector<BYTE>(buf, buf + size), c.data);
    }
    RegCloseKey(key);
}

TEST_F(Registry, ValueLargerThanTheBufferReportsTheSizeNeeded) {
    HKEY key = Create(u"SOFTWARE\\Vellmore\\tarnwick");
    Set(key, u"OffSet", REG_SZ, u"-7", 6);
    BYTE buf[4] = {9, 9, 9, 9};
    DWORD type = 0, size = 4;
    EXPECT_EQ(RegQueryValueExW(key, u"offset", nullptr, &type, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buf[0], 9); // nothing copied
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"OffSet", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, buf, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, MissingFileAndKeys) {
    HKEY key = nullptr;
    EXPECT_EQ(Open(u"SOFTWARE\\Vellmore\\tarnwick", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(access(file.c_str(), F_OK), -1);           // reading creates nothing
    HKEY made = Create(u"SOFTWARE\\Vellmore\\tarnwick"); // creates the folders
    ASSERT_NE(made, nullptr);
    DWORD disp = 0;
    HKEY again = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\Tarnwick", 0, nullptr, 0, 0,
                              nullptr, &again, &disp),
              ERROR_SUCCESS);
    EXPECT_EQ(disp, (DWORD)REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(Open(u"SOFTWARE\\Vellmore\\other", &key), ERROR_FILE_NOT_FOUND);
    RegCloseKey(made);
    RegCloseKey(again);
    EXPECT_EQ(RegCloseKey(again), ERROR_INVALID_HANDLE);
}

// The same key as regedit and text editors save it.
TEST_F(Registry, ReadsUtf16AndUtf8WithEitherLineEnd) {
    std::string body = "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellmore\\tarnwick]\n"
                       "\"Install\"=\"C:\\\\Program Files\\\\Montr\xc3\xa9"
                       "al\"\n"
                       "\"Team\"=dword:0000001d\n"
                       "\"Blob\"=hex(1):61,00,\\\n  62,00,00,00\n";
    std::string crlf;
    for (char c : body) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    std::u16string wide(WidenUtf8(nullptr, 0, crlf.c_str()), u'\0');
    WidenUtf8(wide.data(), wide.size() + 1, crlf.c_str());
    std::string utf16 = "\xff\xfe";
    for (char16_t c : wide) {
        utf16 += (char)(c & 0xff);
        utf16 += (char)(c >> 8);
    }
    const std::string files[] = {body, crlf, "\xef\xbb\xbf" + body, "\xef\xbb\xbf" + crlf, utf16};
    mkdir((dir + "/sub").c_str(), 0700);
    for (const std::string& bytes : files) {
        WriteAll(file, bytes);
        HKEY key = nullptr;
        ASSERT_EQ(Open(u"SOFTWARE\\Vellmore\\tarnwick", &key), ERROR_SUCCESS);
        WCHAR text[64] = {};
        DWORD size = sizeof text, type = 0;
        ASSERT_EQ(RegQueryValueExW(key, u"Install", nullptr, &type, (BYTE*)text, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::u16string(text), u"C:\\Program Files\\Montr\u00e9al");
        EXPECT_EQ(size, (DWORD)(26 * 2)); // 25 characters and the terminator
        DWORD team = 0;
        size = 4;
        ASSERT_EQ(RegQueryValueExW(key, u"Team", nullptr, &type, (BYTE*)&team, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(team, 29u);
        BYTE blob[8];
        size = sizeof blob;
        ASSERT_EQ(RegQueryValueExW(key, u"Blob", nullptr, &type, blob, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 6u);
        EXPECT_EQ(type, (DWORD)REG_SZ);
        RegCloseKey(key);
    }
}

TEST_F(Registry, AFileThatDoesNotParseIsNeverWrittenOver) {
    const std::string good = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellmore\\tarnwick]\n"
                             "\"Install\"=\"/usr/share/tarnwick\"\n"
                             "\"Index\"=dword:0000000b\n";
    const std::string corrupt[] = {
        "",
        "\n\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vell",
        good.substr(0, good.size() - 4),                            // dword cut short
        good.substr(0, good.find("/share")),                        // text without its end
        "Windows Registry Editor Version 5.00\n\"Orphan\"=\"x\"\n", // value outside a key
        "Windows Registry Editor Version 5.00\n[HKEY_NOWHERE\\x]\n",
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\x]\n\"b\"=hex:0,1\n",
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\x]\n\"b\"=hex:01,\\\n",
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\x]\n\"a\"=\"C:\\x\"\n",
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\x]\n\"a\"=\"\xff\"\n",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n",
        std::string("\xff\xfe\x57\x00\x69", 5), // UTF-16 cut in the middle of a character
        std::string("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\a\0b]\n",
                    62), // a zero inside a key name
        std::string("\x7f"
                    "ELF\x02\x01\x01\x00\x00",
                    9),
    };
    mkdir((dir + "/sub").c_str(), 0700);
    int n = 0;
    for (const std::string& bytes : corrupt) {
        SCOPED_TRACE(n++);
        WriteAll(file, bytes);
        HKEY key = nullptr;
        EXPECT_NE(Open(u"SOFTWARE\\Vellmore\\tarnwick", &key), ERROR_SUCCESS);
        EXPECT_NE(Open(u"SOFTWARE\\Vellmore\\x", &key), ERROR_SUCCESS);
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Vellmore\\tarnwick", 0, nullptr,
                                  0, 0, nullptr, &key, nullptr),
                  ERROR_BADDB);
        EXPECT_EQ(ReadAll(file), bytes);
    }
    // A handle opened before the file went bad fails too, and writes nothing.
    WriteAll(file, good);
    HKEY key = nullptr;
    ASSERT_EQ(Open(u"SOFTWARE\\Vellmore\\tarnwick", &key), ERROR_SUCCESS);
    WriteAll(file, corrupt[4]);
    DWORD zero = 0, size = 4;
    EXPECT_EQ(RegSetValueExW(key, u"Team", 0, REG_DWORD, (BYTE*)&zero, 4), ERROR_BADDB);
    EXPECT_EQ(RegQueryValueExW(key, u"Index", nullptr, nullptr, (BYTE*)&zero, &size), ERROR_BADDB);
    EXPECT_EQ(RegDeleteValueW(key, u"Install"), ERROR_BADDB);
    EXPECT_EQ(ReadAll(file), corrupt[4]);
    RegCloseKey(key);
}

TEST_F(Registry, WritesKeepEachOther) {
    HKEY key = Create(u"SOFTWARE\\Vellmore\\tarnwick");
    Set(key, u"Install", REG_SZ, u"/data", 12);
    std::string before = ReadAll(file);
    Set(key, u"Install", REG_SZ, u"/data", 12); // the same value again changes nothing
    EXPECT_EQ(ReadAll(file), before);
    // Threads each write their own value; the lock keeps any of them from being lost.
    std::vector<std::thread> threads;
    for (DWORD t = 0; t < 8; ++t) {
        threads.emplace_back([key, t] {
            for (DWORD i = 0; i < 5; ++i) {
                WCHAR name[8] = {u'v', (WCHAR)(u'0' + t), (WCHAR)(u'0' + i), 0};
                RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE*)&i, 4);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (DWORD t = 0; t < 8; ++t) {
        for (DWORD i = 0; i < 5; ++i) {
            WCHAR name[8] = {u'v', (WCHAR)(u'0' + t), (WCHAR)(u'0' + i), 0};
            DWORD value = 99, size = 4;
            EXPECT_EQ(RegQueryValueExW(key, name, nullptr, nullptr, (BYTE*)&value, &size),
                      ERROR_SUCCESS);
            EXPECT_EQ(value, i);
        }
    }
    EXPECT_EQ(RegDeleteValueW(key, u"install"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"Install"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    // No temporary file is left beside the registry.
    std::string listing = dir + "/sub";
    std::system(("ls -a '" + listing + "' > '" + dir + "/ls.txt'").c_str());
    EXPECT_EQ(ReadAll(dir + "/ls.txt"), ".\n..\nregistry.reg\nregistry.reg.lock\n");
}

TEST(RegistryPath, ChosenFromTheEnvironment) {
    struct Case {
        const char* registry;
        const char* xdg;
        const char* home;
        std::string path;
    } cases[] = {
        {"/r/reg.reg", "/x", "/h", "/r/reg.reg"},
        {nullptr, "/x", "/h", "/x/tarnwick/registry.reg"},
        {"", "", "/h", "/h/.config/tarnwick/registry.reg"},
        {nullptr, "relative", "/h", "/h/.config/tarnwick/registry.reg"},
    };
    std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    for (const Case& c : cases) {
        auto put = [](const char* name, const char* v) {
            if (v)
                setenv(name, v, 1);
            else
                unsetenv(name);
        };
        put("TARNWICK_REGISTRY", c.registry);
        put("XDG_CONFIG_HOME", c.xdg);
        put("HOME", c.home);
        char buf[256];
        RegistryFilePath(buf, sizeof buf);
        EXPECT_EQ(std::string(buf), c.path);
    }
    unsetenv("TARNWICK_REGISTRY");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
