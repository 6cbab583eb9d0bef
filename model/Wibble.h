#pragma once

#include "model/NodeAndSpring.h"
#include "model/NodeGrid.h"
#include "model/Vector3.h"

#include <array>
#include <cstdint>

// The soft body: a box-shaped lattice of nodes centred on the origin, joined by
// springs along every lattice edge and across every cell's body diagonals.
class Wibble {
public:
    Wibble() = default;
    // Builds the lattice and its springs, tracing each stage. Throws
    // std::length_error when a node count does not fit in an int, and
    // std::bad_alloc when memory runs out; nothing is kept then.
    Wibble(int cellsX, int cellsY, int cellsZ, float spacing, float springCoefficientA,
           float springCoefficientB, float nodeMass);

    // Appends the edge springs, then the body diagonals, in lattice order.
    void initializeSprings();
    // The faces are kept empty.
    void initializeFaces();
    // Writes the spring count, " springs: " and every spring's text form.
    void printSprings() const;
    // Writes the spring count and " springs: ", then draws every spring;
    // defined with the rendering code.
    void drawSprings() const;

    int nodesX = 0;
    int nodesY = 0;
    int nodesZ = 0;
    int cellsX = 0;
    int cellsY = 0;
    int cellsZ = 0;
    float spacing = 0;
    float nodeMass = 0;
    float springCoefficientA = 0;
    float springCoefficientB = 0;
    NodeGrid nodes;
    SpringList springs;
    std::array<NodePlane, 6> faces;
};

// The number of springs that joins a lattice of nodesX x nodesY x nodesZ nodes:
// one along every lattice edge and four body diagonals per cell. A count of zero
// or below on any axis means an empty lattice. Exact for every lattice whose
// node count fits in an int.
std::uint64_t springCount(int nodesX, int nodesY, int nodesZ);
