#pragma once

#include "tests/support/Process.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The real wibble program, started on a given X display, with its standard
// error (the trace) read through a pipe and its standard output kept apart.
class ViewerProcess {
public:
    struct Options {
        // The command that starts the viewer; the program built here when empty.
        std::vector<std::string> program;
        std::vector<std::string> arguments;
        // Put before the program on the command line, such as valgrind and its options.
        std::vector<std::string> wrapper;
        std::vector<std::pair<std::string, std::string>> environment;
        std::chrono::seconds patience{60};
        // In a sanitized build, LeakSanitizer checks the program at exit with
        // the suppressions of this file, where one is named.
        std::string leakSuppressions;
        // The Windows C runtime writes each "\n" of the trace as "\r\n"; it is
        // read back as "\n".
        bool windowsLineEnds = false;
    };

    ViewerProcess(const std::string& display, const Options& options);

    // Reads the trace until it satisfies `done`; false when the program ends or
    // the patience runs out first.
    bool waitForTrace(const std::function<bool(const std::string&)>& done);
    bool waitForFrames(int frames);
    // Reads the trace to its end and reaps the program: its wait status.
    int waitForExit() { return process.wait(); }

    std::string trace() const { return traceIn(process.read()); }
    pid_t processId() const { return process.id(); }
    // What it wrote to standard output.
    std::string output() const { return process.written(); }

private:
    std::string traceIn(std::string read) const;

    bool windowsLineEnds;
    Process process;
};
