#pragma once

#include <cstddef>

// Bytes requested through operator new since the program started.
std::size_t allocatedBytes();
