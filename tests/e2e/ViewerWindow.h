#pragma once

#include "tools/WindowImage.h"

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The viewer's window, seen and driven from another X client as a user and a
// window manager would.
class ViewerWindow {
public:
    using Image = WindowImage;

    // Connects to the display and finds the top-level window titled `title`,
    // waiting up to `patience` for it to be mapped; throws where none is.
    ViewerWindow(const std::string& display, const std::string& title,
                 std::chrono::seconds patience = std::chrono::seconds(0));
    ~ViewerWindow();
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    // The window's WM_CLASS, by which desktops match it to its entry: its
    // instance name and its class, both empty where it has none.
    std::pair<std::string, std::string> windowClass();

    Image grab();
    // Grabs the window each time its contents change until `wanted` holds or
    // `seconds` pass; the last image either way.
    Image grabUntil(const std::function<bool(const Image&)>& wanted, int seconds);

    void resize(int width, int height);
    // Asks for a repaint the way the window system does when the window is uncovered.
    void expose();
    // The WM_DELETE_WINDOW message a window manager sends when the user closes the window.
    void close();

    // Real input through the X test extension, at window coordinates.
    void movePointer(int x, int y);
    void pressButton(unsigned button, bool down);
    void pressKey(const char* keysymName, bool down);
    // Waits until the server has handled every request sent so far.
    void sync();

private:
    struct Connection;
    Connection* x;
};
