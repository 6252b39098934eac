// The league's teams by TeamIndex. The order is stored in the season and roster files
// and in the favourite-team setting, so no entry may move.
#include "data/data.h"

const LPCWSTR TeamTable[31] = {
    u"All-Star Game", // TeamIndex -1
    u"Avalanche",     u"Blackhawks", u"Blue Jackets", u"Blues",     u"Bruins",      u"Canadiens",
    u"Canucks",       u"Capitals",   u"Coyotes",      u"Devils",    u"Flames",      u"Flyers",
    u"Hurricanes",    u"Islanders",  u"Kings",        u"Lightning", u"Maple Leafs", u"Mighty Ducks",
    u"Oilers",        u"Panthers",   u"Penguins",     u"Predators", u"Rangers",     u"Red Wings",
    u"Sabres",        u"Senators",   u"Sharks",       u"Stars",     u"Thrashers",   u"Wild",
};

LPCWSTR TeamName(int teamIndex) {
    if (teamIndex < -1 || teamIndex > 29) {
        return nullptr;
    }
    return TeamTable[teamIndex + 1];
}
