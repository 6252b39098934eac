// The three user settings and their place in the registry.
#include "settings/settings.h"
#include "platform/registry/registry.h"

int HourOffset = 0;
int FavoriteTeam = 0;
int ZoneIndex = 11; // "GMT-5 Eastern US", offset 0

static const WCHAR SettingsKey[] = u"SOFTWARE\\Vellmore\\tarnwick";

int ReadSettings() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SettingsKey, 0, 0, &key) != ERROR_SUCCESS) {
        return 0;
    }

    WCHAR offset[256];
    DWORD size = sizeof(offset);
    if (RegQueryValueExW(key, u"OffSet", nullptr, nullptr, (LPBYTE)offset, &size) !=
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    // A stored text need not carry its terminator: end it after what was read.
    DWORD length = size / sizeof(WCHAR);
    offset[length < 256 ? length : 255] = 0;
    HourOffset = _wtol(offset);

    DWORD team = 0;
    size = sizeof(team);
    if (RegQueryValueExW(key, u"Team", nullptr, nullptr, (LPBYTE)&team, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    FavoriteTeam = (int)team;

    DWORD zone = 0;
    size = sizeof(zone);
    if (RegQueryValueExW(key, u"Index", nullptr, nullptr, (LPBYTE)&zone, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    ZoneIndex = (int)zone;

    RegCloseKey(key);
    return 1;
}

void WriteSettings() {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, SettingsKey, 0, nullptr, 0, 0, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        return;
    }

    WCHAR offset[16];
    FormatDecimal(offset, 16, HourOffset);
    DWORD size = (DWORD)((WcsLen(offset) + 1) * sizeof(WCHAR));
    if (RegSetValueExW(key, u"OffSet", 0, REG_SZ, (const BYTE*)offset, size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return;
    }

    DWORD zone = (DWORD)ZoneIndex;
    if (RegSetValueExW(key, u"Index", 0, REG_DWORD, (const BYTE*)&zone, sizeof(zone)) !=
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return;
    }

    DWORD team = (DWORD)FavoriteTeam;
    RegSetValueExW(key, u"Team", 0, REG_DWORD, (const BYTE*)&team, sizeof(team));
    RegCloseKey(key);
}
