#include "tests/support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

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
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("wibble-" + purpose + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("cannot make a folder for " + purpose);
        }
        at->second = pattern;
    }
    return at->second;
}
