#include "tests/e2e/ViewerWindow.h"
#include "tools/TopLevelWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <stdexcept>

struct ViewerWindow::Connection {
    Display* display = nullptr;
    Window window = 0;
    int damageEvent = 0;
};

namespace {

std::string lastError;

// Keeps a failed request's error for the test to report, where Xlib's default
// handler would end the whole process.
int keepError(Display* display, XErrorEvent* error) {
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    lastError = text;
    return 0;
}

void throwAnyError() {
    if (!lastError.empty()) {
        const std::string error = lastError;
        lastError.clear();
        throw std::runtime_error("X error: " + error);
    }
}

// A window's attributes and the place of its top left corner on the root window.
struct Placement {
    XWindowAttributes attributes;
    int left = 0;
    int top = 0;
};

Placement placementOf(Display* display, Window window) {
    Placement placement{};
    XGetWindowAttributes(display, window, &placement.attributes);
    Window child;
    XTranslateCoordinates(display, window, placement.attributes.root, 0, 0, &placement.left,
                          &placement.top, &child);
    return placement;
}

} // namespace

ViewerWindow::ViewerWindow(const std::string& display, const std::string& title)
    : x(new Connection) {
    XSetErrorHandler(keepError);
    x->display = XOpenDisplay(display.c_str());
    if (!x->display) {
        delete x;
        throw std::runtime_error("cannot open display " + display);
    }
    x->window = findWindowByTitle(x->display, DefaultRootWindow(x->display), title);
    int damageError = 0;
    if (!x->window || !XDamageQueryExtension(x->display, &x->damageEvent, &damageError)) {
        XCloseDisplay(x->display);
        delete x;
        throw std::runtime_error("no window titled " + title + " with the DAMAGE extension");
    }
}

ViewerWindow::~ViewerWindow() {
    XCloseDisplay(x->display);
    delete x;
}

ViewerWindow::Image ViewerWindow::grab() {
    const auto [attributes, left, top] = placementOf(x->display, x->window);
    Image image;
    image.width = attributes.width;
    image.height = attributes.height;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    // Without a window manager GLUT's default place is (-1, -1): the part off
    // the screen has no pixels to read, and stays black here.
    const int fromX = std::max(0, -left), fromY = std::max(0, -top);
    const int toX = std::min(image.width, WidthOfScreen(attributes.screen) - left);
    const int toY = std::min(image.height, HeightOfScreen(attributes.screen) - top);
    if (toX <= fromX || toY <= fromY) {
        return image;
    }
    XImage* shot =
        XGetImage(x->display, x->window, fromX, fromY, static_cast<unsigned>(toX - fromX),
                  static_cast<unsigned>(toY - fromY), AllPlanes, ZPixmap);
    if (!shot) {
        throwAnyError();
        throw std::runtime_error("cannot read the window's pixels");
    }
    for (int row = fromY; row < toY; ++row) {
        for (int column = fromX; column < toX; ++column) {
            image.pixels[static_cast<std::size_t>(row) * image.width + column] =
                static_cast<std::uint32_t>(XGetPixel(shot, column - fromX, row - fromY) & 0xFFFFFF);
        }
    }
    XDestroyImage(shot);
    return image;
}

ViewerWindow::Image ViewerWindow::grabUntil(const std::function<bool(const Image&)>& wanted,
                                            int seconds) {
    // Watching for damage before the first look means no change can slip by unseen.
    const Damage damage = XDamageCreate(x->display, x->window, XDamageReportNonEmpty);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    Image image = grab();
    while (!wanted(image)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        XDamageSubtract(x->display, damage, None, None);
        XFlush(x->display);
        pollfd connection{ConnectionNumber(x->display), POLLIN, 0};
        if (!XPending(x->display) && poll(&connection, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        while (XPending(x->display)) {
            XEvent event;
            XNextEvent(x->display, &event);
        }
        image = grab();
    }
    XDamageDestroy(x->display, damage);
    XSync(x->display, False);
    return image;
}

void ViewerWindow::resize(int width, int height) {
    XResizeWindow(x->display, x->window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    sync();
}

void ViewerWindow::expose() {
    // A window mapped over the viewer's and taken away again: the server sends
    // Expose to every window it uncovers, the viewer's inner windows included.
    const auto [attributes, left, top] = placementOf(x->display, x->window);
    XSetWindowAttributes unmanaged{};
    unmanaged.override_redirect = True;
    const Window cover = XCreateWindow(x->display, attributes.root, left, top,
                                       static_cast<unsigned>(attributes.width),
                                       static_cast<unsigned>(attributes.height), 0, CopyFromParent,
                                       InputOutput, CopyFromParent, CWOverrideRedirect, &unmanaged);
    XMapRaised(x->display, cover);
    XDestroyWindow(x->display, cover);
    sync();
}

void ViewerWindow::close() {
    sendDeleteWindow(x->display, x->window);
    sync();
}

void ViewerWindow::movePointer(int px, int py) {
    XWarpPointer(x->display, None, x->window, 0, 0, 0, 0, px, py);
    sync();
}

void ViewerWindow::pressButton(unsigned button, bool down) {
    XTestFakeButtonEvent(x->display, button, down, CurrentTime);
    sync();
}

void ViewerWindow::pressKey(const char* keysymName, bool down) {
    const KeyCode code = XKeysymToKeycode(x->display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(x->display, code, down, CurrentTime);
    sync();
}

void ViewerWindow::sync() {
    XSync(x->display, False);
    throwAnyError();
}
