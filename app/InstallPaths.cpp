// Where the data files live, and whether the installed season file is this season's.
#include "app/app.h"
#include "platform/locale/locale.h"
#include "platform/registry/registry.h"

#include <cstring>

WCHAR StandingsPath[MAX_PATH] = u"";
WCHAR RosterPath[MAX_PATH] = u"";
WCHAR SeasonPath[MAX_PATH] = u"";

int ReadInstallPaths() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, 0, &key) !=
        ERROR_SUCCESS) {
        return 0;
    }
    WCHAR install[MAX_PATH];
    DWORD size = sizeof(install);
    if (RegQueryValueExW(key, u"Install", nullptr, nullptr, (LPBYTE)install, &size) !=
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    RegCloseKey(key);

    // The text ends at its terminator or at the end of what was read; a value that fills
    // the whole buffer without one is too long to be a directory here.
    DWORD units = size / sizeof(WCHAR);
    DWORD length = 0;
    while (length < units && install[length]) {
        length++;
    }
    if (length == MAX_PATH) {
        return 0;
    }
    install[length] = 0;

    // A directory that leaves no room for a file name is no install we can use: a cut
    // path would name some other file.
    WCHAR standings[MAX_PATH], roster[MAX_PATH], season[MAX_PATH];
    if (!WcsCopy(standings, MAX_PATH, install) ||
        !WcsAppend(standings, MAX_PATH, u"\\Standings.dat") ||
        !WcsCopy(roster, MAX_PATH, install) || !WcsAppend(roster, MAX_PATH, u"\\Roster.dat") ||
        !WcsCopy(season, MAX_PATH, install) || !WcsAppend(season, MAX_PATH, u"\\Season.dat")) {
        return 0;
    }
    WcsCopy(StandingsPath, MAX_PATH, standings);
    WcsCopy(RosterPath, MAX_PATH, roster);
    WcsCopy(SeasonPath, MAX_PATH, season);
    return 1;
}

int CheckSeasonFile(LPCWSTR path) {
    FILE* file = _wfopen(path, u"r");
    if (!file) {
        return 0;
    }
    char line[1024];
    memset(line, 0, sizeof(line));
    fgets(line, sizeof(line), file);
    WCHAR wide[1024];
    WidenHs(wide, 1024, line);
    if (ferror(file)) {
        fclose(file);
        return 0;
    }
    fclose(file);

    WCHAR* context = nullptr;
    LPCWSTR first = WcsTok(wide, u",", &context);
    if (!first) {
        return 0;
    }
    SYSTEMTIME date = {};
    ScanScheduleText(first, &date.wMonth, &date.wDay, &date.wYear, &date.wHour, &date.wMinute);
    WCHAR text[255];
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, 0, &date, u"yy/MM/dd", text, 255)) {
        return 0;
    }
    return text[0] == u'0' && text[1] == u'3';
}
