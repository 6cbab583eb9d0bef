// close_window DISPLAY TITLE: closes the window as a window manager does when
// the user clicks its close button. Used by the headless run script.
#include "tests/e2e/ViewerWindow.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: close_window DISPLAY TITLE\n";
        return 2;
    }
    try {
        ViewerWindow(argv[1], argv[2]).close();
    } catch (const std::exception& failure) {
        std::cerr << "close_window: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}
