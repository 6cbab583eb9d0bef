#include "tools/TopLevelWindow.h"

Window findWindowByTitle(Display* display, Window parent, const std::string& title) {
    Window root, ignored, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &ignored, &children, &count)) {
        return 0;
    }
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) {
                found = children[i];
            }
            XFree(name);
        }
        if (!found) {
            found = findWindowByTitle(display, children[i], title);
        }
    }
    if (children) {
        XFree(children);
    }
    return found;
}

void sendDeleteWindow(Display* display, Window window) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &message);
}
