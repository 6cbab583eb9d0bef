#pragma once

#include <X11/Xlib.h>

#include <string>

// The first window titled `title` below `parent`, searched depth first; 0 when none is.
Window findWindowByTitle(Display* display, Window parent, const std::string& title);

// Sends the WM_DELETE_WINDOW message that a window manager sends when the user
// closes the window.
void sendDeleteWindow(Display* display, Window window);
