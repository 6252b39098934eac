// The module's resource table: the tables of every area, one after the other.
#include "res/res.h"
#include "res/areas.h"

namespace {

struct ResourceArea {
    const RESOURCEENTRY* entries;
    const int* count;
};

// One line per area; add yours here and declare its table in res/areas.h.
const ResourceArea Areas[] = {
    {MainWindowResources, &MainWindowResourceCount},
    {CalendarResources, &CalendarResourceCount},
    {SettingsResources, &SettingsResourceCount},
    {DownloadResources, &DownloadResourceCount},
};

constexpr int MaxResources = 512;
RESOURCEENTRY Joined[MaxResources];
int JoinedCount = -1;

void JoinAreas() {
    JoinedCount = 0;
    for (const ResourceArea& area : Areas) {
        for (int i = 0; i < *area.count && JoinedCount < MaxResources; i++) {
            Joined[JoinedCount++] = area.entries[i];
        }
    }
}

} // namespace

namespace res {

const RESOURCEENTRY* Resources() {
    if (JoinedCount < 0) {
        JoinAreas();
    }
    return Joined;
}

int ResourceCount() {
    if (JoinedCount < 0) {
        JoinAreas();
    }
    return JoinedCount;
}

} // namespace res
