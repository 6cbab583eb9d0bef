#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A program that a test, a benchmark or a tool helper starts: its command and
// environment, where its output goes, its end when the process that started it
// ends, and a wait with a time limit. Every failure names the command.
class Process {
public:
    // Where one of the program's standard streams goes. Both streams sent to
    // the pipe, or both to a file, share it.
    enum class To { Pipe, File, Nowhere };

    struct Options {
        // Set in the program's environment, over what this process has.
        std::vector<std::pair<std::string, std::string>> environment;
        To output = To::Pipe;
        To errors = To::Pipe;
        // The file for To::File; where empty, an unnamed one that written() reads.
        std::string file;
        // How long the program may take to write what is awaited, or to end.
        std::chrono::seconds patience{60};
        // What ends it when this object goes, or when the process that started it dies.
        int stopSignal = SIGKILL;
        // A process group of its own, ended with it: for programs that start others.
        bool ownGroup = false;
    };

    Process(std::vector<std::string> command, Options options);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Reads the pipe until `done` holds of all it has carried; false when the
    // program closes it or the patience runs out first.
    bool readUntil(const std::function<bool(const std::string&)>& done);
    // Reads the pipe to its end and reaps the program: its wait status.
    int wait();
    bool running();

    // What the pipe has carried so far.
    const std::string& read() const { return text; }
    // What went to the unnamed file.
    std::string written() const;
    pid_t id() const { return pid; }

private:
    enum class Read { More, Closed, Late };
    Read readMore(std::chrono::steady_clock::time_point deadline);

    std::vector<std::string> command;
    Options options;
    pid_t pid = -1;
    pid_t group = -1;
    int pipeEnd = -1;
    int file = -1;
    std::string text;
};

// A program run to its end: its exit status (-1 where a signal ended it) and
// what it wrote, output and errors together. Its arguments are passed as they
// are, through no shell, so a path may hold any character.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(std::vector<std::string> command,
                         std::vector<std::pair<std::string, std::string>> environment = {});
