#include "tests/e2e/ViewerWindow.h"
#include "tools/GrabWindow.h"
#include "tools/TopLevelWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <optional>
#include <poll.h>
#include <stdexcept>
#include <utility>
#include <vector>

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

ViewerWindow::Image readable(std::optional<ViewerWindow::Image> image) {
    if (!image) {
        throwAnyError();
        throw std::runtime_error("cannot read the window's pixels");
    }
    return std::move(*image);
}

// The window titled `title` once it is shown, looked for again whenever a
// top-level window is mapped or renamed, until `patience` runs out; 0 where
// none comes. What it
// watched is no longer watched after, so that no event of its own reaches
// the grabs.
Window awaitWindowByTitle(Display* display, const std::string& title,
                          std::chrono::seconds patience) {
    const Window root = DefaultRootWindow(display);
    // Asked for before the first look, so that no window comes unseen between.
    XSelectInput(display, root, SubstructureNotifyMask);
    std::vector<Window> watched{root};
    const auto deadline = std::chrono::steady_clock::now() + patience;
    Window found = 0;
    for (;;) {
        found = findWindowByTitle(display, root, title);
        XWindowAttributes attributes;
        if (found && !(XGetWindowAttributes(display, found, &attributes) &&
                       attributes.map_state == IsViewable)) {
            found = 0;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (found || left.count() <= 0) {
            break;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (XPending(display) == 0 && poll(&connection, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
                watched.push_back(event.xcreatewindow.window);
            }
        }
    }
    for (const Window window : watched) {
        XSelectInput(display, window, NoEventMask);
    }
    XSync(display, True);
    // Windows that went while they were looked at, or watched, are no fault.
    lastError.clear();
    return found;
}

} // namespace

ViewerWindow::ViewerWindow(const std::string& display, const std::string& title,
                           std::chrono::seconds patience)
    : x(new Connection) {
    XSetErrorHandler(keepError);
    x->display = XOpenDisplay(display.c_str());
    if (!x->display) {
        delete x;
        throw std::runtime_error("cannot open display " + display);
    }
    x->window = patience.count() > 0
                    ? awaitWindowByTitle(x->display, title, patience)
                    : findWindowByTitle(x->display, DefaultRootWindow(x->display), title);
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

std::pair<std::string, std::string> ViewerWindow::windowClass() {
    XClassHint hint{};
    if (!XGetClassHint(x->display, x->window, &hint)) {
        return {};
    }
    // Xlib's copies, taken over.
    const auto taken = [](char* text) {
        std::string kept = text ? text : "";
        XFree(text);
        return kept;
    };
    return {taken(hint.res_name), taken(hint.res_class)};
}

ViewerWindow::Image ViewerWindow::grab() {
    return readable(grabWindow(x->display, x->window));
}

ViewerWindow::Image ViewerWindow::grabUntil(const std::function<bool(const Image&)>& wanted,
                                            int seconds) {
    return readable(grabWindowUntil(x->display, x->window, wanted, seconds));
}

void ViewerWindow::resize(int width, int height) {
    XResizeWindow(x->display, x->window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    sync();
}

void ViewerWindow::expose() {
    // A window mapped over the viewer's and taken away again: the server sends
    // Expose to every window it uncovers, the viewer's inner windows included.
    const auto [attributes, left, top] = placementOf(x->display, x->window).value();
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
