#pragma once

#include "tools/WindowImage.h"

#include <X11/Xlib.h>

#include <functional>
#include <optional>

// The window's pixels; the part of it off the screen reads as black. Nothing
// when the server cannot give them (the window is not mapped, say).
std::optional<WindowImage> grabWindow(Display* display, Window window);

// Grabs the window each time its contents change until `wanted` holds or
// `seconds` pass; the last grab either way.
std::optional<WindowImage> grabWindowUntil(Display* display, Window window,
                                           const std::function<bool(const WindowImage&)>& wanted,
                                           int seconds);
