#include "tests/e2e/Picture.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

using Point = std::array<double, 3>;

// A line segment in window pixels, measured from the window's top left corner.
struct Segment {
    double x0, y0, x1, y1;
};

// The rotation matrix that glRotatef(angle, axis) multiplies by.
std::array<Point, 3> rotation(double degrees, Point axis) {
    const double norm = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const double x = axis[0] / norm, y = axis[1] / norm, z = axis[2] / norm;
    const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    return {{{x * x * (1 - c) + c, x * y * (1 - c) - z * s, x * z * (1 - c) + y * s},
             {y * x * (1 - c) + z * s, y * y * (1 - c) + c, y * z * (1 - c) - x * s},
             {x * z * (1 - c) - y * s, y * z * (1 - c) + x * s, z * z * (1 - c) + c}}};
}

double distanceToSegment(double px, double py, const Segment& s) {
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double lengthSquared = dx * dx + dy * dy;
    const double t =
        lengthSquared == 0
            ? 0
            : std::clamp(((px - s.x0) * dx + (py - s.y0) * dy) / lengthSquared, 0.0, 1.0);
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t black = 0x000000;
// A one-pixel line lights pixels whose centres lie within this distance of it.
constexpr double lineReach = 1.0;

std::vector<Segment> projectedSprings(int width, int height, double degrees) {
    const auto turn = rotation(degrees, {1, 1, 0});
    const auto toWindow = [&](int i, int j, int k) {
        const Point p{-1.75 + 0.5 * i, -0.75 + 0.5 * j, -0.5 + 0.5 * k};
        double turned[3];
        for (int row = 0; row < 3; ++row) {
            turned[row] = turn[row][0] * p[0] + turn[row][1] * p[1] + turn[row][2] * p[2];
        }
        // Orthographic box -3..3 onto the viewport; window rows count from the top.
        return std::array<double, 2>{(turned[0] / 3 + 1) * width / 2,
                                     (1 - turned[1] / 3) * height / 2};
    };
    std::vector<Segment> segments;
    const auto join = [&](int i, int j, int k, int oi, int oj, int ok) {
        const auto a = toWindow(i, j, k), b = toWindow(oi, oj, ok);
        segments.push_back({a[0], a[1], b[0], b[1]});
    };
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 3; ++k) {
                if (i < 7)
                    join(i, j, k, i + 1, j, k);
                if (j < 3)
                    join(i, j, k, i, j + 1, k);
                if (k < 2)
                    join(i, j, k, i, j, k + 1);
                if (i < 7 && j < 3 && k < 2) {
                    // Each corner on the cell's low x side to the opposite corner.
                    for (int dj = 0; dj < 2; ++dj) {
                        for (int dk = 0; dk < 2; ++dk) {
                            join(i, j + dj, k + dk, i + 1, j + 1 - dj, k + 1 - dk);
                        }
                    }
                }
            }
        }
    }
    return segments;
}

} // namespace

std::string pictureFaults(const ViewerWindow::Image& image, int width, int height, double degrees) {
    std::ostringstream faults;
    if (image.width != width || image.height != height) {
        faults << "the picture is " << image.width << " x " << image.height << ", not " << width
               << " x " << height;
        return faults.str();
    }
    const std::vector<Segment> segments = projectedSprings(width, height, degrees);
    int strayColours = 0, strayWhites = 0, gaps = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t pixel = image.at(x, y);
            if (pixel != white && pixel != black) {
                ++strayColours;
            } else if (pixel == white &&
                       std::none_of(segments.begin(), segments.end(), [&](const Segment& s) {
                           return distanceToSegment(x + 0.5, y + 0.5, s) <= lineReach;
                       })) {
                if (strayWhites++ == 0) {
                    faults << "white pixel off every segment at " << x << "," << y << "; ";
                }
            }
        }
    }
    for (const Segment& s : segments) {
        const double length = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
        // Walk the inside of the segment: the rasteriser may leave out an end pixel.
        for (int step = 2; step < 2 * length - 2; ++step) {
            const double along = step / 2.0;
            const double px = s.x0 + (s.x1 - s.x0) * along / length;
            const double py = s.y0 + (s.y1 - s.y0) * along / length;
            bool lit = false;
            for (int y = static_cast<int>(py) - 1; y <= static_cast<int>(py) + 1 && !lit; ++y) {
                for (int x = static_cast<int>(px) - 1; x <= static_cast<int>(px) + 1 && !lit; ++x) {
                    lit = x >= 0 && y >= 0 && x < image.width && y < image.height &&
                          image.at(x, y) == white &&
                          std::hypot(x + 0.5 - px, y + 0.5 - py) <= lineReach;
                }
            }
            if (!lit && gaps++ == 0) {
                faults << "segment unlit near " << px << "," << py << "; ";
            }
        }
    }
    if (strayColours || strayWhites || gaps) {
        faults << strayColours << " pixels neither black nor white, " << strayWhites
               << " white pixels off the segments, " << gaps << " unlit points on segments";
    }
    return faults.str();
}

ViewerWindow::Image imageOfPng(const std::string& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
        throw std::runtime_error(std::string("not a PNG image: ") + image.message);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        throw std::runtime_error(std::string("a broken PNG image: ") + image.message);
    }
    ViewerWindow::Image pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    for (std::size_t at = 0; at + 2 < rgb.size(); at += 3) {
        pixels.pixels.push_back(
            static_cast<std::uint32_t>(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]));
    }
    return pixels;
}
