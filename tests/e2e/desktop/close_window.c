/* Asks an X window to close as a window manager's close button does: WM_DELETE_WINDOW. */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    Display* display = XOpenDisplay(NULL);
    if (!display)
        return 1;
    XEvent e = {0};
    e.xclient.type = ClientMessage;
    e.xclient.window = strtoul(argv[1], NULL, 0);
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = XInternAtom(display, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, e.xclient.window, False, NoEventMask, &e);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
