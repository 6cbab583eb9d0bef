#include "tests/e2e/XvfbServer.h"

#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer() {
    int ready[2];
    if (pipe(ready) != 0) {
        throw std::runtime_error("xvfb: no pipe");
    }
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(ready[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // Xvfb writes its display number once it accepts connections.
    char c;
    while (read(ready[0], &c, 1) == 1 && c != '\n') {
        name += c;
    }
    close(ready[0]);
    if (pid < 0 || name.empty()) {
        throw std::runtime_error("xvfb: the server did not start (is the xvfb package installed?)");
    }
    name.insert(0, ":");
}

XvfbServer::~XvfbServer() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}
