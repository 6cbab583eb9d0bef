#pragma once

#include "tests/support/Process.h"

#include <string>
#include <utility>
#include <vector>

// A private X server for one test or benchmark, on the first free display number.
class XvfbServer {
public:
    XvfbServer();

    // The DISPLAY value that reaches it, such as ":3".
    const std::string& display() const { return name; }

    // What a program needs in its environment to show on `display` and draw
    // with Mesa's software renderer, whatever graphics the machine has.
    static std::vector<std::pair<std::string, std::string>>
    clientEnvironment(const std::string& display);

private:
    Process server;
    std::string name;
};
