#include "tests/support/ReleaseFiles.h"
#include "tests/support/Files.h"
#include "tests/support/Process.h"

#include <filesystem>

#if !defined(WIBBLE_DIST) || !defined(WIBBLE_SOURCE_DIR) || !defined(WIBBLE_EARLIER_RELEASE)
#error                                                                                             \
    "WIBBLE_DIST names the release files' folder, WIBBLE_SOURCE_DIR the source they come from, \
WIBBLE_EARLIER_RELEASE the earlier release's"
#endif

namespace {

std::string firstLineOf(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Why dist/ as a whole is not this source's; empty where it is.
std::string distributionOfAnotherSource() {
    const std::string built = WIBBLE_DIST "BUILT-FROM";
    if (!std::filesystem::exists(built)) {
        return "dist/ names no source that it was built from: run scripts/package.sh";
    }
    const CommandResult source = runCommand({"bash", WIBBLE_SOURCE_DIR "/scripts/source-id.sh"});
    if (source.status != 0) {
        return "cannot name the source in " WIBBLE_SOURCE_DIR ": " + source.output;
    }
    const std::string builtFrom = firstLineOf(textOf(built));
    const std::string thisSource = firstLineOf(source.output);
    if (builtFrom != thisSource) {
        return "dist/ holds the release files of the source " + builtFrom + ", not of this one (" +
               thisSource + "): run scripts/package.sh";
    }
    return {};
}

} // namespace

std::string releaseFileUnavailable(const std::string& name, const std::string& kind) {
    static const std::string anotherSource = distributionOfAnotherSource();
    if (!anotherSource.empty()) {
        return anotherSource;
    }
    if (!std::filesystem::exists(WIBBLE_DIST + name)) {
        return "dist/" + name + " is missing: scripts/package.sh " + kind + " builds it";
    }
    return {};
}

EarlierReleaseFile earlierReleaseFile(const std::string& ending) {
    const std::filesystem::path folder = WIBBLE_EARLIER_RELEASE;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename();
            if (name.size() > ending.size() &&
                name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
                return {entry.path(), {}};
            }
        }
    }
    if (std::filesystem::exists(folder / "unavailable")) {
        return {{}, firstLineOf(textOf(folder / "unavailable"))};
    }
    return {{},
            "build/earlier-release/ holds no file *" + ending +
                " of the earlier release: scripts/earlier-release.sh builds it"};
}
