// close_window DISPLAY TITLE: closes the window as a window manager does when
// the user clicks its close button. Used by the headless run script.
#include "tools/TopLevelWindow.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: close_window DISPLAY TITLE\n";
        return 2;
    }
    Display* display = XOpenDisplay(argv[1]);
    if (!display) {
        std::cerr << "close_window: cannot open display " << argv[1] << '\n';
        return 1;
    }
    const Window window = findWindowByTitle(display, DefaultRootWindow(display), argv[2]);
    if (window) {
        sendDeleteWindow(display, window);
    } else {
        std::cerr << "close_window: no window titled " << argv[2] << '\n';
    }
    XCloseDisplay(display);
    return window ? 0 : 1;
}
