// The program's resources: dialog templates, menu and command bar, pictures, icon,
// strings, as one table handed to the window system at start.
#pragma once

#include "platform/user/user.h"
#include "res/resource.h"

namespace res {
const RESOURCEENTRY* Resources();
int ResourceCount();
} // namespace res
