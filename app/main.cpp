// The program's start-up checks, run from a terminal: finds the data directory through
// the registry, checks the season file and says what it found.
#include "app/app.h"

#include <cstdio>

static void Print(LPCWSTR text) {
    char narrow[4 * MAX_PATH];
    NarrowUtf8(narrow, sizeof(narrow), text);
    fputs(narrow, stdout);
}

int main() {
    if (!ReadInstallPaths()) {
        Print(u"Tarnwick: Tarnwick does not appear to be installed properly.\n\n"
              u"Please run install again.\n");
        return 0;
    }
    Print(u"Standings: ");
    Print(StandingsPath);
    Print(u"\nRoster:    ");
    Print(RosterPath);
    Print(u"\nSeason:    ");
    Print(SeasonPath);
    Print(u"\n");
    if (!CheckSeasonFile(SeasonPath)) {
        Print(u"Tarnwick: Tarnwick version does not match schedule.\n\n"
              u"Please install the most current version.\n");
        return 0;
    }
    Print(u"The season file is the 2003-04 schedule: ready to start.\n");
    return 0;
}
