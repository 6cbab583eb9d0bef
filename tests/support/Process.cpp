#include "tests/support/Process.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// This process's environment with `changes` made to it.
std::vector<std::string>
environmentWith(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (std::none_of(changes.begin(), changes.end(),
                         [&](const auto& change) { return change.first == name; })) {
            entries.push_back(text);
        }
    }
    for (const auto& [name, value] : changes) {
        entries.emplace_back(name).append("=").append(value);
    }
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    pointers.reserve(words.size() + 1);
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

Process::Process(std::vector<std::string> command, Options options)
    : command(std::move(command)), options(std::move(options)) {
    const Options& o = this->options;
    const std::string name = this->command.at(0);
    std::vector<std::string> environment = environmentWith(o.environment);
    // Made before the fork: between it and the exec, only system calls are safe.
    const std::vector<char*> arguments = pointersTo(this->command);
    const std::vector<char*> variables = pointersTo(environment);
    int pipeEnds[2] = {-1, -1};
    if ((o.output == To::Pipe || o.errors == To::Pipe) && pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for " + name);
    }
    pipeEnd = pipeEnds[0];
    if (o.output == To::File || o.errors == To::File) {
        file = o.file.empty()
                   ? open(P_tmpdir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600)
                   : open(o.file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (file < 0) {
            throw std::runtime_error("no file for the output of " + name);
        }
    }
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    // An exec that fails writes why to this pipe; one that succeeds closes it.
    int failure[2];
    if (nowhere < 0 || pipe2(failure, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot prepare to start " + name);
    }
    const pid_t parent = getpid();
    pid = group = fork();
    if (pid == 0) {
        // Both sides put the child in its group, so that it is there before
        // either goes on, whichever runs first.
        if (o.ownGroup) {
            setpgid(0, 0);
        }
        // A parent that died before the signal was asked for never sends it.
        if (prctl(PR_SET_PDEATHSIG, o.stopSignal) != 0 || getppid() != parent) {
            _exit(127);
        }
        const auto target = [&](To to) {
            return to == To::Pipe ? pipeEnds[1] : to == To::File ? file : nowhere;
        };
        dup2(target(o.output), STDOUT_FILENO);
        dup2(target(o.errors), STDERR_FILENO);
        execvpe(arguments[0], arguments.data(), variables.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t said = write(failure[1], &error, sizeof error);
        _exit(127);
    }
    int error = errno;
    if (pid > 0 && o.ownGroup) {
        // Fails only where the child has already made the group and run its
        // program, which is as good.
        setpgid(pid, pid);
    }
    close(failure[1]);
    close(nowhere);
    if (pipeEnds[1] >= 0) {
        close(pipeEnds[1]);
    }
    const bool failed = pid < 0 || ::read(failure[0], &error, sizeof error) > 0;
    close(failure[0]);
    if (failed) {
        if (pid > 0) {
            waitpid(pid, nullptr, 0);
        }
        for (const int descriptor : {pipeEnd, file}) {
            if (descriptor >= 0) {
                close(descriptor);
            }
        }
        throw std::runtime_error("cannot start " + name + ": " + std::strerror(error));
    }
}

Process::~Process() {
    if (pid > 0) {
        kill(options.ownGroup ? -pid : pid, options.stopSignal);
        waitpid(pid, nullptr, 0);
    }
    if (options.ownGroup && group > 0) {
        // Whatever the program started and left behind.
        kill(-group, SIGKILL);
    }
    for (const int descriptor : {pipeEnd, file}) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
}

Process::Read Process::readMore(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{pipeEnd, POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&readable, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return Read::Late;
        }
        char buffer[4096];
        const ssize_t got = ::read(pipeEnd, buffer, sizeof buffer);
        if (got <= 0) {
            return Read::Closed;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        return Read::More;
    }
}

bool Process::readUntil(const std::function<bool(const std::string&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + options.patience;
    while (!done(text)) {
        if (readMore(deadline) != Read::More) {
            return false;
        }
    }
    return true;
}

int Process::wait() {
    const auto deadline = std::chrono::steady_clock::now() + options.patience;
    Read read = Read::Closed;
    if (pipeEnd >= 0) {
        while ((read = readMore(deadline)) == Read::More) {
        }
    }
    if (read == Read::Late) {
        throw std::runtime_error(command[0] + " did not end within " +
                                 std::to_string(options.patience.count()) + " s");
    }
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
        throw std::runtime_error("lost " + command[0]);
    }
    pid = -1;
    return status;
}

bool Process::running() {
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == pid) {
        pid = -1;
    }
    return pid > 0;
}

std::string Process::written() const {
    std::string written;
    char buffer[4096];
    ssize_t got = 0;
    for (off_t at = 0; (got = pread(file, buffer, sizeof buffer, at)) > 0; at += got) {
        written.append(buffer, static_cast<std::size_t>(got));
    }
    return written;
}

CommandResult runCommand(std::vector<std::string> command,
                         std::vector<std::pair<std::string, std::string>> environment) {
    Process::Options options;
    options.environment = std::move(environment);
    options.patience = std::chrono::minutes(10);
    Process program(std::move(command), options);
    const int status = program.wait();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, program.read()};
}
