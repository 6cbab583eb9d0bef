#include "tests/e2e/ViewerProcess.h"
#include "tests/support/ExpectedTrace.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef WIBBLE_EXECUTABLE
#error "WIBBLE_EXECUTABLE names the program under test"
#endif

ViewerProcess::ViewerProcess(const std::string& display, const Options& options)
    : patience(options.patience), windowsLineEnds(options.windowsLineEnds) {
    std::vector<std::string> command = options.wrapper;
    if (options.program.empty()) {
        command.emplace_back(WIBBLE_EXECUTABLE);
    } else {
        command.insert(command.end(), options.program.begin(), options.program.end());
    }
    command.insert(command.end(), options.arguments.begin(), options.arguments.end());

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        throw std::runtime_error("viewer: no pipe");
    }
    // Standard output goes to an unnamed file, so that a test can see it stays empty.
    outputFile = open(P_tmpdir, O_TMPFILE | O_RDWR, 0600);
    pid = fork();
    if (pid == 0) {
        // A test that dies leaves no viewer behind.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(outputFile, STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        setenv("DISPLAY", display.c_str(), 1);
        // Mesa's software renderer, whatever the machine has.
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        // In a sanitized build: Mesa's drivers are unloaded before the leak check
        // runs, so what they keep for the whole run shows up as leaks that no
        // name can suppress; the program's own memory at exit is checked under
        // valgrind instead. A preloaded call recorder comes ahead of the
        // sanitizer's runtime on purpose.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string asanOptions =
            std::string(asan ? asan : "") + ":detect_leaks=0:verify_asan_link_order=0";
        setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
        for (const auto& [name, value] : options.environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (std::string& word : command) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    errorPipe = pipeEnds[0];
    if (pid < 0 || outputFile < 0) {
        throw std::runtime_error("viewer: cannot start");
    }
}

ViewerProcess::~ViewerProcess() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (errorPipe >= 0) {
        close(errorPipe);
    }
    if (outputFile >= 0) {
        close(outputFile);
    }
}

std::string ViewerProcess::output() const {
    std::string written;
    char buffer[4096];
    ssize_t got;
    for (off_t at = 0; (got = pread(outputFile, buffer, sizeof buffer, at)) > 0; at += got) {
        written.append(buffer, static_cast<std::size_t>(got));
    }
    return written;
}

bool ViewerProcess::readMore(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return false;
    }
    pollfd readable{errorPipe, POLLIN, 0};
    const int ready = poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) {
        return true;
    }
    if (ready <= 0) {
        return false;
    }
    char buffer[4096];
    const ssize_t got = read(errorPipe, buffer, sizeof buffer);
    if (got <= 0) {
        return false;
    }
    // A line end split between two reads is joined before it is turned.
    std::size_t from = text.empty() ? 0 : text.size() - 1;
    text.append(buffer, static_cast<std::size_t>(got));
    if (windowsLineEnds) {
        while ((from = text.find("\r\n", from)) != std::string::npos) {
            text.erase(from, 1);
        }
    }
    return true;
}

bool ViewerProcess::waitForTrace(const std::function<bool(const std::string&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done(text)) {
        if (!readMore(deadline)) {
            return false;
        }
    }
    return true;
}

bool ViewerProcess::waitForFrames(int frames) {
    return waitForTrace([frames](const std::string& trace) { return framesIn(trace) >= frames; });
}

int ViewerProcess::waitForExit() {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (readMore(deadline)) {
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        throw std::runtime_error("viewer: lost the process");
    }
    pid = -1;
    return status;
}

long ViewerProcess::residentKiB() const {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string field; status >> field;) {
        if (field == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

int framesIn(const std::string& trace) {
    int frames = 0;
    for (auto at = trace.find(" springs: "); at != std::string::npos;
         at = trace.find(" springs: ", at + 1)) {
        ++frames;
    }
    return frames;
}

std::string traceOfFrames(int frames) {
    const std::string wibble = wibbleConstructionTrace;
    std::string trace =
        wibble + "about to create the world...\n" + wibble + "world has been created...\n";
    for (int frame = 0; frame < frames; ++frame) {
        trace += "outputter.display \nabout to display the world\n388 springs: ";
    }
    return trace;
}
