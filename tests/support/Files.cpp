#include "tests/support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <utility>

std::string textOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string temporaryFolder(const std::string& purpose,
                            std::function<void(const std::string&)> release) {
    struct Folder {
        std::string path;
        std::function<void(const std::string&)> release;
    };
    struct Folders {
        std::map<std::string, Folder> made;
        ~Folders() {
            for (const auto& [purpose, folder] : made) {
                if (folder.release) {
                    folder.release(folder.path);
                }
                std::filesystem::remove_all(folder.path);
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
        at->second = {pattern, std::move(release)};
    }
    return at->second.path;
}
