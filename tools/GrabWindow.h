#pragma once

#include "tools/WindowImage.h"

#include <X11/Xlib.h>

#include <functional>
#include <optional>

// A window's attributes and the place of its top left corner on the root
// window; nothing when the server does not know the window.
struct Placement {
    XWindowAttributes attributes;
    int left = 0;
    int top = 0;
};
std::optional<Placement> placementOf(Display* display, Window window);

// The window's pixels; the part of it off the screen reads as black. Nothing
// when the server cannot give them (the window is not mapped, say).
std::optional<WindowImage> grabWindow(Display* display, Window window);

// Grabs the window each time its contents change until `wanted` holds or
// `seconds` pass; the last grab either way.
std::optional<WindowImage> grabWindowUntil(Display* display, Window window,
                                           const std::function<bool(const WindowImage&)>& wanted,
                                           int seconds);
