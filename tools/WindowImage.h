#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What a window shows, as another X client reads it from the server.
struct WindowImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB, row by row from the top
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
