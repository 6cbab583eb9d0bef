#pragma once

#include <string>
#include <sys/types.h>

// A private X server for one test, on the first free display number.
class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The DISPLAY value that reaches it, such as ":3".
    const std::string& display() const { return name; }

private:
    pid_t pid = -1;
    std::string name;
};
