#include "fixture.h"
#include "platform/registry/registry.h"
#include "settings/settings.h"

namespace {

class Settings : public TempHome {
  protected:
    void Defaults() {
        HourOffset = 0;
        FavoriteTeam = 0;
        ZoneIndex = 11;
    }
};

TEST_F(Settings, ReadTakesValuesInOrderUntilTheFirstFailure) {
    struct Case {
        const char* name;
        std::string values; // null: no registry file at all
        int result, offset, team, zone;
    } cases[] = {
        {"all three",
         "\"OffSet\"=\"-7\"\r\n\"Team\"=dword:00000005\r\n\"Index\"=dword:00000004\r\n", 1, -7, 5,
         4},
        {"no OffSet", "\"Team\"=dword:00000005\r\n\"Index\"=dword:00000004\r\n", 0, 0, 0, 11},
        {"no Index", "\"OffSet\"=\"-7\"\r\n\"Team\"=dword:00000005\r\n", 0, -7, 5, 11},
        {"no Team", "\"OffSet\"=\"3\"\r\n\"Index\"=dword:00000004\r\n", 0, 3, 0, 11},
        {"blank then 3x", "\"OffSet\"=\" 3x\"\r\n\"Team\"=dword:00000001\r\n", 0, 3, 1, 11},
        {"x", "\"OffSet\"=\"x\"\r\n\"Team\"=dword:00000001\r\n\"Index\"=dword:00000002\r\n", 1, 0,
         1, 2},
        {"Team in 5 bytes",
         "\"OffSet\"=\"-7\"\r\n\"Team\"=hex(4):05,00,00,00,00\r\n"
         "\"Index\"=dword:00000004\r\n",
         0, -7, 0, 11},
        {"OffSet without terminator",
         "\"OffSet\"=hex(1):2d,00,37,00\r\n\"Team\"=dword:00000002\r\n\"Index\"=dword:00000003\r\n",
         1, -7, 2, 3},
        {"OffSet of 256 characters",
         "\"OffSet\"=\"" + std::string(256, '1') + "\"\r\n\"Team\"=dword:00000002\r\n", 0, 0, 0,
         11},
        {"OffSet of 255 characters",
         "\"OffSet\"=\"" + std::string(254, ' ') + "8\"\r\n\"Team\"=dword:00000002\r\n", 0, 8, 2,
         11},
        {"OffSet filling the buffer unterminated",
         "\"OffSet\"=hex(1):" +
             [] {
                 std::string h;
                 for (int i = 0; i < 256; ++i)
                     h += i ? ",39,00" : "39,00";
                 return h;
             }() +
             "\r\n\"Team\"=dword:00000002\r\n",
         0, INT32_MAX, 2, 11},
        {"a file that does not parse", "\"OffSet\"=\"-7\r\n", 0, 0, 0, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteKey(c.values);
        Defaults();
        EXPECT_EQ(ReadSettings(), c.result);
        EXPECT_EQ(HourOffset, c.offset);
        EXPECT_EQ(FavoriteTeam, c.team);
        EXPECT_EQ(ZoneIndex, c.zone);
    }
    unlink(registry.c_str());
    Defaults();
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(ZoneIndex, 11);
}

TEST_F(Settings, WriteCreatesTheKeyWithExactTypesAndSizes) {
    struct Case {
        int offset, team, zone;
        std::u16string text;
        DWORD size;
    } cases[] = {{-7, 10, 0, u"-7", 6}, {0, 29, 11, u"0", 4}, {18, 0, 69, u"18", 6}};
    for (const Case& c : cases) {
        unlink(registry.c_str()); // each write starts without the key
        HourOffset = c.offset;
        FavoriteTeam = c.team;
        ZoneIndex = c.zone;
        WriteSettings();
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, 0, &key),
                  ERROR_SUCCESS);
        WCHAR text[32] = {};
        DWORD type = 0, size = sizeof text;
        ASSERT_EQ(RegQueryValueExW(key, u"OffSet", nullptr, &type, (BYTE*)text, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, (DWORD)REG_SZ);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(std::u16string(text), c.text);
        DWORD value = 0;
        size = 4;
        ASSERT_EQ(RegQueryValueExW(key, u"Index", nullptr, &type, (BYTE*)&value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, (DWORD)REG_DWORD);
        EXPECT_EQ(value, (DWORD)c.zone);
        ASSERT_EQ(RegQueryValueExW(key, u"Team", nullptr, &type, (BYTE*)&value, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(value, (DWORD)c.team);
        RegCloseKey(key);
        // What was written reads back.
        HourOffset = FavoriteTeam = ZoneIndex = 77;
        EXPECT_EQ(ReadSettings(), 1);
        EXPECT_EQ(HourOffset, c.offset);
        EXPECT_EQ(FavoriteTeam, c.team);
        EXPECT_EQ(ZoneIndex, c.zone);
    }
    EXPECT_NE(ReadAll(registry).find("\"OffSet\"=\"18\"\n\"Index\"=dword:00000045\n"
                                     "\"Team\"=dword:00000000\n"),
              std::string::npos);
}

TEST_F(Settings, WriteKeepsInstallAndLeavesAnUnreadableFileAlone) {
    WriteKey("\"Install\"=\"/usr/share/tarnwick\"\r\n\"OffSet\"=\"2\"\r\n");
    HourOffset = -3;
    WriteSettings();
    std::string text = ReadAll(registry);
    EXPECT_NE(text.find("\"Install\"=\"/usr/share/tarnwick\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"OffSet\"=\"-3\"\n"), std::string::npos);

    const std::string cut = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vellmore\\tarn";
    WriteAll(registry, cut);
    WriteSettings();
    EXPECT_EQ(ReadAll(registry), cut);
    Defaults();
    EXPECT_EQ(ReadSettings(), 0);
}

} // namespace
