#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The real wibble program, started on a given X display, with its standard
// error (the trace) read through a pipe.
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
        // The Windows C runtime writes each "\n" of the trace as "\r\n"; it is
        // read back as "\n".
        bool windowsLineEnds = false;
    };

    ViewerProcess(const std::string& display, const Options& options);
    ~ViewerProcess();
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    // Reads the trace until it satisfies `done`; false when the program ends or
    // the patience runs out first.
    bool waitForTrace(const std::function<bool(const std::string&)>& done);
    bool waitForFrames(int frames);
    // Reads the trace to its end and reaps the program: its wait status.
    int waitForExit();

    const std::string& trace() const { return text; }
    pid_t processId() const { return pid; }
    // Resident memory of the running program, in KiB.
    long residentKiB() const;
    // What it wrote to standard output.
    std::string output() const;

private:
    bool readMore(std::chrono::steady_clock::time_point deadline);

    pid_t pid = -1;
    int errorPipe = -1;
    int outputFile = -1;
    std::string text;
    std::chrono::seconds patience;
    bool windowsLineEnds;
};

// How many frames a trace shows: each ends with the spring count and " springs: ".
int framesIn(const std::string& trace);

// The trace from start to the end of the first frame, then `frames` - 1 more.
std::string traceOfFrames(int frames);
