// The source tarball that scripts/package.sh writes: every file of the source
// as it stands, and nothing else, in one folder named for the release.
#include "tests/support/Process.h"
#include "tests/support/ReleaseFiles.h"
#include "tests/support/SkipWhenUnavailable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#if !defined(WIBBLE_DIST) || !defined(WIBBLE_VERSION) || !defined(WIBBLE_SOURCE_DIR)
#error "WIBBLE_DIST and WIBBLE_VERSION name the tarball, WIBBLE_SOURCE_DIR the source it holds"
#endif

namespace {

std::set<std::string> linesOf(const std::string& text, const std::string& prefix = "") {
    std::istringstream lines(text);
    std::set<std::string> found;
    for (std::string line; std::getline(lines, line);) {
        found.insert(prefix + line);
    }
    return found;
}

TEST(SourceTarball, HoldsEveryFileOfTheSourceInAFolderOfTheRelease) {
    const std::string name = "wibble-" WIBBLE_VERSION ".tar.gz";
    SKIP_WHEN_UNAVAILABLE(releaseFileUnavailable(name, "source"));
    const CommandResult listing =
        runCommand({"tar", "--list", "--gzip", "--file", WIBBLE_DIST + name});
    ASSERT_EQ(listing.status, 0) << listing.output;
    const CommandResult source = runCommand(
        {"git", "-C", WIBBLE_SOURCE_DIR, "ls-files", "--cached", "--others", "--exclude-standard"});
    ASSERT_EQ(source.status, 0) << source.output;
    std::set<std::string> files;
    for (const std::string& file : linesOf(source.output)) {
        if (std::filesystem::exists(std::string(WIBBLE_SOURCE_DIR "/") + file)) {
            files.insert("wibble-" WIBBLE_VERSION "/" + file);
        }
    }
    EXPECT_EQ(linesOf(listing.output), files);
}

} // namespace
