#include "tools/GrabWindow.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <poll.h>

std::optional<Placement> placementOf(Display* display, Window window) {
    Placement placement{};
    Window child;
    if (!XGetWindowAttributes(display, window, &placement.attributes) ||
        !XTranslateCoordinates(display, window, placement.attributes.root, 0, 0, &placement.left,
                               &placement.top, &child)) {
        return std::nullopt;
    }
    return placement;
}

std::optional<WindowImage> grabWindow(Display* display, Window window) {
    const std::optional<Placement> placement = placementOf(display, window);
    if (!placement) {
        return std::nullopt;
    }
    const auto& [attributes, left, top] = *placement;
    WindowImage image;
    image.width = attributes.width;
    image.height = attributes.height;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    // Without a window manager GLUT's default place is (-1, -1): the part off
    // the screen has no pixels to read.
    const int fromX = std::max(0, -left), fromY = std::max(0, -top);
    const int toX = std::min(image.width, WidthOfScreen(attributes.screen) - left);
    const int toY = std::min(image.height, HeightOfScreen(attributes.screen) - top);
    if (toX <= fromX || toY <= fromY) {
        return image;
    }
    XImage* shot = XGetImage(display, window, fromX, fromY, static_cast<unsigned>(toX - fromX),
                             static_cast<unsigned>(toY - fromY), AllPlanes, ZPixmap);
    if (!shot) {
        return std::nullopt;
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

std::optional<WindowImage> grabWindowUntil(Display* display, Window window,
                                           const std::function<bool(const WindowImage&)>& wanted,
                                           int seconds) {
    // Watching for damage before the first look means no change can slip by
    // unseen. Each look starts by emptying the damage, so that whatever lands
    // from then on, during the grab or the check of its pixels, reports anew.
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::optional<WindowImage> image;
    for (;;) {
        XDamageSubtract(display, damage, None, None);
        image = grabWindow(display, window);
        if (image && wanted(*image)) {
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        XFlush(display);
        if (!XPending(display) && poll(&connection, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }
    XDamageDestroy(display, damage);
    XSync(display, False);
    return image;
}
