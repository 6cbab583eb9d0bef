// wait_for_frame DISPLAY TITLE SECONDS: waits until the window titled TITLE
// shows a frame, anything but the black it is cleared to, and writes the
// window's id. The headless run script takes its screenshot then, since only a
// swap of the buffers puts the drawing on the screen.
#include "tools/GrabWindow.h"
#include "tools/TopLevelWindow.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

// An unmapped window has no pixels to read yet: that is waited out, not fatal.
int ignoreError(Display* /*display*/, XErrorEvent* /*error*/) {
    return 0;
}

bool showsAFrame(const WindowImage& image) {
    return std::any_of(image.pixels.begin(), image.pixels.end(),
                       [](std::uint32_t pixel) { return pixel != 0; });
}

} // namespace

int main(int argc, char** argv) {
    char* end = nullptr;
    const long seconds = argc == 4 ? std::strtol(argv[3], &end, 10) : -1;
    if (argc != 4 || *end || seconds < 0 || seconds > 3600) {
        std::cerr << "usage: wait_for_frame DISPLAY TITLE SECONDS\n";
        return 2;
    }
    Display* display = XOpenDisplay(argv[1]);
    if (!display) {
        std::cerr << "wait_for_frame: cannot open display " << argv[1] << '\n';
        return 1;
    }
    XSetErrorHandler(ignoreError);
    const Window window = findWindowByTitle(display, DefaultRootWindow(display), argv[2]);
    const bool shown = window && [&] {
        const auto image = grabWindowUntil(display, window, showsAFrame, static_cast<int>(seconds));
        return image && showsAFrame(*image);
    }();
    if (shown) {
        std::cout << window << '\n';
    } else if (window) {
        std::cerr << "wait_for_frame: the window titled " << argv[2] << " showed no frame in "
                  << seconds << " s\n";
    } else {
        std::cerr << "wait_for_frame: no window titled " << argv[2] << '\n';
    }
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
