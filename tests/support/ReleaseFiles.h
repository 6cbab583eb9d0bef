#pragma once

#include <string>

// Why the release file `name`, which `scripts/package.sh KIND` writes into
// dist/, cannot be tested here: dist/ lacks it, or holds the files of another
// source than the one in this folder (an earlier commit's, or changed since).
// Empty where it can be.
std::string releaseFileUnavailable(const std::string& name, const std::string& kind);
