#pragma once

#include <string>

// What a shell command wrote (standard output and error) and its exit status.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::string& command);

// The bytes of a file; throws where it cannot be read.
std::string textOf(const std::string& path);

// The folder for `purpose` under the test's temporary folder: made empty at the
// first call, the same at every later one, and removed with what it holds when
// the test program ends.
std::string temporaryFolder(const std::string& purpose);
