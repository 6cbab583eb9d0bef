#include "tests/package/Shell.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <sys/wait.h>

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        throw std::runtime_error("cannot run " + command);
    }
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string textOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string temporaryFolder(const std::string& purpose) {
    struct Folders {
        std::map<std::string, std::string> made;
        ~Folders() {
            for (const auto& [purpose, path] : made) {
                std::filesystem::remove_all(path);
            }
        }
    };
    static Folders folders;
    auto [at, isNew] = folders.made.try_emplace(purpose);
    if (isNew) {
        std::string pattern = testing::TempDir() + "wibble-" + purpose + "-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("cannot make a folder for " + purpose);
        }
        at->second = pattern;
    }
    return at->second;
}
