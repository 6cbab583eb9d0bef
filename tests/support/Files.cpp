#include "tests/support/Files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <unistd.h>
#include <utility>

std::string textOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool awaitText(const std::string& path, const std::function<bool(const std::string&)>& done,
               std::chrono::seconds patience) {
    const int watch = inotify_init1(IN_CLOEXEC);
    // Watched before the first look, so that no write can come between the
    // look and the wait unseen.
    if (watch < 0 || inotify_add_watch(watch, path.c_str(), IN_MODIFY | IN_CLOSE_WRITE) < 0) {
        const std::string why = std::strerror(errno);
        if (watch >= 0) {
            close(watch);
        }
        throw std::runtime_error("cannot watch " + path + ": " + why);
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    bool held = false;
    while (!(held = done(textOf(path)))) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd changed{watch, POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&changed, 1, static_cast<int>(left.count())) : 0;
        if (ready == 0 || (ready < 0 && errno != EINTR)) {
            break;
        }
        if (ready > 0) {
            // What the events say is only that the file changed.
            char events[4096];
            [[maybe_unused]] const ssize_t drained = read(watch, events, sizeof events);
        }
    }
    close(watch);
    return held;
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
