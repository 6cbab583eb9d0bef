#include "tests/support/ViewerProcess.h"
#include "tests/support/Expected.h"
#include "tests/support/XvfbServer.h"

#include <cstdlib>

#ifndef WIBBLE_EXECUTABLE
#error "WIBBLE_EXECUTABLE names the program under test"
#endif

namespace {

std::vector<std::string> commandOf(const ViewerProcess::Options& options) {
    std::vector<std::string> command = options.wrapper;
    if (options.program.empty()) {
        command.emplace_back(WIBBLE_EXECUTABLE);
    } else {
        command.insert(command.end(), options.program.begin(), options.program.end());
    }
    command.insert(command.end(), options.arguments.begin(), options.arguments.end());
    return command;
}

Process::Options processOptions(const std::string& display, const ViewerProcess::Options& viewer) {
    Process::Options options;
    options.environment = XvfbServer::clientEnvironment(display);
    // In a sanitized build, LeakSanitizer checks the program at exit only
    // where asked: elsewhere Mesa's driver is unloaded before the check runs,
    // so what it keeps for the whole run shows up as leaks that no name can
    // suppress. A preloaded call recorder comes ahead of the sanitizer's
    // runtime on purpose.
    const char* asan = std::getenv("ASAN_OPTIONS");
    options.environment.emplace_back(
        "ASAN_OPTIONS", std::string(asan ? asan : "") +
                            ":detect_leaks=" + (viewer.leakSuppressions.empty() ? "0" : "1") +
                            ":verify_asan_link_order=0");
    if (!viewer.leakSuppressions.empty()) {
        // Quoted, as the sanitizer splits its options at spaces and colons.
        options.environment.emplace_back("LSAN_OPTIONS", "print_suppressions=0:suppressions=\"" +
                                                             viewer.leakSuppressions + "\"");
    }
    options.environment.insert(options.environment.end(), viewer.environment.begin(),
                               viewer.environment.end());
    // Standard output goes to an unnamed file, so that a test can see it stays empty.
    options.output = Process::To::File;
    options.patience = viewer.patience;
    return options;
}

} // namespace

ViewerProcess::ViewerProcess(const std::string& display, const Options& options)
    : windowsLineEnds(options.windowsLineEnds),
      process(commandOf(options), processOptions(display, options)) {}

std::string ViewerProcess::traceIn(std::string read) const {
    if (windowsLineEnds) {
        for (auto at = read.find("\r\n"); at != std::string::npos; at = read.find("\r\n", at)) {
            read.erase(at, 1);
        }
    }
    return read;
}

bool ViewerProcess::waitForTrace(const std::function<bool(const std::string&)>& done) {
    return process.readUntil([&](const std::string& read) { return done(traceIn(read)); });
}

bool ViewerProcess::waitForFrames(int frames) {
    return waitForTrace(
        [frames](const std::string& trace) { return expected::framesIn(trace) >= frames; });
}
