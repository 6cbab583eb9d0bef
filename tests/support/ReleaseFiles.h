#pragma once

#include <string>

// Why the release file `name`, which `scripts/package.sh KIND` writes into
// dist/, cannot be tested here: dist/ lacks it, or holds the files of another
// source than the one in this folder (an earlier commit's, or changed since).
// Empty where it can be.
std::string releaseFileUnavailable(const std::string& name, const std::string& kind);

// A file of the earlier release that scripts/earlier-release.sh builds from
// git history, for the upgrade tests: its path, or why there is none.
struct EarlierReleaseFile {
    std::string path;
    std::string unavailable;
};
// The one whose name ends with `ending`, such as "_amd64.deb".
EarlierReleaseFile earlierReleaseFile(const std::string& ending);
