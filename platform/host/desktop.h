// The desktop of a real run of the program (HostMain opens it before the program's entry
// and closes it after; ui tests use neither). The first process to open it answers at the
// desktop socket and shows the desktop window from its first paint on; in a second process
// FindWindowW, ShowWindow and SetForegroundWindow reach the windows of the first.
#pragma once

void OpenDesktop();
void CloseDesktop();
