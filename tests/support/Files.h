#pragma once

#include <functional>
#include <string>

// The bytes of a file; throws where it cannot be read.
std::string textOf(const std::string& path);

// The folder for `purpose` under the test's temporary folder: made empty at the
// first call, the same at every later one, and removed with what it holds when
// the program ends, after `release` (given at the first call) has ended what
// still uses it.
std::string temporaryFolder(const std::string& purpose,
                            std::function<void(const std::string&)> release = {});
