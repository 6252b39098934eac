// The process entry: the desktop host runs the program over its resources.
#include "app/app.h"
#include "platform/host/host.h"
#include "res/res.h"

int main(int argc, char** argv) {
    return HostMain(argc, argv, WinMain, res::Resources(), res::ResourceCount());
}
