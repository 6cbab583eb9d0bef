#pragma once

#include <chrono>
#include <functional>
#include <string>

// The bytes of a file; throws where it cannot be read.
std::string textOf(const std::string& path);

// Waits until `done` holds of the bytes of the file at `path`, which another
// process is writing, looking again each time it is written: false when
// `patience` runs out first. Throws where the file cannot be watched.
bool awaitText(const std::string& path, const std::function<bool(const std::string&)>& done,
               std::chrono::seconds patience);

// The folder for `purpose` under the test's temporary folder: made empty at the
// first call, the same at every later one, and removed with what it holds when
// the program ends, after `release` (given at the first call) has ended what
// still uses it.
std::string temporaryFolder(const std::string& purpose,
                            std::function<void(const std::string&)> release = {});
