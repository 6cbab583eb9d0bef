#include "model/Wibble.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

namespace {

constexpr std::int64_t largestCount = std::numeric_limits<int>::max();

// Loops over a negative count run zero times, so it holds no elements.
std::size_t elementsOf(int count) {
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

int nodeCountFor(int cells) {
    if (cells == largestCount) {
        throw std::length_error("wibble: " + std::to_string(cells) +
                                " cells leave no node count that fits in an int");
    }
    return cells + 1;
}

// The rows and nodes of the lattice are counted in int like everything else.
void checkLatticeFits(int nodesX, int nodesY, int nodesZ) {
    const std::int64_t rows = static_cast<std::int64_t>(elementsOf(nodesX)) *
                              static_cast<std::int64_t>(elementsOf(nodesY));
    if (rows > largestCount ||
        rows * static_cast<std::int64_t>(elementsOf(nodesZ)) > largestCount) {
        throw std::length_error("wibble: a lattice of " + std::to_string(nodesX) + " x " +
                                std::to_string(nodesY) + " x " + std::to_string(nodesZ) +
                                " nodes does not fit in an int");
    }
}

// Makes room for `count` elements. A count beyond what this machine's addresses
// can hold, as on a 32-bit one, fails as any allocation too large for memory
// does, rather than being cut to fit the size type.
template <typename List> void reserveAll(List& list, std::uint64_t count) {
    if (count > list.max_size()) {
        throw std::bad_alloc();
    }
    list.reserve(static_cast<std::size_t>(count));
}

// The negated half extent of an axis: where its first node lies.
float axisStart(int cells, float spacing) {
    const auto extent = static_cast<float>(static_cast<double>(cells) * spacing);
    return static_cast<float>(-static_cast<double>(extent) / 2.0);
}

} // namespace

std::uint64_t springCount(int nodesX, int nodesY, int nodesZ) {
    if (nodesX <= 0 || nodesY <= 0 || nodesZ <= 0) {
        return 0;
    }
    const std::uint64_t x = elementsOf(nodesX), y = elementsOf(nodesY), z = elementsOf(nodesZ);
    const std::uint64_t edges = (x - 1) * y * z + x * (y - 1) * z + x * y * (z - 1);
    return edges + 4 * (x - 1) * (y - 1) * (z - 1);
}

Wibble::Wibble(int cellsX, int cellsY, int cellsZ, float spacing, float springCoefficientA,
               float springCoefficientB, float nodeMass) {
    std::cerr << "wibble: initialing members...\n";
    this->cellsX = cellsX;
    this->cellsY = cellsY;
    this->cellsZ = cellsZ;
    nodesX = nodeCountFor(cellsX);
    nodesY = nodeCountFor(cellsY);
    nodesZ = nodeCountFor(cellsZ);
    this->spacing = spacing;
    this->springCoefficientA = springCoefficientA;
    this->springCoefficientB = springCoefficientB;
    this->nodeMass = nodeMass;
    checkLatticeFits(nodesX, nodesY, nodesZ);
    // The spring list is by far the largest allocation; making it first lets a
    // body too large for memory fail before any node is built.
    reserveAll(springs, springCount(nodesX, nodesY, nodesZ));

    // First pass: the lattice's shape, every slot a default node. Only rows
    // that exist are made, so an axis without nodes costs nothing.
    reserveAll(nodes, elementsOf(nodesX));
    for (int i = 0; i < nodesX; ++i) {
        NodePlane& plane = nodes.emplace_back();
        reserveAll(plane, elementsOf(nodesY));
        for (int j = 0; j < nodesY; ++j) {
            plane.emplace_back(elementsOf(nodesZ));
        }
    }

    std::cerr << "wibble: initialize nodes array with actual nodes...\n";
    const float startX = axisStart(cellsX, spacing);
    const float startY = axisStart(cellsY, spacing);
    const float startZ = axisStart(cellsZ, spacing);
    // The running coordinates step by repeated single-precision additions, so a
    // spacing that float cannot hold exactly drifts the way it always has.
    float x = startX;
    for (int i = 0; i < nodesX; ++i) {
        float y = startY;
        for (int j = 0; j < nodesY; ++j) {
            float z = startZ;
            for (int k = 0; k < nodesZ; ++k) {
                nodes[i][j][k] = Node(Vector3(x, y, z), nodeMass);
                z += spacing;
            }
            y += spacing;
        }
        x += spacing;
    }

    std::cerr << "initializing springs...\n";
    initializeSprings();
    std::cerr << "initializing faces...\n";
    initializeFaces();
    std::cerr << "wibble has been created\n";
}

void Wibble::initializeSprings() {
    const auto join = [this](const Node& from, const Node& to) {
        springs.emplace_back(from, to, spacing, springCoefficientA, springCoefficientB);
    };
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) {
                if (i < nodesX - 1) {
                    join(nodes[i][j][k], nodes[i + 1][j][k]);
                }
                if (j < nodesY - 1) {
                    join(nodes[i][j][k], nodes[i][j + 1][k]);
                }
                if (k < nodesZ - 1) {
                    join(nodes[i][j][k], nodes[i][j][k + 1]);
                }
            }
        }
    }
    for (int i = 0; i < nodesX - 1; ++i) {
        for (int j = 0; j < nodesY - 1; ++j) {
            for (int k = 0; k < nodesZ - 1; ++k) {
                join(nodes[i][j][k], nodes[i + 1][j + 1][k + 1]);
                join(nodes[i + 1][j][k], nodes[i][j + 1][k + 1]);
                join(nodes[i + 1][j][k + 1], nodes[i][j + 1][k]);
                join(nodes[i][j][k + 1], nodes[i + 1][j + 1][k]);
            }
        }
    }
}

void Wibble::initializeFaces() {
    // The faces are part of the body's layout but hold no nodes yet.
}

void Wibble::printSprings() const {
    std::cerr << springs.size() << " springs: ";
    for (const Spring& spring : springs) {
        spring.print();
    }
}
