#include "tests/support/XvfbServer.h"

#include <stdexcept>

namespace {

Process::Options quietUntilStopped() {
    Process::Options options;
    options.errors = Process::To::Nowhere;
    // Xvfb removes its lock file when it is stopped this way.
    options.stopSignal = SIGTERM;
    return options;
}

} // namespace

// Xvfb writes the display number it took to its standard output once it
// accepts connections.
XvfbServer::XvfbServer()
    : server({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
             quietUntilStopped()) {
    if (!server.readUntil(
            [](const std::string& said) { return said.find('\n') != std::string::npos; })) {
        throw std::runtime_error("Xvfb did not start (is the xvfb package installed?)");
    }
    name = ":" + server.read().substr(0, server.read().find('\n'));
}

std::vector<std::pair<std::string, std::string>>
XvfbServer::clientEnvironment(const std::string& display) {
    return {{"DISPLAY", display}, {"LIBGL_ALWAYS_SOFTWARE", "1"}};
}
