// Wibbles built from fuzzed arguments: the spring network's closed-form counts,
// the construction trace, copies, assignment and printSprings.
#include "model/Wibble.h"
#include "tests/TraceCapture.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/Expected.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

// Larger bodies are skipped, so the fuzzer explores rather than allocates.
constexpr double memoryBudget = 4.0 * 1024 * 1024;

void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "Wibble fuzzer: %s\n", what);
        std::abort();
    }
}

double positive(long long count) {
    return count > 0 ? static_cast<double>(count) : 0.0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto mode = next<std::uint8_t>(input);
    int cells[3];
    for (int& count : cells) {
        count = next<int>(input);
        // Mostly small bodies, where the lattice can actually be built.
        if (mode & 1) {
            count = count % 12;
        }
    }
    const auto spacing = next<float>(input), coefficientA = next<float>(input);
    const auto coefficientB = next<float>(input), mass = next<float>(input);

    const long long x = cells[0] + 1LL, y = cells[1] + 1LL, z = cells[2] + 1LL;
    const double rows = positive(x) * positive(y), nodes = rows * positive(z);
    const bool beyondInt = std::max({x, y, z}) > INT_MAX || rows > INT_MAX || nodes > INT_MAX;
    // Edges along x, y and z, then four body diagonals per cell.
    const bool filled = !beyondInt && x > 0 && y > 0 && z > 0;
    const double springs =
        filled ? static_cast<double>((x - 1) * y * z + x * (y - 1) * z + x * y * (z - 1) +
                                     4 * (x - 1) * (y - 1) * (z - 1))
               : 0;
    const double bytes =
        (positive(x) + rows) * sizeof(NodePlane) + nodes * sizeof(Node) + springs * sizeof(Spring);
    if (!beyondInt && bytes > memoryBudget) {
        return 0;
    }

    TraceCapture trace;
    try {
        const Wibble wibble(cells[0], cells[1], cells[2], spacing, coefficientA, coefficientB,
                            mass);
        expect(!beyondInt, "a lattice beyond int was built");
        expect(trace.text() == expected::constructionTrace(), "construction trace");
        expect(wibble.springs.size() == static_cast<std::size_t>(springs), "spring count");
        expect(springCount(wibble.nodesX, wibble.nodesY, wibble.nodesZ) == wibble.springs.size(),
               "springCount");
        expect(wibble.nodes.size() == static_cast<std::size_t>(positive(x)), "planes");
        for (const Spring& spring : wibble.springs) {
            expect(sameFloat(spring.spacing, spacing) &&
                       sameFloat(spring.coefficientA, coefficientA) &&
                       sameFloat(spring.coefficientB, coefficientB) &&
                       sameFloat(spring.nodeA.mass, mass),
                   "spring values");
        }

        Wibble assigned;
        assigned = wibble;
        const Wibble copied(assigned);
        expect(copied.springs.size() == wibble.springs.size() &&
                   copied.nodes.size() == wibble.nodes.size(),
               "copy");
        for (std::size_t i = 0; i < wibble.springs.size(); ++i) {
            const Vector3 a = wibble.springs[i].nodeB.position,
                          b = copied.springs[i].nodeB.position;
            expect(sameFloat(a.x, b.x) && sameFloat(a.y, b.y) && sameFloat(a.z, b.z),
                   "copied spring");
        }

        const std::string listed = [&] {
            const TraceCapture listing;
            copied.printSprings();
            return listing.text();
        }();
        const std::string header = expected::springsTrace(wibble.springs.size());
        expect(listed.compare(0, header.size(), header) == 0, "printSprings header");
        expect(static_cast<std::size_t>(std::count(listed.begin(), listed.end(), '[')) ==
                   wibble.springs.size(),
               "printSprings lists every spring");
        expect(listed.find('\n') == std::string::npos &&
                   listed.find(' ', header.size()) == std::string::npos,
               "printSprings writes one run without blanks");
    } catch (const std::length_error&) {
        expect(beyondInt, "length_error for a lattice that fits in int");
        expect(trace.text() == expected::constructionStart(), "trace before length_error");
    }
    return 0;
}
